// The band object as a browser window's band site meets it: its window, band information,
// the per-host new-row value through show, hide and close, the focus protocol, sites
// without a window, IDispatch, and what a closed band leaves behind.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "CTestBandSite.h"
#include "TestSupport.h"
#include "common/MenuItemList.h"
#include "common/ShellQueries.h"
#include "framework/ComPtr.h"

namespace {

const IID kICorvBar = {
    0xB3E1F6A2, 0x5C84, 0x4D27, {0x9A, 0x0E, 0x6F, 0x2C, 0x81, 0xD4, 0x5E, 0x37}};
const char kOptionsPath[] = "Software\\Velmora\\Corvina Bar";

// The per-host value's name: this test program's own file name.
std::string HostName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full = path;
    return full.substr(full.rfind('\\') + 1);
}

// -1 when the value is missing.
long long StoredNewRow() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kOptionsPath, 0, KEY_QUERY_VALUE, &key) != 0) {
        return -1;
    }
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    const LONG read = RegQueryValueExA(key, HostName().c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long long>(value) : -1;
}

void StoreNewRow(long long value) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kOptionsPath);
    if (value < 0) {
        return;
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kOptionsPath, &key), ERROR_SUCCESS);
    const DWORD stored = static_cast<DWORD>(value);
    RegSetValueExA(key, HostName().c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                   sizeof(stored));
    RegCloseKey(key);
}

CComPtr<IUnknown> CreateBand() {
    CComPtr<IUnknown> band;
    CoCreateInstance(kCorvBarClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                     reinterpret_cast<void**>(band.GetAddressOf()));
    return band;
}

// A site that offers a window of its choice (null: none) or no IOleWindow at all.
class CWindowSite : public IOleWindow {
public:
    CWindowSite(bool offersWindow, HWND window) : m_offers(offersWindow), m_window(window) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        *ppv = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || (m_offers && IsEqualIID(riid, IID_IOleWindow))) {
            *ppv = static_cast<IOleWindow*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override { return --m_refs; }
    STDMETHODIMP GetWindow(HWND* window) override {
        *window = m_window;
        return m_window ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    ULONG m_refs = 1;

private:
    bool m_offers;
    HWND m_window;
};

class BandObjectTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        OleInitialize(nullptr);
        RegDeleteKeyA(HKEY_CURRENT_USER, kOptionsPath);
        ASSERT_EQ(RegisterBandServer(HostPath(CORVINA_BAR_DLL)), S_OK);
        ASSERT_TRUE(m_site.Create({0, 0, 640, 120}));
    }
    void TearDown() override {
        m_site.Destroy();
        UnregisterBandServer(HostPath(CORVINA_BAR_DLL));
        OleUninitialize();
        RegistryTest::TearDown();
    }
    template <class T> CComPtr<T> Band() {
        CComPtr<T> asked;
        if (m_site.GetBand()) {
            m_site.GetBand()->QueryInterface(__uuidof(T),
                                             reinterpret_cast<void**>(asked.GetAddressOf()));
        }
        return asked;
    }
    CTestBandSite m_site;
};

TEST_F(BandObjectTest, NewRowValueFollowsShowHideAndClose) {
    struct Case {
        long long stored; // -1: none yet
        bool switchedOff; // hidden before it is closed (else the window closes with it)
        bool newRow;      // the band starts a row of its own
        long long afterClose;
    };
    const Case cases[] = {
        {-1, true, true, 1},
        {1, false, true, 0},
        {0, true, false, 1},
        {0, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " " << c.switchedOff);
        StoreNewRow(c.stored);
        ASSERT_EQ(m_site.AddBand(), S_OK);
        EXPECT_EQ((m_site.GetBandStyle() & RBBS_BREAK) != 0, c.newRow);
        EXPECT_EQ(StoredNewRow(), 0);
        m_site.RemoveBand(c.switchedOff);
        EXPECT_EQ(StoredNewRow(), c.afterClose);
    }
}

TEST_F(BandObjectTest, ToolbarWindowIsWhatOtherProgramsLookFor) {
    ASSERT_EQ(m_site.AddBand(), S_OK);
    const HWND toolbar = m_site.GetBandWindow();
    ASSERT_TRUE(IsWindow(toolbar));
    char text[64] = {};
    GetClassNameA(toolbar, text, sizeof(text));
    EXPECT_STREQ(text, "ToolbarWindow32");
    GetWindowTextA(toolbar, text, sizeof(text));
    EXPECT_STREQ(text, "Velmora:CorvinaBar");
    EXPECT_EQ(GetDlgCtrlID(toolbar), 500);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(toolbar, GWL_STYLE)), 0x50019946u);
    EXPECT_EQ(GetParent(toolbar), m_site.GetRebar());

    // A second site replaces the window; the first does not stay behind.
    CComPtr<IObjectWithSite> withSite = Band<IObjectWithSite>();
    CComPtr<IUnknown> site;
    ASSERT_EQ(withSite->GetSite(IID_IUnknown, reinterpret_cast<void**>(site.GetAddressOf())), S_OK);
    ASSERT_EQ(withSite->SetSite(site.Get()), S_OK);
    HWND second = nullptr;
    ASSERT_EQ(Band<IOleWindow>()->GetWindow(&second), S_OK);
    EXPECT_TRUE(IsWindow(second));
    EXPECT_NE(second, toolbar);
    EXPECT_FALSE(IsWindow(toolbar));
    m_site.RemoveBand();
    EXPECT_FALSE(IsWindow(second));
}

