// Registration and unregistration of Corvina.dll, read back key by key, both through Wine's
// own regsvr32 and reg and through the exports called in process.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "ExtensionTestSupport.h"

namespace {

const char kClsidText[] = "{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}";
const char kClassKey[] = "CLSID\\{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}";
const char kHandlersKey[] = "Directory\\Background\\shellex\\ContextMenuHandlers";
const char kHandlerKey[] = "Directory\\Background\\shellex\\ContextMenuHandlers\\CorvinaExtention";
const char kTypeLibKey[] = "TypeLib\\{0F6B8A3D-71C2-4E95-A4D8-52B1C9E07F36}";
const char kInterfaceKey[] = "Interface\\{6D2E8B14-9C3A-4F57-B1E0-2A7C5D93E861}";
const wchar_t kTypeLibVersionKeyW[] = L"TypeLib\\{0F6B8A3D-71C2-4E95-A4D8-52B1C9E07F36}\\1.0";
// The library's file, under the platform of the server's own architecture.
const wchar_t kTypeLibFileKeyW[] = L"TypeLib\\{0F6B8A3D-71C2-4E95-A4D8-52B1C9E07F36}\\1.0\\0\\"
#ifdef _WIN64
                                   L"win64";
#else
                                   L"win32";
#endif

using ValueMap = std::map<std::string, std::string>; // name ("" = default) -> text

struct ExpectedKey {
    std::string path;
    ValueMap values;
};

// Every key registration creates, with exactly these REG_SZ values.
std::vector<ExpectedKey> ExpectedKeys(const std::string& dllPath) {
    const std::string clsid = kClsidText;
    const std::string classKey = kClassKey;
    return {
        {"Corvina.CorvinaExtention.1", {{"", "CorvinaExtention Class"}}},
        {"Corvina.CorvinaExtention.1\\CLSID", {{"", clsid}}},
        {"Corvina.CorvinaExtention", {{"", "CorvinaExtention Class"}}},
        {"Corvina.CorvinaExtention\\CLSID", {{"", clsid}}},
        {"Corvina.CorvinaExtention\\CurVer", {{"", "Corvina.CorvinaExtention.1"}}},
        {classKey, {{"", "CorvinaExtention Class"}}},
        {classKey + "\\ProgID", {{"", "Corvina.CorvinaExtention.1"}}},
        {classKey + "\\VersionIndependentProgID", {{"", "Corvina.CorvinaExtention"}}},
        {classKey + "\\Programmable", {}},
        {classKey + "\\InprocServer32", {{"", dllPath}, {"ThreadingModel", "Apartment"}}},
        {classKey + "\\TypeLib", {{"", "{0F6B8A3D-71C2-4E95-A4D8-52B1C9E07F36}"}}},
        {kHandlerKey, {{"", clsid}}},
    };
}

// The values of HKCR\path as the ANSI functions read them; false if the key is missing.
// Any value that is not REG_SZ is reported as "<type N>"; a string stored without its
// terminating zero (which the shell and COM may read past) gets " <unterminated>".
bool ReadValues(const std::string& path, ValueMap* values) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    values->clear();
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof(name);
        BYTE data[1024] = {};
        DWORD size = sizeof(data) - 1;
        DWORD type = 0;
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &size) !=
            ERROR_SUCCESS) {
            break;
        }
        const std::string text(reinterpret_cast<const char*>(data));
        const bool terminated = size == text.size() + 1;
        (*values)[name] = type != REG_SZ ? "<type " + std::to_string(type) + ">"
                          : terminated   ? text
                                         : text + " <unterminated>";
    }
    RegCloseKey(key);
    return true;
}

std::vector<std::string> Subkeys(const std::string& path) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return names;
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.push_back(name);
    }
    RegCloseKey(key);
    return names;
}

// The values of one key as Wine's "reg query" prints them: "    name    REG_SZ    data".
// False when reg finds no such key.
bool RegQueryValues(const std::string& path, ValueMap* values,
                    std::map<std::string, std::string>* types) {
    values->clear();
    types->clear();
    RegValues read;
    if (!RegQuery("HKEY_CLASSES_ROOT\\" + path, &read)) {
        return false;
    }
    for (const auto& [name, value] : read) {
        (*values)[name] = value.data;
        (*types)[name] = value.type;
    }
    return true;
}

// Removes every trace of a registration, whatever an earlier test left.
void RemoveRegistration() {
    for (const char* key : {"Corvina.CorvinaExtention.1", "Corvina.CorvinaExtention", kClassKey,
                            kHandlerKey, kTypeLibKey, kInterfaceKey}) {
        SHDeleteKeyA(HKEY_CLASSES_ROOT, key);
    }
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveRegistration(); }
    void TearDown() override { RemoveRegistration(); }
    CComScope m_com;
};

