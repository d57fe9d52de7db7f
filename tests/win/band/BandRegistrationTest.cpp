// CorvinaBar.dll's registration exports, read back through Wine's own reg, and its class
// factory and unloading through the other two exports.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <cstring>
#include <string>

#include "TestSupport.h"
#include "framework/ComPtr.h"
#include "framework/Handles.h"

namespace {

const CLSID kCorvBarClsid = {
    0x9E3B4C71, 0x2D58, 0x4A0F, {0xB6, 0xC3, 0x71, 0xE8, 0xD2, 0xA4, 0x5F, 0x90}};
const char kClsid[] = "{9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}";
const std::string kClassKey = std::string("HKEY_CLASSES_ROOT\\CLSID\\") + kClsid;
const char kToolbarKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
const char kTypeLibVersionKey[] =
    "HKEY_CLASSES_ROOT\\TypeLib\\{C47D2E91-6A30-4B1F-8D52-3E9A0B7C6D24}\\1.0";
const char kCategoryEnum[] = "Component Categories\\{00021492-0000-0000-C000-000000000046}\\Enum";
const char kOptionsPath[] = "Software\\Velmora\\Corvina Bar";
const char kListPath[] = "Software\\Velmora\\Corvina";

void CreateKeyWithValue(HKEY root, const char* path, const char* name) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD one = 1;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
    RegCloseKey(key);
}

bool HasValue(HKEY root, const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    const bool found = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == 0;
    RegCloseKey(key);
    return found;
}

// The built CorvinaBar.dll, loaded as the settings program loads it, with its four exports.
class CBandServer {
public:
    CBandServer() : m_path(HostPath(CORVINA_BAR_DLL)), m_module(LoadLibraryA(m_path.c_str())) {}
    bool Loaded() const { return m_module.Get() != nullptr; }
    const std::string& Path() const { return m_path; }
    HRESULT Call(const char* name) const {
        using Export = HRESULT(STDAPICALLTYPE*)();
        const auto function = reinterpret_cast<Export>(GetProcAddress(m_module.Get(), name));
        return function ? function() : E_NOTIMPL;
    }
    HRESULT Register() const { return Call("DllRegisterServer"); }
    HRESULT Unregister() const { return Call("DllUnregisterServer"); }
    HRESULT CanUnloadNow() const { return Call("DllCanUnloadNow"); }
    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const {
        using Export = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
        const auto function =
            reinterpret_cast<Export>(GetProcAddress(m_module.Get(), "DllGetClassObject"));
        return function ? function(clsid, riid, ppv) : E_NOTIMPL;
    }

private:
    std::string m_path;
    CLibrary m_module;
};

class BandRegistrationTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        OleInitialize(nullptr);
        ASSERT_TRUE(m_server.Loaded()) << m_server.Path();
    }
    void TearDown() override {
        m_server.Unregister();
        OleUninitialize();
        RegistryTest::TearDown();
    }
    CBandServer m_server;
};

// The stored size of a string value under "HKEY_CLASSES_ROOT\..." or "HKEY_LOCAL_MACHINE\...",
// against its text's length: readers outside the suite take the size for the string.
bool StoredWithTerminator(const std::string& key, const std::string& name) {
    const std::string classes = "HKEY_CLASSES_ROOT\\";
    const std::string machine = "HKEY_LOCAL_MACHINE\\";
    HKEY root =
        key.compare(0, classes.size(), classes) == 0 ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
    const std::string path =
        key.substr(root == HKEY_CLASSES_ROOT ? classes.size() : machine.size());
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return false;
    }
    char data[1024] = {};
    DWORD size = sizeof(data) - 1;
    const LONG result = RegQueryValueExA(opened, name.empty() ? nullptr : name.c_str(), nullptr,
                                         nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(opened);
    return result == ERROR_SUCCESS && size == std::strlen(data) + 1;
}

