// The menu list editor page inside the test: the sheet runs on a thread of its own while the
// test sends the page its commands, answers its dialogs and reads the tree and the registry.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "BasicPageTestSupport.h"
#include "common/ItemIdList.h"
#include "framework/ComPtr.h"
#include "settings/CBasicPage.h"
#include "settings/CMainSheet.h"
#include "settings/SettingsApp.h"
#include "settings/resource.h"

using namespace settings_test;
using namespace basicpage_test;

// The application object the sheet and the message boxes find, as in the program.
SettingsApp g_app;

namespace {

constexpr int kApplyId = 0x3021;

// The page with the extension's server looked for where the test says.
// The page with the extension's server looked for where the test says, and a save that can
// be made to fail.
class TestPage : public CBasicPage {
public:
    std::string serverPath;
    bool failSave = false;

protected:
    std::string GetExtensionServerPath() const override { return serverPath; }
    BOOL SaveList(const MenuItemList& list) override {
        return failSave ? FALSE : CBasicPage::SaveList(list);
    }
};

// Stand-ins for the tree's seams: a copy that fails for one list, an insert that fails.
const void* g_uncopyable = nullptr;
CItemIdList CopyExceptUncopyable(LPCITEMIDLIST list) {
    return list == g_uncopyable ? CItemIdList() : CopyItemIdList(list);
}
HTREEITEM RefuseInsert(HWND, TVINSERTSTRUCTA*) {
    return nullptr;
}

class PageRun {
public:
    explicit PageRun(std::string serverPath) { page.serverPath = std::move(serverPath); }
    ~PageRun() {
        if (m_thread.joinable()) {
            CloseOtherDialogs();
            if (m_sheet && IsWindow(m_sheet)) {
                PostMessageW(m_sheet, WM_COMMAND, IDCANCEL, 0);
            }
            m_thread.join();
        }
    }

    bool Start() {
        m_thread = std::thread([this] {
            OleInitialize(nullptr);
            {
                const std::string caption = CMainSheet::BuildCaption();
                CMainSheet sheet(caption.c_str());
                sheet.AddPage(&page);
                sheet.DoModal(nullptr);
            }
            OleUninitialize();
        });
        return WaitFor([this] {
            const std::vector<HWND> sheets = FindDialogs(ExpectedSheetTitle());
            m_sheet = sheets.empty() ? nullptr : sheets.front();
            return m_sheet && IsWindowVisible(m_sheet) && page.GetHwnd();
        });
    }

