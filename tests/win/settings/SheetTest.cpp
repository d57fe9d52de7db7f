// The settings sheet, its about box and the message-box routine, run inside the test on a
// thread of their own while the test drives them through their windows.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "settings/CAboutDlg.h"
#include "settings/CBarPage.h"
#include "settings/CBasicPage.h"
#include "settings/CMainSheet.h"
#include "settings/CPlusPage.h"
#include "settings/SettingsApp.h"
#include "settings/SettingsMessage.h"
#include "settings/resource.h"

using namespace settings_test;

// The application object the sheet and the message boxes find, as in the program.
SettingsApp g_app;

namespace {

constexpr int kApplyId = 0x3021;

// A real page that notes every apply in a shared log and answers as told.
template <class Page> class Recording : public Page {
public:
    Recording(int index, std::vector<int>* log) : m_index(index), m_log(log) {}
    // Records the call in place of the page's own apply: what the pages store is tested with
    // each page; here only the sheet's way of calling them counts.
    bool OnApply() override {
        m_log->push_back(m_index);
        return m_succeed;
    }
    void FailApply() { m_succeed = false; }

private:
    int m_index;
    std::vector<int>* m_log;
    bool m_succeed = true;
};

// The sheet with the three pages, run modally on its own thread.
class SheetRun {
public:
    SheetRun() : basic(0, &log), plus(1, &log), bar(2, &log) {}
    ~SheetRun() {
        if (m_thread.joinable()) {
            if (m_sheet && IsWindow(m_sheet)) {
                PostMessageW(m_sheet, WM_COMMAND, IDCANCEL, 0);
            }
            m_thread.join();
        }
    }

    HWND Start() {
        m_thread = std::thread([this] {
            const std::string caption = CMainSheet::BuildCaption();
            CMainSheet sheet(caption.c_str());
            sheet.AddPage(&basic);
            sheet.AddPage(&plus);
            sheet.AddPage(&bar);
            m_result = sheet.DoModal(nullptr);
        });
        WaitFor([this] {
            const std::vector<HWND> sheets = FindDialogs(ExpectedSheetTitle());
            m_sheet = sheets.empty() ? nullptr : sheets.front();
            return m_sheet && IsWindowVisible(m_sheet);
        });
        return m_sheet;
    }

    // Waits for the sheet to close; the value DoModal returned.
    INT_PTR Finish() {
        WaitFor([this] { return !IsWindow(m_sheet); });
        if (m_thread.joinable()) {
            m_thread.join();
        }
        return m_result;
    }

    HWND Sheet() const { return m_sheet; }
    HWND Apply() const { return GetDlgItem(m_sheet, kApplyId); }
    HWND Tabs() const {
        return reinterpret_cast<HWND>(SendMessageW(m_sheet, PSM_GETTABCONTROL, 0, 0));
    }

    std::vector<int> log;
    Recording<CBasicPage> basic;
    Recording<CPlusPage> plus;
    Recording<CBarPage> bar;

private:
    std::thread m_thread;
    HWND m_sheet = nullptr;
    INT_PTR m_result = -2;
};

void PressApply(const SheetRun& run) {
    SendMessageW(run.Sheet(), WM_COMMAND, MAKEWPARAM(kApplyId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(run.Apply()));
}

TEST(SettingsSheet, OpensOnTheEditorWithEveryPageMadeAndApplyEnabled) {
    SheetRun run;
    ASSERT_NE(run.Start(), nullptr);
    EXPECT_EQ(FindDialogs(ExpectedSheetTitle()).size(), 1u);

    HWND tabs = run.Tabs();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(TabCtrl_GetItemCount(tabs), 3);
    EXPECT_EQ(TabCtrl_GetCurSel(tabs), 0);
    const wchar_t* captions[] = {L"基本設定", L"Plus!", L"Bar"};
    HIMAGELIST images = TabCtrl_GetImageList(tabs);
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        wchar_t text[64] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)));
        EXPECT_STREQ(text, captions[i]);
        EXPECT_EQ(item.iImage, i);
        // Every page window exists before the user sees the sheet.
        EXPECT_NE(SendMessageW(run.Sheet(), PSM_INDEXTOHWND, i, 0), 0);
    }
    HWND current = reinterpret_cast<HWND>(SendMessageW(run.Sheet(), PSM_GETCURRENTPAGEHWND, 0, 0));
    EXPECT_EQ(current, run.basic.GetHwnd());
    EXPECT_NE(GetDlgItem(current, IDC_MENU_TREE), nullptr);

    ASSERT_NE(run.Apply(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(run.Apply()));
    EXPECT_TRUE(run.log.empty());
}