TEST_F(BandRegistrationTest, RegistrationWritesWhatRegReadsBack) {
    CreateKeyWithValue(HKEY_CLASSES_ROOT, kCategoryEnum, "Implementing");
    ASSERT_EQ(m_server.Register(), S_OK);

    const std::string menuText = ToAnsi(ForRun(L"コルヴィナバー(&M)", L"Corvina&Bar"));
    const std::string folder = m_server.Path().substr(0, m_server.Path().rfind('\\') + 1);
    struct Case {
        std::string key;
        RegValues values;
    };
    const RegValue classId = {"REG_SZ", kClsid};
    const Case cases[] = {
        {"HKEY_CLASSES_ROOT\\CorvinaBar.CorvBar.1", {{"", {"REG_SZ", "CorvBar Class"}}}},
        {"HKEY_CLASSES_ROOT\\CorvinaBar.CorvBar.1\\CLSID", {{"", classId}}},
        {"HKEY_CLASSES_ROOT\\CorvinaBar.CorvBar", {{"", {"REG_SZ", "CorvBar Class"}}}},
        {"HKEY_CLASSES_ROOT\\CorvinaBar.CorvBar\\CLSID", {{"", classId}}},
        {"HKEY_CLASSES_ROOT\\CorvinaBar.CorvBar\\CurVer",
         {{"", {"REG_SZ", "CorvinaBar.CorvBar.1"}}}},
        {kClassKey, {{"", {"REG_SZ", menuText}}}},
        {kClassKey + "\\ProgID", {{"", {"REG_SZ", "CorvinaBar.CorvBar.1"}}}},
        {kClassKey + "\\VersionIndependentProgID", {{"", {"REG_SZ", "CorvinaBar.CorvBar"}}}},
        {kClassKey + "\\Programmable", {}},
        {kClassKey + "\\InprocServer32",
         {{"", {"REG_SZ", m_server.Path()}}, {"ThreadingModel", {"REG_SZ", "Apartment"}}}},
        {kClassKey + "\\TypeLib", {{"", {"REG_SZ", "{C47D2E91-6A30-4B1F-8D52-3E9A0B7C6D24}"}}}},
        {std::string(kTypeLibVersionKey) + "\\HELPDIR", {{"", {"REG_SZ", folder}}}},
    };
    for (const Case& c : cases) {
        RegValues values;
        ASSERT_TRUE(RegQuery(c.key, &values)) << c.key;
        EXPECT_EQ(values, c.values) << c.key;
        for (const auto& value : c.values) {
            EXPECT_TRUE(StoredWithTerminator(c.key, value.first)) << c.key << " " << value.first;
        }
    }
    // Other programs' toolbars share the key: only our value is compared.
    RegValues toolbars;
    ASSERT_TRUE(RegQuery(kToolbarKey, &toolbars));
    ASSERT_EQ(toolbars.count(kClsid), 1u);
    EXPECT_EQ(toolbars[kClsid].type, "REG_SZ");
    EXPECT_EQ(toolbars[kClsid].data, "");
    EXPECT_TRUE(StoredWithTerminator(kToolbarKey, kClsid));
    EXPECT_FALSE(HasValue(HKEY_CLASSES_ROOT, kCategoryEnum, "Implementing"));
}

TEST_F(BandRegistrationTest, UnregistrationRemovesTheBandAndItsOptionsOnly) {
    ASSERT_EQ(m_server.Register(), S_OK);
    // The options with a per-host value and nested keys; the user's list beside them.
    CreateKeyWithValue(HKEY_CURRENT_USER, kOptionsPath, "explorer.exe");
    CreateKeyWithValue(HKEY_CURRENT_USER, "Software\\Velmora\\Corvina Bar\\Old\\Older", "x");
    CreateKeyWithValue(HKEY_CURRENT_USER, "Software\\Velmora\\Corvina Bar\\Other", "x");
    CreateKeyWithValue(HKEY_CURRENT_USER, kListPath, "Length");
    CreateKeyWithValue(HKEY_CLASSES_ROOT, kCategoryEnum, "Implementing");

    ASSERT_EQ(m_server.Unregister(), S_OK);

    RegValues values;
    for (const std::string& gone :
         {std::string("HKEY_CLASSES_ROOT\\CorvinaBar.CorvBar.1"),
          std::string("HKEY_CLASSES_ROOT\\CorvinaBar.CorvBar"), kClassKey,
          std::string(kTypeLibVersionKey), std::string("HKEY_CURRENT_USER\\") + kOptionsPath}) {
        EXPECT_FALSE(RegQuery(gone, &values)) << gone;
    }
    ASSERT_TRUE(RegQuery(kToolbarKey, &values));
    EXPECT_EQ(values.count(kClsid), 0u);
    ASSERT_TRUE(RegQuery(std::string("HKEY_CURRENT_USER\\") + kListPath, &values));
    EXPECT_EQ(values.count("Length"), 1u);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_FALSE(HasValue(HKEY_CLASSES_ROOT, kCategoryEnum, "Implementing"));
    // Nothing left to remove is no failure.
    EXPECT_EQ(m_server.Unregister(), S_OK);
}

TEST_F(BandRegistrationTest, ClassFactoryAggregationAndUnloading) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(m_server.GetClassObject(IID_IDeskBand, IID_IClassFactory, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);

    CComPtr<IClassFactory> factory;
    ASSERT_EQ(m_server.GetClassObject(kCorvBarClsid, IID_IClassFactory,
                                      reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);

    COuter outer;
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IDeskBand, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);

    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)),
              S_OK);
    EXPECT_EQ(m_server.CanUnloadNow(), S_FALSE);
    {
        CComPtr<IDeskBand> band;
        ASSERT_EQ(outer.inner->QueryInterface(IID_IDeskBand,
                                              reinterpret_cast<void**>(band.GetAddressOf())),
                  S_OK);
        // The band's interfaces answer for the aggregate.
        CComPtr<IUnknown> identity;
        ASSERT_EQ(band.As(&identity), S_OK);
        EXPECT_EQ(identity.Get(), static_cast<IUnknown*>(&outer));
        EXPECT_GT(outer.refs, 1u);
    }
    EXPECT_EQ(outer.inner->Release(), 0u);
    outer.inner = nullptr;
    EXPECT_EQ(outer.refs, 1u);

    CComPtr<IUnknown> plain;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown,
                                      reinterpret_cast<void**>(plain.GetAddressOf())),
              S_OK);
    // A factory held by a client keeps the server too; once it goes only the band does.
    factory.Reset();
    EXPECT_EQ(m_server.CanUnloadNow(), S_FALSE);
    plain.Reset();
    EXPECT_EQ(m_server.CanUnloadNow(), S_OK);
}

} // namespace