    HWND Sheet() const { return m_sheet; }
    // A failed test may leave a dialog or box of the page open; the sheet ends only after it.
    void CloseOtherDialogs() {
        WaitFor(
            [this] {
                bool any = false;
                for (HWND dialog : FindDialogs(nullptr)) {
                    DWORD process = 0;
                    GetWindowThreadProcessId(dialog, &process);
                    if (dialog != m_sheet && process == GetCurrentProcessId() &&
                        IsWindowVisible(dialog)) {
                        any = true;
                        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                    }
                }
                return !any;
            },
            10000);
    }
    HWND Tree() { return page.GetTree().GetHwnd(); }
    bool ApplyEnabled() const { return IsWindowEnabled(GetDlgItem(m_sheet, kApplyId)) != FALSE; }
    void Command(int id) { SendMessageW(page.GetHwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    void PostCommand(int id) { PostMessageW(page.GetHwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    bool ButtonEnabled(int id) {
        return SendMessageW(page.GetToolbar(), TB_ISBUTTONENABLED, id, 0) != 0;
    }
    // The tree's texts in order, as its window holds them.
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (HTREEITEM item = TreeView_GetRoot(Tree()); item;
             item = TreeView_GetNextSibling(Tree(), item)) {
            char text[300] = {};
            TVITEMA data = {};
            data.mask = TVIF_TEXT;
            data.hItem = item;
            data.pszText = text;
            data.cchTextMax = sizeof text;
            SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
            names.push_back(text);
        }
        return names;
    }
    int Selected() {
        HTREEITEM item = TreeView_GetSelection(Tree());
        return item ? page.GetTree().GetItemPosition(item) : -1;
    }
    void Select(int position) {
        TreeView_SelectItem(Tree(), page.GetTree().GetItemAtPosition(position));
    }
    // Unmarks the page so that a later change shows on the Apply button.
    void ClearModified() { page.SetModified(false); }

    TestPage page;

private:
    std::thread m_thread;
    HWND m_sheet = nullptr;
};

// Three files in the list: the first and third with names of their own, the second without.
class EditorPage : public testing::Test {
protected:
    void SetUp() override {
        paths = {folder.CreateEmptyFile("alpha.txt"), folder.CreateEmptyFile("beta.txt"),
                 folder.CreateEmptyFile("gamma.txt")};
        WriteStoredList(paths, {"First", "", "Third"});
        run = std::make_unique<PageRun>(folder.Path() + "Corvina.dll");
        ASSERT_TRUE(run->Start());
    }

    SavedListKey saved;
    CScratchFolder folder{"basicpage"};
    std::vector<std::string> paths;
    std::unique_ptr<PageRun> run;
};

// The rename dialog of this process, found by its name field: an ANSI dialog's Japanese
// caption does not survive a system code page without those characters.
HWND FindRenameDialog() {
    for (HWND dialog : FindDialogs(nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(dialog, &process);
        if (process == GetCurrentProcessId() && GetDlgItem(dialog, IDC_ITEM_NAME) &&
            IsWindowVisible(dialog)) {
            return dialog;
        }
    }
    return nullptr;
}

HWND WaitForRenameDialog() {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindRenameDialog()) != nullptr; });
    if (dialog && IsJapaneseRun()) {
        EXPECT_EQ(WindowTextW(dialog), L"名前の変更");
    }
    return dialog;
}

struct Buttons {
    bool up, down;
};

void ExpectMoveButtons(PageRun& run, Buttons expected) {
    EXPECT_EQ(run.ButtonEnabled(IDM_UP), expected.up);
    EXPECT_EQ(run.ButtonEnabled(IDM_DOWN), expected.down);
    for (int id : {IDM_ADD_FILES, IDM_ADD_FOLDERS, IDM_RENAME, IDM_DELETE}) {
        EXPECT_TRUE(run.ButtonEnabled(id)) << id;
    }
}

TEST_F(EditorPage, LoadsTheListAndBuildsTheToolbarOverThePlaceholder) {
    const std::vector<std::string> expected = {"First", ShellDisplayName(paths[1]), "Third"};
    EXPECT_EQ(run->Names(), expected);
    EXPECT_EQ(run->Selected(), 0);
    EXPECT_EQ(TreeView_GetItemHeight(run->Tree()), 20);

    HWND page = run->page.GetHwnd();
    HWND toolbar = GetDlgItem(page, IDC_MENU_TOOLBAR);
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(toolbar, run->page.GetToolbar());
    HWND place = GetDlgItem(page, IDC_TOOLBAR_PLACE);
    EXPECT_FALSE(IsWindowVisible(place));
    RECT placeRect = {}, toolbarRect = {};
    GetWindowRect(place, &placeRect);
    GetWindowRect(toolbar, &toolbarRect);
    EXPECT_TRUE(EqualRect(&placeRect, &toolbarRect));
    const LONG style = GetWindowLongW(toolbar, GWL_STYLE);
    for (LONG bit : {LONG(TBSTYLE_FLAT), LONG(TBSTYLE_TOOLTIPS), LONG(CCS_NODIVIDER),
                     LONG(CCS_NORESIZE), LONG(CCS_NOMOVEY)}) {
        EXPECT_EQ(style & bit, bit) << bit;
    }

    const int commands[] = {IDM_ADD_FILES, IDM_ADD_FOLDERS, IDM_RENAME,
                            IDM_UP,        IDM_DOWN,        IDM_DELETE};
    ASSERT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 6);
    for (int i = 0; i < 6; ++i) {
        TBBUTTON button = {};
        ASSERT_TRUE(SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)));
        EXPECT_EQ(button.idCommand, commands[i]);
        EXPECT_EQ(button.iBitmap, i);
    }
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 6);
    HWND tips = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    EXPECT_TRUE(GetWindowLongW(tips, GWL_STYLE) & TTS_ALWAYSTIP);
    ExpectMoveButtons(*run, {false, true});
}