TEST_F(RegistrationTest, Regsvr32RegistersWhatRegReadsBackAndUnregistersIt) {
    CServerCopy server(false);
    const std::string regsvr32 =
        "C:\\windows\\system32\\regsvr32.exe /s \"" + server.DllPath() + "\"";
    ASSERT_EQ(RunAndWait(regsvr32), 0);

    for (const ExpectedKey& expected : ExpectedKeys(server.DllPath())) {
        SCOPED_TRACE(expected.path);
        ValueMap values;
        std::map<std::string, std::string> types;
        ASSERT_TRUE(RegQueryValues(expected.path, &values, &types));
        EXPECT_EQ(values, expected.values);
        for (const auto& type : types) {
            EXPECT_EQ(type.second, "REG_SZ") << type.first;
        }
    }

    ASSERT_EQ(RunAndWait("C:\\windows\\system32\\regsvr32.exe /s /u \"" + server.DllPath() + "\""),
              0);
    for (const ExpectedKey& expected : ExpectedKeys(server.DllPath())) {
        ValueMap values;
        std::map<std::string, std::string> types;
        EXPECT_FALSE(RegQueryValues(expected.path, &values, &types)) << expected.path;
    }
    ValueMap values;
    std::map<std::string, std::string> types;
    EXPECT_TRUE(RegQueryValues(kHandlersKey, &values, &types));
    EXPECT_TRUE(RegQueryValues("CLSID", &values, &types));
}

TEST_F(RegistrationTest, DllRegisterServerCreatesExactlyTheKeysAndStringValues) {
    CServerCopy server(false);
    ASSERT_TRUE(server.Loaded());
    ASSERT_EQ(server.Register(), S_OK);
    for (const ExpectedKey& expected : ExpectedKeys(server.DllPath())) {
        SCOPED_TRACE(expected.path);
        ValueMap values;
        ASSERT_TRUE(ReadValues(expected.path, &values));
        EXPECT_EQ(values, expected.values);
    }
    const std::vector<std::string> expectedSubkeys = {"InprocServer32", "ProgID", "Programmable",
                                                      "TypeLib", "VersionIndependentProgID"};
    std::vector<std::string> subkeys = Subkeys(kClassKey);
    std::sort(subkeys.begin(), subkeys.end());
    EXPECT_EQ(subkeys, expectedSubkeys);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kInterfaceKey));
}

TEST_F(RegistrationTest, RegisteringTwiceRebuildsTheClassKeyAndKeepsOneHandler) {
    CServerCopy server(false);
    ASSERT_EQ(server.Register(), S_OK);
    // Leftovers of some other version inside the keys that registration rebuilds.
    const std::string stray = std::string(kClassKey) + "\\Stray";
    const std::string strayInProgrammable = std::string(kClassKey) + "\\Programmable\\Stray";
    HKEY key = nullptr;
    for (const std::string& path : {stray, strayInProgrammable}) {
        ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, path.c_str(), &key), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, kClassKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExA(key, "Stray", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(key);

    ASSERT_EQ(server.Register(), S_OK);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, stray.c_str()));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, strayInProgrammable.c_str()));
    ValueMap values;
    ASSERT_TRUE(ReadValues(kClassKey, &values));
    EXPECT_EQ(values, (ValueMap{{"", "CorvinaExtention Class"}}));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\Programmable").c_str()));

    int handlers = 0;
    for (const std::string& name : Subkeys(kHandlersKey)) {
        handlers += lstrcmpiA(name.c_str(), "CorvinaExtention") == 0;
    }
    EXPECT_EQ(handlers, 1);
}

TEST_F(RegistrationTest, UnregisteringRemovesOurKeysAndNeverTheSharedOnes) {
    // With nothing else registered, the handlers key becomes empty and must still stay.
    const std::vector<std::string> others = Subkeys(kHandlersKey);
    CServerCopy server(false);
    ASSERT_EQ(server.Register(), S_OK);
    ASSERT_EQ(server.Unregister(), S_OK);
    for (const char* gone : {"Corvina.CorvinaExtention.1", "Corvina.CorvinaExtention", kClassKey,
                             kHandlerKey, kTypeLibKey, kInterfaceKey}) {
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, gone)) << gone;
    }
    for (const char* kept : {"CLSID", "Directory", "Directory\\Background",
                             "Directory\\Background\\shellex", kHandlersKey}) {
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kept)) << kept;
    }
    EXPECT_EQ(Subkeys(kHandlersKey), others);
    // Unregistering what is not registered is no failure.
    EXPECT_EQ(server.Unregister(), S_OK);
}

TEST_F(RegistrationTest, TypeLibraryDescriptionReadsBackExactly) {
    CServerCopy server(false);
    ASSERT_EQ(server.Register(), S_OK);
    DWORD type = 0;
    std::wstring description;
    ASSERT_TRUE(
        ReadRegistryW(HKEY_CLASSES_ROOT, kTypeLibVersionKeyW, nullptr, &type, &description));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(description, std::wstring(L"Corvina 1.0 ﾀｲﾌﾟ ﾗｲﾌﾞﾗﾘ"));

    std::wstring path;
    ASSERT_TRUE(ReadRegistryW(HKEY_CLASSES_ROOT, kTypeLibFileKeyW, nullptr, &type, &path));
    EXPECT_EQ(path, std::wstring(server.DllPath().begin(), server.DllPath().end()));
    // The library loads through its registration, as automation clients find it.
    ITypeLib* library = nullptr;
    const GUID libid = {
        0x0F6B8A3D, 0x71C2, 0x4E95, {0xA4, 0xD8, 0x52, 0xB1, 0xC9, 0xE0, 0x7F, 0x36}};
    ASSERT_EQ(LoadRegTypeLib(libid, 1, 0, 0, &library), S_OK);
    library->Release();
}

TEST_F(RegistrationTest, RegistryFailureComesBackAsItsErrorCode) {
    // A volatile key cannot hold the lasting subkey that registration creates in it.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "Corvina.CorvinaExtention.1", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    CServerCopy server(false);
    EXPECT_EQ(server.Register(), HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE));
}

} // namespace
