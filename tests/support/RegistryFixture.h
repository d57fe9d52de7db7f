// Tests that write the user's list key (HKCU\Software\Velmora\Corvina) or the scratch key.
// Both language runs of a program, and other test programs, share one Wine prefix and may
// run at the same time, so each test holds a named mutex for its whole run; both keys are
// deleted before and after every test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Bytes = std::vector<BYTE>;

// Whether root\path opens for reading.
bool KeyExists(HKEY root, const char* path);

class RegistryTest : public ::testing::Test {
protected:
    static constexpr const char* kScratchKeyPath = "Software\\CorvinaTestScratch";

    void SetUp() override;
    void TearDown() override;

    static void DeleteTestKeys();
    // Writes a raw value into HKCU\path, creating the key.
    static void PutValue(const char* path, const char* name, DWORD type, const Bytes& data);
    static bool ValueExists(const char* path, const char* name);
    // Type and bytes as stored (UTF-16 for strings, through the wide query).
    static bool GetValueW(const char* path, const char* name, DWORD* type, Bytes* data);
    // Bytes as the ANSI query returns them.
    static bool GetValueA(const char* path, const char* name, DWORD* type, Bytes* data);

private:
    HANDLE m_mutex = nullptr;
};