TEST_F(EditorPage, ToolTipsNameEachButtonInTheSystemLanguage) {
    HWND toolbar = run->page.GetToolbar();
    HWND tips = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    struct Case {
        int id;
        const wchar_t* japanese;
        const wchar_t* english;
    } cases[] = {
        {IDM_ADD_FILES, L"メニューにファイルを追加します。", L"Add Files."},
        {IDM_ADD_FOLDERS, L"メニューにフォルダを追加します。", L"Add Folders."},
        {IDM_RENAME, L"名前を変更します。", L"Change Menu item text."},
        {IDM_UP, L"選択された項目を上に移動します。", L"Up Menu item."},
        {IDM_DOWN, L"選択された項目を↓に移動します。", L"Down Menu item."},
        {IDM_DELETE, L"選択された項目を削除します。", L"Delete Menu item."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = tips;
        info.hdr.idFrom = c.id;
        info.hdr.code = TTN_GETDISPINFOA;
        SendMessageA(run->page.GetHwnd(), WM_NOTIFY, c.id, reinterpret_cast<LPARAM>(&info));
        ASSERT_NE(info.lpszText, nullptr);
        EXPECT_EQ(std::string(info.lpszText), ToAnsi(ForRun(c.japanese, c.english)));

        NMTTDISPINFOW wide = {};
        wide.hdr.hwndFrom = tips;
        wide.hdr.idFrom = c.id;
        wide.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(run->page.GetHwnd(), WM_NOTIFY, c.id, reinterpret_cast<LPARAM>(&wide));
        ASSERT_NE(wide.lpszText, nullptr);
        EXPECT_EQ(std::wstring(wide.lpszText), ToWide(ToAnsi(ForRun(c.japanese, c.english))));
    }
    // Another identifier, or the same identifier from another window, is not answered.
    NMTTDISPINFOA other = {};
    other.hdr.hwndFrom = tips;
    other.hdr.idFrom = IDC_MENU_TREE;
    other.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(run->page.GetHwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other));
    EXPECT_EQ(other.lpszText, nullptr);
    other.hdr.hwndFrom = run->Tree();
    other.hdr.idFrom = IDM_UP;
    SendMessageA(run->page.GetHwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other));
    EXPECT_EQ(other.lpszText, nullptr);
}

TEST_F(EditorPage, TheCheckBoxShowsTheHandlerKeyAndAClickMarksThePage) {
    HWND box = GetDlgItem(run->page.GetHwnd(), IDC_EXTENSION_ENABLED);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED,
              CBasicPage::IsExtensionRegistered());
    run->ClearModified();
    ASSERT_FALSE(run->ApplyEnabled());
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_TRUE(run->ApplyEnabled());
}

TEST_F(EditorPage, UpAndDownAreEnabledByTheSelectedPosition) {
    const struct {
        int select;
        Buttons buttons;
    } cases[] = {{0, {false, true}}, {1, {true, true}}, {2, {true, false}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.select);
        run->Select(c.select);
        ExpectMoveButtons(*run, c.buttons);
    }
}

