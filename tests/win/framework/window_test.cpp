// Windows, dialogs and property sheets: messages reach the objects, data exchange works in
// both directions, and the sheet's pages see their notifications in order.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "framework/CApp.h"
#include "framework/CDataExchange.h"
#include "framework/CDialog.h"
#include "framework/CPropertyPage.h"
#include "framework/CPropertySheet.h"
#include "framework/CWnd.h"

#include "framework_test_resources.h"

#include <new>
#include <string>
#include <vector>

namespace {

const UINT WM_TEST_PING = WM_APP + 1;

class CRecordingWnd : public CWnd {
public:
    std::vector<UINT> messages;
    WPARAM lastWParam = 0;
    LPARAM lastLParam = 0;
    HWND finalWindow = nullptr;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        if (message == WM_TEST_PING) {
            lastWParam = wParam;
            lastLParam = lParam;
            return 0x1234;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    bool Saw(UINT message) const {
        for (UINT m : messages) {
            if (m == message) {
                return true;
            }
        }
        return false;
    }

protected:
    void OnFinalMessage(HWND window) override { finalWindow = window; }
};

TEST(Window, MessagesReachTheObjectUntilDestruction) {
    CRecordingWnd wnd;
    ASSERT_TRUE(wnd.Create("test", WS_OVERLAPPEDWINDOW));
    HWND window = wnd.GetHwnd();
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(wnd.Create("again", WS_OVERLAPPEDWINDOW)) << "one window per object";
    EXPECT_TRUE(wnd.Saw(WM_NCCREATE));
    EXPECT_TRUE(wnd.Saw(WM_CREATE));
    EXPECT_EQ(&wnd, CWnd::FromHandle(window));

    const LPARAM bigParam = static_cast<LPARAM>(0x7123456789ABCDEFll & static_cast<LPARAM>(~0ull));
    EXPECT_EQ(0x1234, SendMessageA(window, WM_TEST_PING, 42, bigParam));
    EXPECT_EQ(42u, wnd.lastWParam);
    EXPECT_EQ(bigParam, wnd.lastLParam);

    ASSERT_TRUE(wnd.DestroyWindow());
    EXPECT_TRUE(wnd.Saw(WM_DESTROY));
    EXPECT_EQ(WM_NCDESTROY, wnd.messages.back());
    EXPECT_EQ(window, wnd.finalWindow);
    EXPECT_EQ(nullptr, wnd.GetHwnd()) << "the link is cleared";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, CWnd::FromHandle(window));
}

TEST(Window, ObjectAboveFourGigabytesKeepsItsLink) {
    // A pointer squeezed through 32 bits would lose its upper half: put the object high.
    void* memory = VirtualAlloc(nullptr, sizeof(CRecordingWnd),
                                MEM_COMMIT | MEM_RESERVE | MEM_TOP_DOWN, PAGE_READWRITE);
    ASSERT_NE(nullptr, memory);
    if (sizeof(void*) == 8) {
        EXPECT_GT(reinterpret_cast<ULONG_PTR>(memory), 0xFFFFFFFFull);
    }
    auto* wnd = new (memory) CRecordingWnd;
    ASSERT_TRUE(wnd->Create("high", WS_POPUP));
    EXPECT_EQ(0x1234, SendMessageA(wnd->GetHwnd(), WM_TEST_PING, 1, 2));
    EXPECT_EQ(wnd, CWnd::FromHandle(wnd->GetHwnd()));
    HWND window = wnd->GetHwnd();
    wnd->~CRecordingWnd();
    EXPECT_FALSE(IsWindow(window)) << "the destructor destroys a live window";
    VirtualFree(memory, 0, MEM_RELEASE);
}

TEST(Window, FromHandleIgnoresForeignWindows) {
    HWND button = CreateWindowExA(0, "BUTTON", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, button);
    SetWindowLongPtrA(button, GWLP_USERDATA, 0x1000);
    EXPECT_EQ(nullptr, CWnd::FromHandle(button));
    DestroyWindow(button);
}

class CExchangeDialog : public CDialog {
public:
    CExchangeDialog() : CDialog(IDD_EXCHANGE) {}