TEST_F(BandObjectTest, BandInfoForEverythingAndForTheTitleAlone) {
    ASSERT_EQ(m_site.AddBand(), S_OK);
    // The fill itself is the core's (native tests); here: the toolbar's height gets there and
    // the host's own background stays.
    const DESKBANDINFO& all = m_site.GetLastBandInfo();
    EXPECT_EQ(all.ptMinSize.y, 22);
    EXPECT_EQ(all.ptMaxSize.x, -1);
    EXPECT_EQ(all.dwModeFlags, static_cast<DWORD>(DBIMF_VARIABLEHEIGHT));
    EXPECT_EQ(all.dwMask & DBIM_BKCOLOR, 0u);

    DESKBANDINFO title = {};
    title.dwMask = DBIM_TITLE;
    lstrcpyW(title.wszTitle, L"keep");
    EXPECT_EQ(Band<IDeskBand>()->GetBandInfo(7, DBIF_VIEWMODE_NORMAL, &title), S_OK);
    EXPECT_EQ(title.dwMask, static_cast<DWORD>(DBIM_TITLE));
    EXPECT_STREQ(title.wszTitle, L"keep");
    EXPECT_EQ(title.ptMinSize.y, 0);
}

TEST_F(BandObjectTest, SitesWithoutAWindowLeaveTheBandWithoutOne) {
    CComPtr<IUnknown> band = CreateBand();
    ASSERT_TRUE(band);
    CComPtr<IObjectWithSite> withSite;
    CComPtr<IOleWindow> oleWindow;
    ASSERT_EQ(band.As(&withSite), S_OK);
    ASSERT_EQ(band.As(&oleWindow), S_OK);
    EXPECT_EQ(withSite->SetSite(nullptr), S_OK);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(withSite->GetSite(IID_IUnknown, &out), E_FAIL);
    EXPECT_EQ(out, nullptr);

    struct Case {
        bool offersWindow;
        HWND window;
    };
    for (const Case& c : {Case{false, nullptr}, Case{true, nullptr}}) {
        CWindowSite site(c.offersWindow, c.window);
        EXPECT_EQ(withSite->SetSite(&site), E_FAIL) << c.offersWindow;
        HWND window = reinterpret_cast<HWND>(1);
        EXPECT_EQ(oleWindow->GetWindow(&window), S_OK);
        EXPECT_EQ(window, nullptr);
        EXPECT_EQ(site.m_refs, 1u) << "the band keeps no reference to a failed site";
    }
}

TEST_F(BandObjectTest, FocusFlagWinsAndOnlyGainingTellsTheSite) {
    ASSERT_EQ(m_site.AddBand(), S_OK);
    const HWND toolbar = m_site.GetBandWindow();
    CComPtr<IInputObject> input = Band<IInputObject>();
    SetFocus(m_site.GetWindow());
    PumpMessages();
    m_site.ClearCalls();
    EXPECT_EQ(input->HasFocusIO(), S_FALSE);

    // The toolbar reports focus it was told of while another window keeps the real one.
    SendMessageA(toolbar, WM_SETFOCUS, 0, 0);
    ASSERT_NE(GetFocus(), toolbar);
    EXPECT_EQ(input->HasFocusIO(), S_OK);
    ASSERT_EQ(m_site.GetFocusChanges().size(), 1u);
    EXPECT_TRUE(m_site.GetFocusChanges()[0].fromBand);
    EXPECT_EQ(m_site.GetFocusChanges()[0].focus, TRUE);

    SendMessageA(toolbar, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(input->HasFocusIO(), S_FALSE);
    EXPECT_EQ(m_site.GetFocusChanges().size(), 1u);

    // Activation gives the toolbar the real focus.
    EXPECT_EQ(input->UIActivateIO(TRUE, nullptr), S_OK);
    EXPECT_EQ(GetFocus(), toolbar);
    EXPECT_EQ(input->HasFocusIO(), S_OK);
}

TEST_F(BandObjectTest, DispatchComesFromTheRegisteredTypeLibrary) {
    CComPtr<IUnknown> band = CreateBand();
    ASSERT_TRUE(band);
    CComPtr<IDispatch> dispatch;
    ASSERT_EQ(band.As(&dispatch), S_OK);
    UINT count = 0;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    CComPtr<ITypeInfo> info;
    ASSERT_EQ(dispatch->GetTypeInfo(0, 0, info.GetAddressOf()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, kICorvBar));
    info->ReleaseTypeAttr(attributes);
}

TEST_F(BandObjectTest, ClosedBandLeavesNoItemIdListsOrGdiObjects) {
    const CScratchFolder folder("band");
    MenuItemList list;
    for (const std::string& path :
         {std::string("C:\\windows"), folder.Folder(), folder.CreateTextFile("note.txt")}) {
        MenuItemRecord record;
        record.itemIdList = ParsePathToItemIdList(path.c_str());
        ASSERT_TRUE(record.itemIdList) << path;
        list.push_back(std::move(record));
    }
    ASSERT_TRUE(SaveMenuItemList(list));
    list.clear();

    // One band first: the shell's own caches fill once per process.
    ASSERT_EQ(m_site.AddBand(), S_OK);
    m_site.RemoveBand();
    CTaskAllocatorSpy spy;
    ASSERT_TRUE(spy.Registered());
    const DWORD gdiBefore = CountGdiObjects();
    for (int cycle = 0; cycle < 3; ++cycle) {
        ASSERT_EQ(m_site.AddBand(), S_OK);
        PumpMessages();
        ASSERT_EQ(SendMessageA(m_site.GetBandWindow(), TB_BUTTONCOUNT, 0, 0), 3);
        m_site.RemoveBand(cycle % 2 == 0);
    }
    EXPECT_EQ(spy.LiveCount(), 0u) << "item ID lists left over";
    EXPECT_EQ(CountGdiObjects(), gdiBefore);
}

} // namespace