TEST_F(EditorPage, DeleteSelectsTheFollowerThenTheLastThenNothing) {
    const std::string second = ShellDisplayName(paths[1]);
    run->ClearModified();
    run->Select(2);
    run->Command(IDM_DELETE);
    EXPECT_EQ(run->Names(), (std::vector<std::string>{"First", second}));
    EXPECT_EQ(run->Selected(), 1);
    EXPECT_TRUE(run->ApplyEnabled());
    ExpectMoveButtons(*run, {true, false});

    run->Select(0);
    run->Command(IDM_DELETE);
    EXPECT_EQ(run->Names(), (std::vector<std::string>{second}));
    EXPECT_EQ(run->Selected(), 0);
    ExpectMoveButtons(*run, {false, false});

    run->Command(IDM_DELETE);
    EXPECT_TRUE(run->Names().empty());
    EXPECT_EQ(run->Selected(), -1);
    ExpectMoveButtons(*run, {false, false});

    // On an empty list delete and rename do nothing.
    run->ClearModified();
    run->Command(IDM_DELETE);
    run->Command(IDM_RENAME);
    EXPECT_TRUE(run->Names().empty());
    EXPECT_FALSE(run->ApplyEnabled());
    EXPECT_EQ(FindRenameDialog(), nullptr);
}

TEST_F(EditorPage, UpAndDownMoveOnePlaceKeepTheNameAndStopAtTheEnds) {
    const std::string second = ShellDisplayName(paths[1]);
    struct Step {
        int select, command;
        std::vector<std::string> names;
        int selected;
    } steps[] = {
        {0, IDM_DOWN, {second, "First", "Third"}, 1}, {1, IDM_UP, {"First", second, "Third"}, 0},
        {0, IDM_UP, {"First", second, "Third"}, 0},   {2, IDM_UP, {"First", "Third", second}, 1},
        {2, IDM_DOWN, {"First", "Third", second}, 2}, {1, IDM_DOWN, {"First", second, "Third"}, 2},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.select << " " << step.command);
        run->ClearModified();
        run->Select(step.select);
        run->Command(step.command);
        EXPECT_EQ(run->Names(), step.names);
        EXPECT_EQ(run->Selected(), step.selected);
        EXPECT_TRUE(run->ApplyEnabled());
        const int count = static_cast<int>(step.names.size());
        ExpectMoveButtons(*run, {step.selected != 0, step.selected != count - 1});
    }
    // The moved items keep their shell items.
    MenuItemList list;
    ASSERT_TRUE(run->page.GetTree().CollectList(&list));
    ASSERT_EQ(list.size(), 3u);
    const std::vector<BYTE> beta = ItemIdListBytes(paths[1]);
    EXPECT_EQ(ILGetSize(list[1].itemIdList.Get()), beta.size());
    EXPECT_EQ(memcmp(list[1].itemIdList.Get(), beta.data(), beta.size()), 0);
}

TEST_F(EditorPage, AMoveWhoseCopyCannotBeInsertedLeavesTheItemWhereItWas) {
    const std::vector<std::string> names = run->Names();
    const struct {
        int select, command;
    } cases[] = {{1, IDM_UP}, {1, IDM_DOWN}, {0, IDM_DOWN},
                 {2, IDM_UP}, {0, IDM_UP},   {2, IDM_DOWN}};
    MenuListTree& tree = run->page.GetTree();
    tree.SetTestSeams(nullptr, RefuseInsert);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.select << " " << c.command);
        run->Select(c.select);
        run->ClearModified();
        const MenuListEntry* entry = tree.GetEntry(tree.GetItemAtPosition(c.select));
        run->Command(c.command);
        EXPECT_EQ(run->Names(), names);
        EXPECT_EQ(tree.GetItemCount(), 3);
        EXPECT_EQ(run->Selected(), c.select);
        EXPECT_EQ(tree.GetEntry(tree.GetItemAtPosition(c.select)), entry);
        EXPECT_FALSE(run->ApplyEnabled());
    }
    tree.SetTestSeams(nullptr, nullptr);
}

