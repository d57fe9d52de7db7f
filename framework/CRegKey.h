// Owner of one open registry key, with the few value operations every caller needs.
// All functions return the system's error code (ERROR_SUCCESS on success).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// How a REG_SZ value is stored, chosen by who reads it. Values that the system and other
// programs read (server paths, the Run values, the uninstall entry) count their terminating
// zero in the data size: such readers may take the stored bytes for the whole string. The
// suite's own values, whose readers accept both forms, store the text alone.
enum class RegStringForm {
    Terminated,
    TextOnly,
};

class CRegKey {
public:
    CRegKey() = default;
    explicit CRegKey(HKEY key) : m_key(key) {}
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    CRegKey(CRegKey&& other) noexcept : m_key(other.Detach()) {}
    CRegKey& operator=(CRegKey&& other) noexcept;
    ~CRegKey() { Close(); }

    LONG Open(HKEY parent, const char* subKey, REGSAM access = KEY_READ);
    // Creates the key (one level or several, as the system allows) or opens it when it
    // exists; disposition receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
    LONG Create(HKEY parent, const char* subKey, REGSAM access = KEY_READ | KEY_WRITE,
                DWORD* disposition = nullptr);
    void Close();

    HKEY Get() const { return m_key; }
    operator HKEY() const { return m_key; }
    explicit operator bool() const { return m_key != nullptr; }
    void Attach(HKEY key);
    HKEY Detach();

    LONG QueryValue(const char* name, DWORD* type, void* data, DWORD* size) const;
    // REG_DWORD of exactly 4 bytes, else ERROR_INVALID_DATA.
    LONG QueryDWORD(const char* name, DWORD& value) const;
    // REG_SZ or REG_EXPAND_SZ; data stored with or without a terminating zero reads the
    // same. Not expanded.
    LONG QueryString(const char* name, std::string& value) const;
    // Any type; the bytes as stored. type may be null.
    LONG QueryBinary(const char* name, std::vector<BYTE>& value, DWORD* type = nullptr) const;

    LONG SetValue(const char* name, DWORD type, const void* data, DWORD size);
    LONG SetDWORD(const char* name, DWORD value);
    // REG_SZ in the given form: the one writer of every string value.
    LONG SetString(const char* name, std::string_view value, RegStringForm form);
    LONG SetWideString(const wchar_t* name, std::wstring_view value, RegStringForm form);
    // The same with the form as a flag: withTerminator false is RegStringForm::TextOnly.
    LONG SetString(const char* name, const std::string& value, bool withTerminator = true) {
        return SetString(name, std::string_view(value),
                         withTerminator ? RegStringForm::Terminated : RegStringForm::TextOnly);
    }
    LONG SetBinary(const char* name, const void* data, DWORD size);

    LONG DeleteValue(const char* name);
    // Deletes a subkey that has no subkeys of its own (NT refuses others).
    LONG DeleteSubKey(const char* name);
    // Deletes a subkey with everything below it.
    LONG DeleteTree(const char* name);

private:
    HKEY m_key = nullptr;
};
