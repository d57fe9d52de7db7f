// The band object as a browser window's band site meets it: its window, band information,
// the per-host new-row value through show, hide and close, the focus protocol, sites
// without a window, IDispatch, and what a closed band leaves behind.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

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

// The visible popup menu of this desktop, if any.
HWND VisiblePopupMenu() {
    HWND popup = nullptr;
    while ((popup = FindWindowExA(nullptr, popup, "#32768", nullptr)) != nullptr) {
        if (IsWindowVisible(popup)) {
            return popup;
        }
    }
    return nullptr;
}

// Runs action once from inside the loop of the first popup menu that shows, as the host's
// own messages arrive there. A menu still open half a second later is ended here, and that
// is recorded: the band did not end it.
struct InsideMenuLoop {
    static InsideMenuLoop* current;
    std::function<void()> action;
    bool ran = false;
    bool endedByTest = false;
    int ticksAfter = 0;

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        InsideMenuLoop* self = current;
        if (self == nullptr) {
            return;
        }
        const bool open = VisiblePopupMenu() != nullptr;
        if (!self->ran) {
            if (open) {
                self->ran = true;
                self->action();
            }
        } else if (open && ++self->ticksAfter > 25) {
            self->endedByTest = true;
            EndMenu();
        }
    }

    // Runs open (which shows a menu) and waits until action has run and no menu is open.
    bool During(const std::function<void()>& open) {
        current = this;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, &OnTimer);
        open();
        const bool done = WaitFor([&] { return ran && VisiblePopupMenu() == nullptr; }, 20000);
        KillTimer(nullptr, timer);
        current = nullptr;
        return done;
    }
};
InsideMenuLoop* InsideMenuLoop::current = nullptr;

// The loaded server's DllCanUnloadNow: S_FALSE while any object of it is alive.
HRESULT ServerCanUnload() {
    HMODULE module = GetModuleHandleA("CorvinaBar.dll");
    using Export = HRESULT(STDAPICALLTYPE*)();
    auto canUnload = module ? reinterpret_cast<Export>(reinterpret_cast<void*>(
                                  GetProcAddress(module, "DllCanUnloadNow")))
                            : nullptr;
    return canUnload ? canUnload() : E_FAIL;
}

int FirstCommandId(HWND toolbar) {
    TBBUTTON button = {};
    SendMessageA(toolbar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button));
    return button.idCommand;
}

// A right-click on the first button, as the control reports it.
void RightClickFirstButton(HWND toolbar) {
    RECT rect = {};
    SendMessageA(toolbar, TB_GETRECT, FirstCommandId(toolbar), reinterpret_cast<LPARAM>(&rect));
    POINT point = {rect.left + 3, rect.top + 3};
    ClientToScreen(toolbar, &point);
    SendMessageA(toolbar, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(toolbar),
                 MAKELPARAM(point.x, point.y));
}

// A click on the first button's drop-down arrow, through the control itself.
void ClickFirstArrow(HWND toolbar) {
    RECT rect = {};
    SendMessageA(toolbar, TB_GETRECT, FirstCommandId(toolbar), reinterpret_cast<LPARAM>(&rect));
    const LPARAM at = MAKELPARAM(rect.right - 4, (rect.top + rect.bottom) / 2);
    SendMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(toolbar, WM_LBUTTONUP, 0, at);
}

// What the CBT hook below refuses to create on this thread.
bool (*g_refuse)(const CREATESTRUCTA&) = nullptr;

LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && g_refuse(*reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs)) {
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool IsToolbarChild(const CREATESTRUCTA& create, UINT_PTR id) {
    char parentClass[64] = {};
    GetClassNameA(create.hwndParent, parentClass, sizeof(parentClass));
    return lstrcmpA(parentClass, "ToolbarWindow32") == 0 &&
           reinterpret_cast<UINT_PTR>(create.hMenu) == id;
}

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
    // The user's list: these paths, without names of the user's.
    static void StoreItems(const std::vector<std::string>& paths) {
        MenuItemList list;
        for (const std::string& path : paths) {
            list.push_back({ParsePathToItemIdList(path.c_str()), ""});
            ASSERT_TRUE(list.back().itemIdList) << path;
        }
        ASSERT_TRUE(SaveMenuItemList(list));
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
    const CScratchFolder folder("band");
    StoreItems({folder.CreateTextFile("note.txt")});
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

    // A second site, or one after CloseDW, replaces the window; the old one does not stay
    // behind, and the new one has its item menu as the first had.
    CComPtr<IObjectWithSite> withSite = Band<IObjectWithSite>();
    CComPtr<IUnknown> site;
    ASSERT_EQ(withSite->GetSite(IID_IUnknown, reinterpret_cast<void**>(site.GetAddressOf())), S_OK);
    HWND previous = toolbar;
    for (bool closeFirst : {false, true}) {
        SCOPED_TRACE(closeFirst ? "closed, then a new site" : "a second site");
        if (closeFirst) {
            ASSERT_EQ(Band<IDockingWindow>()->CloseDW(0), S_OK);
        }
        ASSERT_EQ(withSite->SetSite(site.Get()), S_OK);
        HWND window = nullptr;
        ASSERT_EQ(Band<IOleWindow>()->GetWindow(&window), S_OK);
        EXPECT_TRUE(IsWindow(window));
        EXPECT_NE(window, previous);
        EXPECT_FALSE(IsWindow(previous));
        InsideMenuLoop menu;
        menu.action = [] { EndMenu(); };
        EXPECT_TRUE(menu.During([&] { RightClickFirstButton(window); })) << "no item menu";
        previous = window;
    }
    m_site.RemoveBand();
    EXPECT_FALSE(IsWindow(previous));
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

TEST_F(BandObjectTest, AWindowThatCannotBeMadeWholeFailsTheSite) {
    const CScratchFolder folder("band");
    StoreItems({folder.CreateTextFile("note.txt")});
    struct Case {
        const char* what;
        bool (*refuse)(const CREATESTRUCTA&);
    };
    const Case cases[] = {
        {"item menu", [](const CREATESTRUCTA& c) { return IsToolbarChild(c, 100); }},
        {"folder menu", [](const CREATESTRUCTA& c) { return IsToolbarChild(c, 101); }},
        {"the item menu's tip",
         [](const CREATESTRUCTA& c) {
             return !IS_INTRESOURCE(c.lpszClass) && lstrcmpA(c.lpszClass, "CorvinaTipWindow") == 0;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_refuse = c.refuse;
        HHOOK hook = SetWindowsHookExA(WH_CBT, &RefuseCreation, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook, nullptr);
        EXPECT_EQ(m_site.AddBand(), E_FAIL);
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(m_site.GetBand(), nullptr);
        if (m_site.GetBand()) {
            m_site.RemoveBand();
        }
        EXPECT_EQ(FindWindowExA(m_site.GetRebar(), nullptr, "ToolbarWindow32", nullptr), nullptr);
    }
    // Nothing of the refused windows stays behind to refuse the next creation.
    ASSERT_EQ(m_site.AddBand(), S_OK);
    EXPECT_NE(FindWindowExA(m_site.GetBandWindow(), nullptr, nullptr, "WORK001"), nullptr);
    m_site.RemoveBand();
}

TEST_F(BandObjectTest, ClosingOrReloadingInsideAMenuLoopEndsTheMenuFirst) {
    const CScratchFolder folder("band");
    const std::string docs = folder.CreateFolder("docs");
    folder.CreateTextFile("docs\\inside.txt");
    StoreItems({docs, folder.CreateTextFile("note.txt")});
    const UINT reload = RegisterWindowMessageA("Velmora-Changed-Button");
    // One band first: the shell's own caches fill once per process.
    ASSERT_EQ(m_site.AddBand(), S_OK);
    m_site.RemoveBand();
    ASSERT_EQ(ServerCanUnload(), S_OK) << "objects of the server alive before the test";

    struct Case {
        const char* what;
        bool dropDown;
        bool reloadArrives;
        bool siteCloses;
    };
    const Case cases[] = {
        {"item menu, the site closes the band", false, false, true},
        {"drop-down, the site closes the band", true, false, true},
        {"item menu, the reload message", false, true, false},
        {"drop-down, the reload message", true, true, false},
        {"drop-down, the reload message, then the site closes", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTaskAllocatorSpy spy;
        ASSERT_TRUE(spy.Registered());
        ASSERT_EQ(m_site.AddBand(), S_OK);
        const HWND toolbar = m_site.GetBandWindow();
        ASSERT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 2);
        bool aliveInLoop = false;
        InsideMenuLoop menu;
        menu.action = [&] {
            if (c.reloadArrives) {
                PostMessageA(toolbar, reload, 0, 0);
                PumpMessages();
            }
            if (c.siteCloses) {
                m_site.RemoveBand(true);
                // The last reference is gone, but the band's menu loop has not returned yet.
                aliveInLoop = ServerCanUnload() == S_FALSE;
            }
        };
        EXPECT_TRUE(menu.During([&] {
            if (c.dropDown) {
                ClickFirstArrow(toolbar);
            } else {
                RightClickFirstButton(toolbar);
            }
        }));
        EXPECT_TRUE(menu.ran);
        EXPECT_FALSE(menu.endedByTest) << "the band left its menu open";
        PumpMessages();
        if (c.siteCloses) {
            EXPECT_TRUE(aliveInLoop) << "the band went while its menu loop still ran";
            EXPECT_EQ(ServerCanUnload(), S_OK) << "the band outlived its menu loop";
            EXPECT_FALSE(IsWindow(toolbar));
        } else {
            EXPECT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 2);
            m_site.RemoveBand();
        }
        EXPECT_EQ(spy.LiveCount(), 0u) << "item ID lists left over";
    }
}

} // namespace