TEST_F(EditorPage, RenameRefusesAnEmptyOrTooLongNameAndTakesUpTo256Characters) {
    run->Select(2);
    run->ClearModified();
    run->PostCommand(IDM_RENAME);
    HWND dialog = WaitForRenameDialog();
    ASSERT_NE(dialog, nullptr);
    HWND edit = GetDlgItem(dialog, IDC_ITEM_NAME);
    ASSERT_NE(edit, nullptr);
    wchar_t shown[64] = {};
    GetWindowTextW(edit, shown, 64);
    EXPECT_STREQ(shown, L"Third");

    // Empty, or longer than the edit lets anyone type: the error box, and the dialog stays.
    const struct {
        std::wstring text;
        const wchar_t* japanese;
        const wchar_t* english;
    } refused[] = {
        {L"", L"名前を入力してください。", L"ERROR : Please input a title."},
        {std::wstring(257, L'x'), L"名前は256文字以内で入力してください。",
         L"ERROR : Please input a title of 256 characters or less."},
        {std::wstring(257, L'名'), L"名前は256文字以内で入力してください。",
         L"ERROR : Please input a title of 256 characters or less."},
        // Characters that the code page lacks would be stored as "?".
        {L"\uD55C\uAE00 \U0001F600",
         L"この名前には、このシステムの文字セットで表示できない文字が含まれています。"
         L"別の文字を使ってください。",
         L"ERROR : This name holds characters that cannot be shown in this system's character "
         L"set. Please use other characters."},
        {L"\u65E5\u672C\u8A9E\uD55C",
         L"この名前には、このシステムの文字セットで表示できない文字が含まれています。"
         L"別の文字を使ってください。",
         L"ERROR : This name holds characters that cannot be shown in this system's character "
         L"set. Please use other characters."},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.text.size());
        SetWindowTextW(edit, c.text.c_str());
        ASSERT_EQ(GetWindowTextLengthW(edit), static_cast<int>(c.text.size()));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        HWND box = WaitForMessageBox(GetCurrentProcessId());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), ToWide(ToAnsi(ForRun(c.japanese, c.english))));
        EXPECT_NE(MessageBoxIcon(box), nullptr);
        ASSERT_TRUE(AnswerMessageBox(box));
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_EQ(run->Names()[2], "Third");
    }
    SetWindowTextW(edit, L"");

    // Typing stops at 256 characters.
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 256);
    for (int i = 0; i < 300; ++i) {
        SendMessageW(edit, WM_CHAR, 'a' + i % 26, 1);
    }
    EXPECT_EQ(GetWindowTextLengthW(edit), 256);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    std::string expected;
    for (int i = 0; i < 256; ++i) {
        expected.push_back(static_cast<char>('a' + i % 26));
    }
    EXPECT_EQ(run->Names()[2], expected);
    EXPECT_EQ(run->page.GetTree().GetItemName(run->page.GetTree().GetItemAtPosition(2)), expected);
    EXPECT_TRUE(run->ApplyEnabled());

    // Blanks are a name; Cancel changes nothing.
    run->Select(0);
    run->ClearModified();
    run->PostCommand(IDM_RENAME);
    dialog = WaitForRenameDialog();
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextW(dialog, IDC_ITEM_NAME, L"   ");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(run->Names()[0], "First");
    EXPECT_FALSE(run->ApplyEnabled());
    run->PostCommand(IDM_RENAME);
    dialog = WaitForRenameDialog();
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextW(dialog, IDC_ITEM_NAME, L"   ");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(run->Names()[0], "   ");
    EXPECT_TRUE(run->ApplyEnabled());
}

// The open-file dialog's name field, in either layout of the dialog.
HWND FileNameField(HWND dialog) {
    for (int id : {0x47C, 0x480}) {
        if (HWND field = GetDlgItem(dialog, id)) {
            return field;
        }
    }
    return nullptr;
}

