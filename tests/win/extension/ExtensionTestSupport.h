// Shared by the extension's tests: a private copy of Corvina.dll (with or without a settings
// program beside it) loaded straight or registered, and the user's list written for a test.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "framework/ComPtr.h"

// The texts the extension shows on this run.
std::string ExpectedCaption();
std::string ExpectedSettingsLabel();
std::string ExpectedHelpText(const std::string& label);

// Corvina.dll copied into a scratch folder (with the marker program as "Corvset.exe" beside
// it when asked) and loaded from there.
class CServerCopy {
public:
    explicit CServerCopy(bool withSettingsProgram);
    CServerCopy(const CServerCopy&) = delete;
    CServerCopy& operator=(const CServerCopy&) = delete;
    ~CServerCopy();

    bool Loaded() const { return m_module != nullptr; }
    const std::string& DllPath() const { return m_dllPath; }
    std::string SettingsPath() const { return m_folder.File("Corvset.exe"); }
    const CScratchFolder& Folder() const { return m_folder; }

    HRESULT CanUnloadNow() const;
    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const;
    HRESULT Register() const;
    HRESULT Unregister() const;
    // A new extension object straight from the class factory.
    template <class T> HRESULT Create(REFIID riid, CComPtr<T>& object) const {
        CComPtr<IClassFactory> factory;
        HRESULT hr = GetClassObject(kClsid, IID_IClassFactory,
                                    reinterpret_cast<void**>(factory.GetAddressOf()));
        if (FAILED(hr)) {
            return hr;
        }
        return factory->CreateInstance(nullptr, riid,
                                       reinterpret_cast<void**>(object.ReleaseAndGetAddressOf()));
    }

    static const CLSID kClsid;

private:
    CScratchFolder m_folder;
    std::string m_dllPath;
    HMODULE m_module = nullptr;
};

// Writes HKCU\Software\Velmora\Corvina for the test: each entry's path and display-name
// override. The key is deleted before writing and again on destruction.
struct ListEntry {
    std::string path;
    std::string override;
};
class CUserList {
public:
    explicit CUserList(const std::vector<ListEntry>& entries);
    CUserList(const CUserList&) = delete;
    CUserList& operator=(const CUserList&) = delete;
    ~CUserList();
    static void Clear();
};

// The shell's own answers for a path, to compare the menu with.
std::string ShellDisplayName(const std::string& path);
int ShellIconIndex(const std::string& path);

// Registry reads through the wide functions (what COM and other readers see).
bool ReadRegistryW(HKEY root, const wchar_t* path, const wchar_t* name, DWORD* type,
                   std::wstring* text);

// COM for each test's thread.
class CComScope {
public:
    CComScope() { OleInitialize(nullptr); }
    ~CComScope() { OleUninitialize(); }
};
