#include "RegistryFixture.h"

#include <shlwapi.h>

#include <cstring>

#include "common/Registry.h"

void RegistryTest::SetUp() {
    m_mutex = CreateMutexA(nullptr, FALSE, "Corvina tests: user registry");
    ASSERT_NE(m_mutex, nullptr);
    const DWORD wait = WaitForSingleObject(m_mutex, 300000);
    ASSERT_TRUE(wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED);
    DeleteTestKeys();
}

void RegistryTest::TearDown() {
    DeleteTestKeys();
    if (m_mutex) {
        ReleaseMutex(m_mutex);
        CloseHandle(m_mutex);
    }
}

void RegistryTest::DeleteTestKeys() {
    SHDeleteKeyA(HKEY_CURRENT_USER, kCorvinaKeyPath);
    SHDeleteKeyA(HKEY_CURRENT_USER, kScratchKeyPath);
}

void RegistryTest::PutValue(const char* path, const char* name, DWORD type, const Bytes& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())),
              ERROR_SUCCESS)
        << name;
    RegCloseKey(key);
}

bool RegistryTest::ValueExists(const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    const bool exists =
        RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

bool RegistryTest::GetValueW(const char* path, const char* name, DWORD* type, Bytes* data) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    std::wstring wideName(name, name + std::strlen(name));
    DWORD size = 0;
    bool ok =
        RegQueryValueExW(key, wideName.c_str(), nullptr, type, nullptr, &size) == ERROR_SUCCESS;
    if (ok) {
        data->assign(size, 0);
        ok = RegQueryValueExW(key, wideName.c_str(), nullptr, type, data->data(), &size) ==
             ERROR_SUCCESS;
        data->resize(size);
    }
    RegCloseKey(key);
    return ok;
}

bool RegistryTest::GetValueA(const char* path, const char* name, DWORD* type, Bytes* data) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD size = 0;
    bool ok = RegQueryValueExA(key, name, nullptr, type, nullptr, &size) == ERROR_SUCCESS;
    if (ok) {
        data->assign(size + 1, 0);
        ok = RegQueryValueExA(key, name, nullptr, type, data->data(), &size) == ERROR_SUCCESS;
        data->resize(size);
    }
    RegCloseKey(key);
    return ok;
}

bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}