TEST_F(EditorPage, AddFilesAndAddFoldersAppendWithoutSelecting) {
    const std::string file = folder.CreateEmptyFile("delta.txt");
    run->Select(1);
    run->ClearModified();
    run->PostCommand(IDM_ADD_FILES);
    const std::wstring fileTitle =
        ToWide(ToAnsi(ForRun(L"追加するファイルを選択してください。", L"Select Add Files.")));
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        const std::vector<HWND> found = FindDialogs(fileTitle.c_str());
        dialog = found.empty() ? nullptr : found.front();
        return dialog && IsWindowVisible(dialog) && FileNameField(dialog);
    }));
    SetWindowTextW(FileNameField(dialog), ToWide(file).c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return run->Names().size() == 4; }));
    EXPECT_EQ(run->Names()[3], ShellDisplayName(file));
    EXPECT_EQ(run->Selected(), 1);
    EXPECT_TRUE(run->ApplyEnabled());

    // A cancelled dialog adds nothing.
    run->ClearModified();
    run->PostCommand(IDM_ADD_FILES);
    ASSERT_TRUE(WaitFor([&] {
        const std::vector<HWND> found = FindDialogs(fileTitle.c_str());
        dialog = found.empty() ? nullptr : found.front();
        return dialog && IsWindowVisible(dialog);
    }));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(run->Names().size(), 4u);
    EXPECT_FALSE(run->ApplyEnabled());

    const std::string sub = folder.CreateFolder("epsilon");
    run->Select(3);
    run->PostCommand(IDM_ADD_FOLDERS);
    HWND browse = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        browse = FindOwnedDialog(run->Sheet(), nullptr);
        return browse && IsWindowVisible(browse);
    }));
    const std::wstring title =
        ToWide(ToAnsi(ForRun(L"追加するフォルダを選択してください。", L"Select Folders.")));
    bool titled = false;
    for (HWND child = GetWindow(browse, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        titled = titled || WindowTextW(child) == title;
    }
    EXPECT_TRUE(titled);
    // The browser fills its tree after it is shown: select until the selection holds.
    const std::wstring subName = ToWide(ShellDisplayName(sub));
    ASSERT_TRUE(WaitFor([&] {
        SendMessageA(browse, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(sub.c_str()));
        const std::vector<HWND> trees = ChildrenOfClass(browse, L"SysTreeView32");
        if (trees.empty()) {
            return false;
        }
        wchar_t text[MAX_PATH] = {};
        TVITEMW item = {};
        item.mask = TVIF_TEXT;
        item.hItem = TreeView_GetSelection(trees.front());
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        return item.hItem &&
               SendMessageW(trees.front(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) &&
               subName == text;
    }));
    PostMessageW(browse, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return run->Names().size() == 5; }));
    EXPECT_EQ(run->Names()[4], ShellDisplayName(sub));
    EXPECT_EQ(run->Selected(), 3);
    ExpectMoveButtons(*run, {true, true});
    EXPECT_TRUE(run->ApplyEnabled());
}

// A data object for one file, as Explorer hands it to a drop target.
CComPtr<IDataObject> FileDataObject(const std::string& path) {
    CComPtr<IDataObject> data;
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHParseDisplayName(ToWide(path).c_str(), nullptr, &list, 0, nullptr))) {
        return data;
    }
    CComPtr<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    if (SUCCEEDED(SHBindToParent(list, IID_PPV_ARGS(&parent), &child))) {
        parent->GetUIObjectOf(nullptr, 1, &child, IID_IDataObject, nullptr,
                              reinterpret_cast<void**>(data.GetAddressOf()));
    }
    CoTaskMemFree(list);
    return data;
}