HWND PageWindow(const SheetRun& run, int index) {
    return reinterpret_cast<HWND>(SendMessageW(run.Sheet(), PSM_INDEXTOHWND, index, 0));
}

// The group box of page titled text, or nullptr.
HWND GroupBox(HWND page, const wchar_t* text) {
    for (HWND child : ChildrenOfClass(page, L"Button")) {
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if ((style & BS_TYPEMASK) == BS_GROUPBOX && WindowTextW(child) == text) {
            return child;
        }
    }
    return nullptr;
}

TEST(SettingsSheet, PagesKeepTheirJapaneseTextsInEitherLanguage) {
    SheetRun run;
    ASSERT_NE(run.Start(), nullptr);
    struct Case {
        int page;
        int id; // 0: the group box of that text
        const wchar_t* text;
    };
    const Case cases[] = {
        {0, IDC_EXTENSION_ENABLED, L"デスクトップメニューに「Corvina」を追加する。(&Q)"},
        {0, 0, L"メニューの編集"},
        {1, IDC_TIER_FLAG, L"メニューに登録されたフォルダは階層表示する(&T)"},
        {1, IDC_START_NOW, L"今すぐ起動(&E)"},
        {1, 0, L"自動起動の設定"},
        {2, IDC_SHOW_TEXT, L"ボタンにテキストを表示する。(&T)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "page " << c.page << ", control " << c.id);
        HWND page = PageWindow(run, c.page);
        ASSERT_NE(page, nullptr);
        if (c.id) {
            EXPECT_EQ(WindowTextW(GetDlgItem(page, c.id)), c.text);
        } else {
            EXPECT_NE(GroupBox(page, c.text), nullptr);
        }
    }
}

TEST(SettingsSheet, EditorTreeIsFoundAboveItsFrame) {
    SheetRun run;
    ASSERT_NE(run.Start(), nullptr);
    HWND page = PageWindow(run, 0);
    HWND tree = GetDlgItem(page, IDC_MENU_TREE);
    ASSERT_NE(tree, nullptr);
    // Asked from this thread, not the sheet's: the hit test a drag from elsewhere makes.
    RECT client = {};
    GetClientRect(tree, &client);
    POINT middle = {client.right / 2, client.bottom / 2};
    ClientToScreen(tree, &middle);
    EXPECT_EQ(WindowFromPoint(middle), tree);
    // The label's mnemonic leads to the control after it.
    HWND label = GetWindow(tree, GW_HWNDPREV);
    EXPECT_EQ(WindowTextW(label), L"『Corvina』で表示するメニュー項目の一覧(&M)：");
}

TEST(SettingsSheet, EditorToolbarTipsComeFromThePage) {
    SheetRun run;
    ASSERT_NE(run.Start(), nullptr);
    HWND toolbar = GetDlgItem(PageWindow(run, 0), IDC_MENU_TOOLBAR);
    HWND tips = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    struct Case {
        int command;
        const wchar_t* japanese;
        const wchar_t* english;
    };
    const Case cases[] = {
        {IDM_ADD_FILES, L"メニューにファイルを追加します。", L"Add Files."},
        {IDM_DOWN, L"選択された項目を↓に移動します。", L"Down Menu item."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        // The tooltip asks the toolbar, which asks the page, in the forms they agreed on.
        wchar_t text[128] = {};
        TOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V1_SIZE;
        tool.hwnd = toolbar;
        tool.uId = static_cast<UINT_PTR>(c.command);
        tool.lpszText = text;
        SendMessageW(tips, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(text, IsJapaneseRun() ? c.japanese : c.english);
    }
}

TEST(SettingsSheet, EveryPageFitsInsideTheTabs) {
    SheetRun run;
    ASSERT_NE(run.Start(), nullptr);
    RECT area = {};
    GetClientRect(run.Tabs(), &area);
    SendMessageW(run.Tabs(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(run.Tabs(), nullptr, reinterpret_cast<POINT*>(&area), 2);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(testing::Message() << "page " << i);
        HWND page = PageWindow(run, i);
        ASSERT_NE(page, nullptr);
        RECT pageRect = {};
        GetWindowRect(page, &pageRect);
        // The controls' extent, which is what is cut off when the page is too small.
        RECT used = pageRect;
        used.right = used.left;
        used.bottom = used.top;
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT rect = {};
            GetWindowRect(child, &rect);
            used.right = std::max(used.right, rect.right);
            used.bottom = std::max(used.bottom, rect.bottom);
        }
        EXPECT_GE(pageRect.left, area.left);
        EXPECT_GE(pageRect.top, area.top);
        EXPECT_LE(used.right, std::min(pageRect.right, area.right));
        EXPECT_LE(used.bottom, std::min(pageRect.bottom, area.bottom));
    }
}

TEST(SettingsSheet, CarriesTheProgramIconAndTheAboutEntry) {
    SheetRun run;
    ASSERT_NE(run.Start(), nullptr);
    const LRESULT big = SendMessageW(run.Sheet(), WM_GETICON, ICON_BIG, 0);
    EXPECT_NE(big, 0);
    EXPECT_EQ(SendMessageW(run.Sheet(), WM_GETICON, ICON_SMALL, 0), big);
    // The icon dragged while the sheet is minimised is the same program icon.
    EXPECT_EQ(SendMessageW(run.Sheet(), WM_QUERYDRAGICON, 0, 0), big);

    HMENU menu = GetSystemMenu(run.Sheet(), FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    char text[128] = {};
    GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(std::string(text), ToAnsi(L"バージョン情報(&A)..."));
    MENUITEMINFOA separator = {};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(menu, count - 2, TRUE, &separator));
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
}

TEST(SettingsSheet, ApplyAppliesEveryPageInOrderAndGreysTheButton) {
    SheetRun run;
    ASSERT_NE(run.Start(), nullptr);
    // A page that reports failure neither stops the others nor keeps Apply enabled.
    run.basic.FailApply();
    ASSERT_TRUE(IsWindowEnabled(run.Apply()));
    PressApply(run);
    EXPECT_EQ(run.log, (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(IsWindowEnabled(run.Apply()));
    EXPECT_TRUE(IsWindow(run.Sheet()));

    // Unchanged pages are applied all the same, by the button and by its shortcut.
    SendMessageW(run.Sheet(), WM_COMMAND, MAKEWPARAM(kApplyId, 1), 0);
    EXPECT_EQ(run.log, (std::vector<int>{0, 1, 2, 0, 1, 2}));

    // A page marked changed again enables Apply; the next Apply greys it once more.
    run.bar.SetModified(true);
    EXPECT_TRUE(IsWindowEnabled(run.Apply()));
    PressApply(run);
    EXPECT_EQ(run.log.size(), 9u);
    EXPECT_FALSE(IsWindowEnabled(run.Apply()));
}

TEST(SettingsSheet, OkAppliesEveryPageAndClosesUnlessOneFails) {
    {
        SheetRun run;
        ASSERT_NE(run.Start(), nullptr);
        PostMessageW(run.Sheet(), WM_COMMAND, IDOK, 0);
        EXPECT_GT(run.Finish(), 0);
        EXPECT_EQ(run.log, (std::vector<int>{0, 1, 2}));
    }
    {
        SheetRun run;
        ASSERT_NE(run.Start(), nullptr);
        run.plus.FailApply();
        SendMessageW(run.Sheet(), WM_COMMAND, IDOK, 0);
        // The failing page keeps the sheet open and is shown.
        EXPECT_TRUE(WaitFor([&] { return TabCtrl_GetCurSel(run.Tabs()) == 1; }, 5000));
        EXPECT_TRUE(IsWindow(run.Sheet()));
        PostMessageW(run.Sheet(), WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(run.Finish(), 0);
    }
}

TEST(SettingsSheet, CancelFromOutsideAndTheCloseBoxSaveNothing) {
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
    };
    const Case cases[] = {
        {"command 2, as the installer sends it", WM_COMMAND, IDCANCEL},
        {"close box", WM_SYSCOMMAND, SC_CLOSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SheetRun run;
        ASSERT_NE(run.Start(), nullptr);
        SendMessageW(run.Sheet(), c.message, c.wParam, 0);
        EXPECT_EQ(run.Finish(), 0);
        EXPECT_TRUE(run.log.empty());
    }
}

// found[0] receives the tooltip window owned by found[1].
BOOL CALLBACK FindOwnedTooltip(HWND window, LPARAM lParam) {
    HWND* found = reinterpret_cast<HWND*>(lParam);
    if (ClassNameW(window) == TOOLTIPS_CLASSW && GetWindow(window, GW_OWNER) == found[1]) {
        found[0] = window;
    }
    return TRUE;
}

TEST(SettingsSheet, SystemMenuOpensTheAboutBox) {
    SheetRun run;
    ASSERT_NE(run.Start(), nullptr);
    PostMessageW(run.Sheet(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        about = FindOwnedDialog(run.Sheet(), nullptr);
        return about && IsWindowVisible(about);
    }));
    // Also on an English system, where the template's text has no place in the code page.
    EXPECT_EQ(WindowTextW(about), L"バージョン情報");
    EXPECT_FALSE(IsWindowEnabled(run.Sheet())); // modal
    EXPECT_EQ(WindowTextW(GetDlgItem(about, IDC_MAIL_LINK)), L"corvina@example.com");
    EXPECT_EQ(WindowTextW(GetDlgItem(about, IDC_WEB_LINK)), L"http://www.example.com/corvina/");
    EXPECT_NE(GetDlgItem(about, IDC_ABOUT_ICON), nullptr);
    bool version = false;
    for (HWND child : ChildrenOfClass(about, L"Static")) {
        version = version || WindowTextW(child) == L"version 2.03";
    }
    EXPECT_TRUE(version);

    // The link targets show as tooltips of the two links.
    HWND search[2] = {nullptr, about};
    EnumThreadWindows(GetWindowThreadProcessId(about, nullptr), FindOwnedTooltip,
                      reinterpret_cast<LPARAM>(search));
    HWND tips = search[0];
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 2);
    struct Tip {
        int id;
        const char* target;
    };
    for (const Tip& tip :
         {Tip{IDC_MAIL_LINK, CAboutDlg::kMailTarget}, Tip{IDC_WEB_LINK, CAboutDlg::kWebTarget}}) {
        char text[128] = {};
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.hwnd = about;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(about, tip.id));
        tool.lpszText = text;
        SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(text, tip.target);
    }
    EXPECT_STREQ(CAboutDlg::kMailTarget, "mailto:corvina@example.com");

    SendMessageW(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }, 10000));
    EXPECT_TRUE(IsWindowEnabled(run.Sheet()));
    EXPECT_TRUE(IsWindow(run.Sheet()));
}

TEST(AboutIconFrame, PaintsGroundPanelShadowAndIcon) {
    const COLORREF grey = RGB(128, 128, 128);
    const COLORREF dark = RGB(64, 64, 64);
    const COLORREF black = RGB(0, 0, 0);
    const COLORREF white = RGB(255, 255, 255);
    {
        // Offset inside the canvas: only the control's rectangle is painted.
        CCanvas canvas(80, 90);
        canvas.Fill(RGB(0, 255, 0)); // a colour the frame never uses: unpainted pixels show
        const RECT rect = {10, 10, 70, 82};
        CAboutDlg::PaintIconFrame(canvas.Dc(), rect, nullptr);
        struct Pixel {
            int x, y;
            COLORREF colour;
        };
        const Pixel pixels[] = {
            {5, 5, RGB(0, 255, 0)}, {75, 85, RGB(0, 255, 0)}, // outside
            {10, 10, black},        {65, 10, black},          // panel edge, to 4 px short
            {10, 77, black},        {30, 77, black},
            {68, 11, grey},         {11, 80, grey},  // ground beside the shadow
            {68, 40, dark},         {30, 80, dark},  // shadow right and bottom
            {69, 81, dark},         {40, 40, white}, // corner; panel without icon
        };
        for (const Pixel& p : pixels) {
            SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
            EXPECT_EQ(canvas.Pixel(p.x, p.y), p.colour);
        }
    }
    {
        CCanvas canvas(60, 72);
        canvas.Fill(RGB(0, 255, 0)); // a colour the frame never uses: unpainted pixels show
        HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
        ASSERT_NE(icon, nullptr);
        CAboutDlg::PaintIconFrame(canvas.Dc(), RECT{0, 0, 60, 72}, icon);
        int painted = 0;
        for (int y = 2; y < 66; ++y) {
            for (int x = 2; x < 54; ++x) {
                painted += canvas.Pixel(x, y) != white ? 1 : 0;
            }
        }
        EXPECT_GT(painted, 100); // the icon is stretched over the panel
        EXPECT_EQ(canvas.Pixel(1, 1), white);
        EXPECT_EQ(canvas.Pixel(58, 40), dark);
    }
}

// A message box shown by the routine on its own thread, owned by a window of that thread.
class BoxRun {
public:
    explicit BoxRun(UINT type) {
        m_thread = std::thread([this, type] {
            HWND owner = CreateWindowExA(0, "STATIC", "settings test owner", WS_OVERLAPPEDWINDOW,
                                         50, 50, 200, 100, nullptr, nullptr, nullptr, nullptr);
            ShowWindow(owner, SW_SHOW);
            g_app.SetMainWindow(owner);
            m_owner = owner;
            m_result = SettingsMessageBox("settings test text", type);
            m_ownerEnabledAfter = IsWindowEnabled(m_owner) != FALSE;
            g_app.SetMainWindow(nullptr);
            DestroyWindow(m_owner);
        });
        WaitFor([this] {
            HWND owner = m_owner;
            m_box = owner ? FindOwnedDialog(owner, ExpectedMessageCaption()) : nullptr;
            return m_box && IsWindowVisible(m_box);
        });
    }
    ~BoxRun() {
        if (m_thread.joinable()) {
            if (m_box && IsWindow(m_box)) {
                PostMessageW(m_box, WM_CLOSE, 0, 0);
            }
            m_thread.join();
        }
    }
    HWND Box() const { return m_box; }
    int Press(int button) {
        PostMessageW(m_box, WM_COMMAND, button, 0);
        m_thread.join();
        return m_result;
    }
    bool OwnerEnabledAfter() const { return m_ownerEnabledAfter; }

private:
    std::thread m_thread;
    std::atomic<HWND> m_owner{nullptr};
    HWND m_box = nullptr;
    int m_result = -1;
    bool m_ownerEnabledAfter = false;
};

TEST(SettingsMessage, IconRuleCaptionOwnerAndResult) {
    HICON exclamation = LoadIconA(nullptr, IDI_EXCLAMATION);
    HICON question = LoadIconA(nullptr, IDI_QUESTION);
    HICON information = LoadIconA(nullptr, IDI_ASTERISK);
    ASSERT_NE(exclamation, nullptr);
    struct Case {
        UINT type;
        HICON icon;
        int button;
    };
    const Case cases[] = {
        {MB_OK, exclamation, IDOK}, // an information box
        {MB_OKCANCEL, exclamation, IDCANCEL},
        {MB_YESNOCANCEL, exclamation, IDNO},
        {MB_YESNO, exclamation, IDYES},
        {MB_ABORTRETRYIGNORE, nullptr, IDRETRY},
        {MB_RETRYCANCEL, nullptr, IDRETRY},
        {MB_ICONQUESTION | MB_YESNO, question, IDNO}, // a confirmation keeps its icon
        {MB_ICONINFORMATION, information, IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type 0x" << std::hex << c.type);
        BoxRun run(c.type);
        ASSERT_NE(run.Box(), nullptr) << "no box titled with the program's caption";
        EXPECT_EQ(MessageBoxIcon(run.Box()), c.icon);
        EXPECT_EQ(run.Press(c.button), c.button);
        EXPECT_TRUE(run.OwnerEnabledAfter());
    }
}

TEST(SettingsMessage, CaptionFollowsTheSystemLanguage) {
    EXPECT_EQ(g_app.GetMessageCaption(), ToAnsi(ExpectedMessageCaption()));
    EXPECT_EQ(BuildMessageCaption(), ToAnsi(ExpectedMessageCaption()));
    EXPECT_EQ(CMainSheet::BuildCaption(), ToAnsi(ExpectedSheetTitle()));
}

} // namespace