    std::string name;
    bool enabled = false;
    WORD key = 0;
    WORD modifiers = 0;
    int count = 0;
    // Text typed into the controls after initialisation, as a user would.
    std::string typedName;
    std::string typedCount;
    bool initSawValues = false;

protected:
    void DoDataExchange(CDataExchange& dx) override {
        DDX_Text(dx, IDC_NAME, name);
        DDX_Check(dx, IDC_ENABLED, enabled);
        DDX_HotKey(dx, IDC_HOTKEY, key, modifiers);
        DDX_Text(dx, IDC_COUNT, count);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        char text[64] = {};
        GetDlgItemTextA(GetHwnd(), IDC_NAME, text, sizeof(text));
        const LRESULT hotKey = SendDlgItemMessageA(GetHwnd(), IDC_HOTKEY, HKM_GETHOTKEY, 0, 0);
        initSawValues = name == text &&
                        IsDlgButtonChecked(GetHwnd(), IDC_ENABLED) == (enabled ? 1u : 0u) &&
                        LOBYTE(hotKey) == key && HIBYTE(hotKey) == modifiers;
        SetDlgItemTextA(GetHwnd(), IDC_NAME, typedName.c_str());
        CheckDlgButton(GetHwnd(), IDC_ENABLED, enabled ? BST_UNCHECKED : BST_CHECKED);
        SendDlgItemMessageA(GetHwnd(), IDC_HOTKEY, HKM_SETHOTKEY,
                            MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
        SetDlgItemTextA(GetHwnd(), IDC_COUNT, typedCount.c_str());
        PostMessageA(GetHwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return TRUE;
    }
    void OnCancel() override { CDialog::OnCancel(); }
    void OnOK() override {
        ++okPresses;
        if (UpdateData(true)) {
            EndDialogWith(IDOK);
        } else {
            // Invalid input keeps the dialog; the test then cancels it.
            failedControl = GetDlgCtrlID(GetFocus());
            PostMessageA(GetHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    }

public:
    int okPresses = 0;
    int failedControl = 0;
};

TEST(Dialog, DataExchangeBothWays) {
    CExchangeDialog dialog;
    dialog.name = "before";
    dialog.enabled = false;
    dialog.key = 'A';
    dialog.modifiers = HOTKEYF_SHIFT;
    dialog.typedName = "after edit";
    dialog.typedCount = " -17 ";
    EXPECT_EQ(IDOK, dialog.DoModal(nullptr));
    EXPECT_TRUE(dialog.initSawValues) << "members reached the controls";
    EXPECT_EQ("after edit", dialog.name);
    EXPECT_TRUE(dialog.enabled);
    EXPECT_EQ('Q', dialog.key);
    EXPECT_EQ(HOTKEYF_CONTROL | HOTKEYF_ALT, dialog.modifiers);
    EXPECT_EQ(-17, dialog.count);
    EXPECT_EQ(nullptr, dialog.GetHwnd());
}

TEST(Dialog, InvalidNumberKeepsTheDialogOpen) {
    const char* const badNumbers[] = {"", "12x", "99999999999", "- 3"};
    for (const char* text : badNumbers) {
        CExchangeDialog dialog;
        dialog.typedName = "kept";
        dialog.typedCount = text;
        dialog.count = 5;
        EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr)) << text;
        EXPECT_EQ(1, dialog.okPresses) << text;
        EXPECT_EQ(IDC_COUNT, dialog.failedControl) << text;
        EXPECT_EQ(5, dialog.count) << "a failed exchange leaves the member: " << text;
    }
}

// A dialog from an in-memory template: no controls, closed by a posted command.
class CMemoryDialog : public CDialog {
public:
    bool initialised = false;

protected:
    BOOL OnInitDialog() override {
        initialised = true;
        PostMessageA(GetHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return TRUE;
    }
};

TEST(Dialog, FromInMemoryTemplate) {
    struct {
        DLGTEMPLATE dialog;
        WORD menu, windowClass, title;
    } templ = {};
    templ.dialog.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    templ.dialog.cx = 100;
    templ.dialog.cy = 50;
    CMemoryDialog dialog;
    EXPECT_EQ(IDCANCEL, dialog.DoModalIndirect(&templ.dialog, nullptr));
    EXPECT_TRUE(dialog.initialised);
}

// An in-memory template of a dialog with a static and a tree view, as the dialog manager
// reads it: DWORD-aligned items, classes and texts in UTF-16.
class CTemplateBuilder {
public:
    explicit CTemplateBuilder(DWORD style) {
        m_words.resize(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0); // no menu, class, title
        auto* header = reinterpret_cast<DLGTEMPLATE*>(m_words.data());
        header->style = style;
        header->cx = 200;
        header->cy = 100;
    }
    void AddItem(WORD id, DWORD style, const wchar_t* className, const wchar_t* text) {
        while (m_words.size() % 2) {
            m_words.push_back(0);
        }
        const size_t at = m_words.size();
        m_words.resize(at + sizeof(DLGITEMTEMPLATE) / sizeof(WORD), 0);
        auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(&m_words[at]);
        item->style = style | WS_CHILD | WS_VISIBLE;
        item->x = 5;
        item->y = static_cast<short>(5 + 20 * Header()->cdit);
        item->cx = 150;
        item->cy = 15;
        item->id = id;
        Append(className);
        Append(text);
        m_words.push_back(0); // no creation data
        ++Header()->cdit;
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    DLGTEMPLATE* Header() { return reinterpret_cast<DLGTEMPLATE*>(m_words.data()); }
    void Append(const wchar_t* text) {
        for (; *text; ++text) {
            m_words.push_back(static_cast<WORD>(*text));
        }
        m_words.push_back(0);
    }
    std::vector<WORD> m_words; // WORD-aligned from a DWORD-aligned start
};

// Selects the second of two tree items once shown, notes what the tree sent, and closes.
class CTreeDialog : public CDialog {
public:
    static constexpr WORD kTreeId = 10;
    static constexpr WORD kTextId = 11;
    std::vector<UINT> treeCodes;
    LRESULT formatAnswer = 0;
    std::wstring text;

protected:
    BOOL OnInitDialog() override {
        HWND tree = GetItem(kTreeId);
        TVINSERTSTRUCTA insert = {};
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<char*>("one");
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
        insert.item.pszText = const_cast<char*>("two");
        auto second = reinterpret_cast<LPARAM>(
            SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        treeCodes.clear();
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, second);
        formatAnswer =
            SendMessageW(GetHwnd(), WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(tree), NF_QUERY);
        wchar_t buffer[64] = {};
        GetWindowTextW(GetItem(kTextId), buffer, 64);
        text = buffer;
        PostMessageA(GetHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return TRUE;
    }
    bool OnNotify(int id, NMHDR* header, LRESULT* result) override {
        if (id == kTreeId && (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW)) {
            treeCodes.push_back(header->code);
        }
        return CDialog::OnNotify(id, header, result);
    }
};

TEST(Dialog, KeepsTemplateTextsAndGetsAnsiNotifications) {
    ASSERT_TRUE(CApp::InitCommonControls(ICC_TREEVIEW_CLASSES));
    ASSERT_TRUE(CDialog::UsesWideTemplateCalls()) << "Wine reports the NT family";
    CTemplateBuilder templ(WS_POPUP | WS_CAPTION | DS_MODALFRAME);
    // Japanese text cannot pass through the English code page of this run.
    templ.AddItem(CTreeDialog::kTextId, SS_LEFT, L"Static", L"メニューの編集");
    templ.AddItem(CTreeDialog::kTreeId, WS_BORDER | TVS_SHOWSELALWAYS, WC_TREEVIEWW, L"");
    CTreeDialog dialog;
    EXPECT_EQ(IDCANCEL, dialog.DoModalIndirect(templ.Get(), nullptr));
    EXPECT_EQ(dialog.text, L"メニューの編集");
    EXPECT_EQ(dialog.formatAnswer, NFR_ANSI);
    // The tree asked while the template was being made, before the object was linked.
    EXPECT_EQ(dialog.treeCodes, (std::vector<UINT>{TVN_SELCHANGEDA}));
}

// Pages and sheet log what happens to them in one list, so that order is visible.
std::vector<std::string> g_log;

class CLogPage : public CPropertyPage {
public:
    CLogPage(UINT id, const char* name) : CPropertyPage(id), m_name(name) {}
    bool applyResult = true;

    bool OnApply() override {
        g_log.push_back(m_name + ".apply");
        return applyResult;
    }
    bool OnSetActive() override {
        g_log.push_back(m_name + ".setactive");
        return true;
    }
    void OnReset() override { g_log.push_back(m_name + ".reset"); }

private:
    std::string m_name;
};

// Drives itself from a timer: each tick performs the next scripted step, and the test
// checks the log afterwards. The sheet's own WindowProc sees the commands first.
class CScriptedSheet : public CPropertySheet {
public:
    using Step = void (*)(CScriptedSheet&);
    CScriptedSheet(std::vector<Step> steps) : CPropertySheet("Scripted"), m_steps(steps) {}

    bool initSawWindow = false;
    int applyCommands = 0;
    int activeAtStart = -1;
    size_t pageWindowsAfterInit = 0;

protected:
    void OnInitSheet() override {
        initSawWindow = IsWindow(GetHwnd()) != FALSE;
        // Visit every page from the last to the first so all page windows exist.
        for (size_t i = GetPageCount(); i-- > 0;) {
            SetActivePage(i);
        }
        for (size_t i = 0; i < GetPageCount(); ++i) {
            pageWindowsAfterInit += GetPage(i)->GetHwnd() ? 1 : 0;
        }
        activeAtStart = GetActiveIndex();
        g_log.push_back("sheet.init");
        SetTimer(GetHwnd(), 1, 10, nullptr);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND && LOWORD(wParam) == 0x3021) {
            ++applyCommands;
        }
        if (message == WM_TIMER && wParam == 1) {
            if (m_next < m_steps.size()) {
                m_steps[m_next++](*this);
            }
            return 0;
        }
        return CPropertySheet::WindowProc(message, wParam, lParam);
    }

private:
    std::vector<Step> m_steps;
    size_t m_next = 0;
};

TEST(Sheet, ApplyReachesEveryPageInOrder) {
    g_log.clear();
    CLogPage one(IDD_PAGE_ONE, "one");
    CLogPage two(IDD_PAGE_TWO, "two");
    one.SetTabIcon(LoadIcon(nullptr, IDI_APPLICATION));
    two.SetTabIcon(LoadIcon(nullptr, IDI_APPLICATION));
    CScriptedSheet sheet({
        [](CScriptedSheet& s) {
            g_log.push_back("mark");
            s.GetPage(1)->SetModified(true);
            PostMessageA(s.GetHwnd(), WM_COMMAND, MAKEWPARAM(0x3021, BN_CLICKED), 0);
        },
        [](CScriptedSheet& s) {
            g_log.push_back("cancel");
            PostMessageA(s.GetHwnd(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        },
    });
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    EXPECT_GE(sheet.DoModal(nullptr), 0);

    EXPECT_TRUE(sheet.initSawWindow);
    EXPECT_EQ(2u, sheet.pageWindowsAfterInit);
    EXPECT_EQ(0, sheet.activeAtStart);
    EXPECT_EQ(1, sheet.applyCommands) << "the subclassed sheet saw the Apply command";
    auto position = [](const char* entry) {
        for (size_t i = 0; i < g_log.size(); ++i) {
            if (g_log[i] == entry) {
                return static_cast<int>(i);
            }
        }
        return -1;
    };
    std::string all;
    for (const std::string& entry : g_log) {
        all += entry + " ";
    }
    SCOPED_TRACE(all);
    const int mark = position("mark");
    const int applyOne = position("one.apply");
    const int applyTwo = position("two.apply");
    const int cancel = position("cancel");
    ASSERT_GE(mark, 0);
    EXPECT_LT(mark, applyOne);
    EXPECT_LT(applyOne, applyTwo) << "pages apply in page order";
    EXPECT_LT(applyTwo, cancel);
    EXPECT_GT(position("one.reset"), cancel) << "Cancel resets the pages";
    EXPECT_EQ(nullptr, sheet.GetHwnd());
    EXPECT_EQ(nullptr, one.GetHwnd());
    EXPECT_EQ(nullptr, two.GetHwnd());
}

TEST(Sheet, FailedApplyKeepsTheSheetOnThatPage) {
    g_log.clear();
    CLogPage one(IDD_PAGE_ONE, "one");
    CLogPage two(IDD_PAGE_TWO, "two");
    two.applyResult = false;
    static int activeAfterOk = -2;
    static bool stillOpen = false;
    CScriptedSheet sheet({
        [](CScriptedSheet& s) { PostMessageA(s.GetHwnd(), PSM_PRESSBUTTON, PSBTN_OK, 0); },
        [](CScriptedSheet& s) {
            stillOpen = IsWindowVisible(s.GetHwnd()) != FALSE;
            activeAfterOk = s.GetActiveIndex();
            PostMessageA(s.GetHwnd(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        },
    });
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    sheet.DoModal(nullptr);
    EXPECT_TRUE(stillOpen) << "OK with a failing page does not close the sheet";
    EXPECT_EQ(1, activeAfterOk) << "the failing page is selected";
}

TEST(Sheet, StartPage) {
    g_log.clear();
    CLogPage one(IDD_PAGE_ONE, "one");
    CLogPage two(IDD_PAGE_TWO, "two");
    static int activeAtFirstTick = -2;
    CScriptedSheet sheet({
        [](CScriptedSheet& s) {
            activeAtFirstTick = s.GetActiveIndex();
            PostMessageA(s.GetHwnd(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        },
    });
    sheet.SetStartPage(1);
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    sheet.DoModal(nullptr);
    ASSERT_FALSE(g_log.empty());
    EXPECT_EQ("two.setactive", g_log.front()) << "the start page is made first";
    EXPECT_EQ(0, activeAtFirstTick) << "OnInitSheet visited the pages down to the first";
}

// The application's loop: modeless dialogs get their keyboard handling, and the loop ends
// when the main window goes.
class CModelessDialog : public CDialog {
public:
    CModelessDialog() : CDialog(IDD_MODELESS) {}
    HWND mainWindow = nullptr;
    bool cancelled = false;

protected:
    void OnCancel() override {
        cancelled = true;
        CDialog::OnCancel();
        ::DestroyWindow(mainWindow);
    }
};

class CTestApp : public CApp {
public:
    int ExitInstance() override { return 77; }
};

TEST(App, LoopTranslatesDialogKeysAndEndsWithTheMainWindow) {
    CTestApp app;
    ASSERT_EQ(&app, CApp::GetApp());
    CRecordingWnd main;
    ASSERT_TRUE(main.Create("main", WS_OVERLAPPEDWINDOW));
    app.SetMainWindow(main.GetHwnd());

    CModelessDialog dialog;
    dialog.mainWindow = main.GetHwnd();
    ASSERT_TRUE(dialog.CreateModeless(main.GetHwnd()));
    ASSERT_TRUE(dialog.IsModal() == false);
    // Esc on the button becomes IDCANCEL only through IsDialogMessage in the loop.
    HWND button = dialog.GetItem(IDCANCEL);
    ASSERT_NE(nullptr, button);
    PostMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(77, app.Run());
    EXPECT_TRUE(dialog.cancelled);
    EXPECT_EQ(nullptr, dialog.GetHwnd());
    EXPECT_EQ(nullptr, app.GetMainWindow());
}

} // namespace