TEST_F(EditorPage, ADropTakesTheRowsPlaceIsSelectedAndLeavesApplyAlone) {
    const std::string file = folder.CreateEmptyFile("dropped.txt");
    CComPtr<IDataObject> data = FileDataObject(file);
    ASSERT_TRUE(data);
    IDropTarget* target = run->page.GetTree().GetDropTarget();
    ASSERT_NE(target, nullptr);
    run->Select(0);
    run->ClearModified();

    RECT row = {};
    HTREEITEM third = run->page.GetTree().GetItemAtPosition(2);
    ASSERT_TRUE(TreeView_GetItemRect(run->Tree(), third, &row, FALSE));
    POINT point = {row.left + 5, (row.top + row.bottom) / 2};
    ClientToScreen(run->Tree(), &point);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    ASSERT_EQ(target->DragEnter(data.Get(), 0, {point.x, point.y}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    ASSERT_EQ(target->Drop(data.Get(), 0, {point.x, point.y}, &effect), S_OK);

    const std::vector<std::string> names = run->Names();
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[2], ShellDisplayName(file));
    EXPECT_EQ(names[3], "Third");
    EXPECT_EQ(run->Selected(), 2);
    ExpectMoveButtons(*run, {true, true});
    EXPECT_FALSE(run->ApplyEnabled());
}

TEST_F(EditorPage, ApplySavesEveryRecordWithANameThenReportsTheMissingServer) {
    run->Select(0);
    run->Command(IDM_DELETE);
    // The list changed behind the editor's back is overwritten.
    WriteStoredList({paths[0], paths[0], paths[0], paths[0]}, {"x", "x", "x", "x"});

    PostMessageW(run->Sheet(), WM_COMMAND, MAKEWPARAM(kApplyId, BN_CLICKED), 0);
    HWND box = WaitForMessageBox(GetCurrentProcessId());
    ASSERT_NE(box, nullptr);
    const std::string dll = folder.Path() + "Corvina.dll";
    const std::wstring expected =
        ToWide(ToAnsi(ForRun(L"『Corvina』の実行に必要なファイルがありません。\n(",
                             L"ERROR : dll file required for a setup is not found.\n(")) +
               dll + ")");
    EXPECT_EQ(MessageBoxText(box), expected);
    EXPECT_NE(MessageBoxIcon(box), nullptr);

    // The list was saved before the check.
    const std::vector<StoredRecord> stored = ReadStoredList();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].itemIdList, ItemIdListBytes(paths[1]));
    EXPECT_EQ(stored[0].name, ShellDisplayName(paths[1]));
    EXPECT_TRUE(stored[0].hasName);
    EXPECT_EQ(stored[1].itemIdList, ItemIdListBytes(paths[2]));
    EXPECT_EQ(stored[1].name, "Third");
    ASSERT_TRUE(AnswerMessageBox(box));

    // OK keeps the sheet open on this page when apply fails.
    PostMessageW(run->Sheet(), WM_COMMAND, IDOK, 0);
    box = WaitForMessageBox(GetCurrentProcessId());
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(AnswerMessageBox(box));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(run->Sheet()) != FALSE; }));
    EXPECT_TRUE(IsWindow(run->Sheet()));
}

TEST_F(EditorPage, ApplyThatCannotSaveTheWholeListTellsTheUserAndKeepsTheSheetOpen) {
    run->Select(0);
    run->Command(IDM_DELETE);
    MenuListTree& tree = run->page.GetTree();
    const struct {
        const char* what;
        bool failCopy, failSave;
        const wchar_t* japanese;
        const wchar_t* english;
    } cases[] = {
        {"an item cannot be copied", true, false,
         L"メニュー項目を読み出せなかったため、一覧を保存しませんでした。",
         L"ERROR : A menu item could not be read, so the list was not saved."},
        {"the list cannot be written", false, true, L"メニュー項目の一覧を保存できませんでした。",
         L"ERROR : The menu list could not be saved."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        g_uncopyable = tree.GetEntry(tree.GetItemAtPosition(1))->GetItemIdList();
        tree.SetTestSeams(c.failCopy ? CopyExceptUncopyable : nullptr, nullptr);
        run->page.failSave = c.failSave;
        for (int command : {kApplyId, IDOK}) {
            SCOPED_TRACE(command);
            PostMessageW(run->Sheet(), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
            HWND box = WaitForMessageBox(GetCurrentProcessId());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(MessageBoxText(box), ToWide(ToAnsi(ForRun(c.japanese, c.english))));
            EXPECT_NE(MessageBoxIcon(box), nullptr);
            ASSERT_TRUE(AnswerMessageBox(box));
            EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(run->Sheet()) != FALSE; }));
            // Nothing of the edited list reached the registry.
            const std::vector<StoredRecord> stored = ReadStoredList();
            ASSERT_EQ(stored.size(), 3u);
            EXPECT_EQ(stored[0].name, "First");
            EXPECT_EQ(stored[2].name, "Third");
        }
    }
    tree.SetTestSeams(nullptr, nullptr);
    run->page.failSave = false;
}

} // namespace
