// The tree's operations, the ownership of every entry's item ID list, and its rows.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "TreeTestSupport.h"
#include "WideNames.h"
#include "common/MenuItemList.h"
#include "common/WideLabels.h"
#include "common/ItemIdList.h"
#include "common/MenuItemDraw.h"
#include "common/ShellMenuItemData.h"
#include "common/ShellQueries.h"
#include "common/core/MenuItemLayout.h"

namespace {

class TreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        fixture = std::make_unique<CTreeFixture>();
        ASSERT_TRUE(fixture->Ready());
    }
    void TearDown() override { fixture.reset(); }
    MenuListTree& Tree() { return fixture->Tree(); }

    std::unique_ptr<CTreeFixture> fixture;
};

std::string ShellName(LPCITEMIDLIST list) {
    std::string label;
    EXPECT_TRUE(QueryLabel(list, &label));
    return label;
}

std::string ItemText(HWND tree, HTREEITEM item) {
    char text[300] = {};
    TVITEMA data = {};
    data.mask = TVIF_TEXT | TVIF_HANDLE;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof(text);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

TEST_F(TreeTest, WindowIsAFlatListWithTheSystemImageList) {
    const LONG_PTR style = GetWindowLongPtrA(Tree(), GWL_STYLE);
    EXPECT_EQ(style & (TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT), 0);
    EXPECT_EQ(style & (TVS_SHOWSELALWAYS | TVS_FULLROWSELECT),
              TVS_SHOWSELALWAYS | TVS_FULLROWSELECT);
    ASSERT_NE(SystemSmallImageList(), nullptr);
    EXPECT_EQ(Tree().GetImageList(), SystemSmallImageList());

    // A dialog's control: every style bit but child and visible gives way to the list's.
    HWND raw = CreateWindowExA(
        0, WC_TREEVIEWA, "",
        WS_CHILD | WS_BORDER | WS_TABSTOP | TVS_EDITLABELS | TVS_HASLINES | TVS_CHECKBOXES, 0, 210,
        100, 60, fixture->Host().GetHwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(raw, nullptr);
    {
        MenuListTree taken;
        ASSERT_TRUE(taken.SubclassWindow(raw));
        EXPECT_EQ(
            static_cast<DWORD>(GetWindowLongPtrA(raw, GWL_STYLE)),
            static_cast<DWORD>(WS_CHILD | WS_VISIBLE | TVS_SHOWSELALWAYS | TVS_FULLROWSELECT));
        EXPECT_EQ(taken.GetImageList(), SystemSmallImageList());
        // One owner per window.
        MenuListTree second;
        EXPECT_FALSE(second.SubclassWindow(raw));
        EXPECT_FALSE(taken.SubclassWindow(Tree()));
    }
    // The object let go of the window it did not destroy.
    EXPECT_TRUE(IsWindow(raw));
    DestroyWindow(raw);
}

TEST_F(TreeTest, AppendInsertAndPositions) {
    EXPECT_EQ(Tree().GetFirstItem(), nullptr);
    EXPECT_EQ(Tree().GetLastItem(), nullptr);
    EXPECT_EQ(Tree().GetItemAtPosition(0), nullptr);

    HTREEITEM a = fixture->Add("a.txt", "A");
    HTREEITEM b = fixture->Add("b.txt", "B");
    HTREEITEM c = fixture->Add("c.txt", "C");
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(fixture->Names(), (std::vector<std::string>{"A", "B", "C"}));

    HTREEITEM first = Tree().InsertItemAfter(nullptr, fixture->ListOf("d.txt"), "D");
    HTREEITEM middle = Tree().InsertItemAfter(a, fixture->ListOf("e.txt"), "E");
    HTREEITEM last = Tree().InsertItemAfter(c, fixture->ListOf("f.txt"), "F");
    EXPECT_EQ(fixture->Names(), (std::vector<std::string>{"D", "A", "E", "B", "C", "F"}));

    EXPECT_EQ(Tree().GetFirstItem(), first);
    EXPECT_EQ(Tree().GetLastItem(), last);
    EXPECT_EQ(Tree().GetItemCount(), 6);
    const HTREEITEM order[] = {first, a, middle, b, c, last};
    for (int p = 0; p < 6; ++p) {
        EXPECT_EQ(Tree().GetItemPosition(order[p]), p);
        EXPECT_EQ(Tree().GetItemAtPosition(p), order[p]);
    }
    EXPECT_EQ(Tree().GetItemAtPosition(6), nullptr);
    EXPECT_EQ(Tree().GetItemAtPosition(-1), nullptr);
    EXPECT_EQ(Tree().GetItemPosition(nullptr), -1);

    // Items are root items without state, image = the icon index.
    TVITEMA data = {};
    data.mask = TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE | TVIF_CHILDREN;
    data.stateMask = 0xFFFF;
    data.hItem = middle;
    ASSERT_TRUE(SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data)));
    EXPECT_EQ(TreeView_GetParent(Tree(), middle), nullptr);
    EXPECT_EQ(data.state & (TVIS_SELECTED | TVIS_BOLD | TVIS_EXPANDED), 0u);
    EXPECT_EQ(data.iImage, Tree().GetEntry(middle)->GetIconIndex());
    EXPECT_EQ(data.iSelectedImage, Tree().GetEntry(middle)->GetIconIndex());
    int shellIcon = -2;
    ASSERT_TRUE(QueryIconIndex(Tree().GetEntry(middle)->GetItemIdList(), &shellIcon));
    EXPECT_EQ(Tree().GetEntry(middle)->GetIconIndex(), shellIcon);

    // Nothing to insert: nothing inserted.
    EXPECT_EQ(Tree().AppendItem(CItemIdList()), nullptr);
    EXPECT_EQ(Tree().GetItemCount(), 6);
}

TEST_F(TreeTest, NameOverrideOrShellName) {
    const std::string japanese = ToAnsi(L"メモ帳\tCtrl+M");
    struct Case {
        const char* file;
        const char* name; // null: none given
        bool shellName;
    };
    const Case cases[] = {
        {"plain.txt", nullptr, true},
        {"empty.txt", "", true},
        {"own.txt", "My own title", false},
        {"ja.txt", japanese.c_str(), false},
    };
    for (const Case& c : cases) {
        HTREEITEM item = fixture->Add(c.file, c.name);
        ASSERT_NE(item, nullptr) << c.file;
        const std::string expected =
            c.shellName ? ShellName(Tree().GetEntry(item)->GetItemIdList()) : c.name;
        EXPECT_FALSE(expected.empty()) << c.file;
        EXPECT_EQ(Tree().GetItemName(item), expected) << c.file;
        EXPECT_EQ(ItemText(Tree(), item), expected) << c.file;
    }

    // Renaming changes both the entry and the text the tree holds.
    HTREEITEM item = Tree().GetFirstItem();
    const std::string renamed = ToAnsi(L"名前の変更");
    ASSERT_TRUE(Tree().SetItemName(item, renamed.c_str()));
    EXPECT_EQ(Tree().GetItemName(item), renamed);
    EXPECT_EQ(ItemText(Tree(), item), renamed);
    EXPECT_FALSE(Tree().SetItemName(nullptr, "x"));

    // A 256-character name is kept whole by the entry.
    const std::string longName(256, 'n');
    ASSERT_TRUE(Tree().SetItemName(item, longName.c_str()));
    EXPECT_EQ(Tree().GetItemName(item), longName);
}

std::wstring WideItemText(HWND tree, HTREEITEM item) {
    wchar_t text[300] = {};
    TVITEMW data = {};
    data.mask = TVIF_TEXT | TVIF_HANDLE;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = 300;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

TEST_F(TreeTest, ShellNamesOutsideTheCodePageShowWideAndSaveAsBefore) {
    CScratchFolder scratch("widetree");
    std::vector<std::wstring> paths;
    for (const bool wide : {true, false}) {
        SCOPED_TRACE(wide ? "NT family" : "9x family, forced");
        SetWideLabelsForTesting(wide ? 1 : 0);
        for (size_t i = 0; i < OutsideCodePageNames().size(); ++i) {
            const std::wstring& name = OutsideCodePageNames()[i];
            if (paths.size() <= i) {
                paths.push_back(CreateWideFolder(scratch.Path(), name));
                ASSERT_FALSE(paths.back().empty());
            }
            HTREEITEM item = Tree().AppendItem(ParseWidePath(paths[i]));
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(WideItemText(Tree(), item), wide ? name : ToWide(ToAnsi(name)));
            // What the editor saves is the code page's text, the same bytes as before.
            EXPECT_EQ(Tree().GetItemName(item), ToAnsi(name));
        }
    }
    SetWideLabelsForTesting(-1);
    MenuItemList list;
    ASSERT_TRUE(Tree().CollectList(&list));
    ASSERT_EQ(list.size(), 2 * paths.size());
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].displayName, list[i % paths.size()].displayName) << i;
    }
    // The user's own name replaces the wide one.
    HTREEITEM first = Tree().GetFirstItem();
    ASSERT_TRUE(Tree().SetItemName(first, "Mine"));
    EXPECT_EQ(WideItemText(Tree(), first), L"Mine");
    EXPECT_TRUE(Tree().GetEntry(first)->GetWideName().empty());
    for (const std::wstring& path : paths) {
        RemoveDirectoryW(path.c_str());
    }
}

TEST_F(TreeTest, CollectListReturnsCopiesInOrder) {
    fixture->Add("one.txt", "First");
    fixture->Add("two.txt");
    fixture->Add("three.txt", "Third");
    MenuItemList list;
    ASSERT_TRUE(Tree().CollectList(&list));
    ASSERT_EQ(list.size(), 3u);
    const std::vector<std::string> names = fixture->Names();
    HTREEITEM item = Tree().GetFirstItem();
    for (size_t i = 0; i < list.size(); ++i, item = TreeView_GetNextSibling(Tree(), item)) {
        const MenuListEntry* entry = Tree().GetEntry(item);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(list[i].displayName, names[i]);
        // A copy: same bytes, its own block.
        EXPECT_NE(list[i].itemIdList.Get(), entry->GetItemIdList());
        EXPECT_EQ(ItemIdListBytes(list[i].itemIdList), ItemIdListBytes(entry->GetItemIdList()));
    }
    EXPECT_EQ(list[0].displayName, "First");
    EXPECT_EQ(list[1].displayName, ShellName(list[1].itemIdList));

    CItemIdList copy;
    std::string name;
    ASSERT_TRUE(Tree().CopyOutItem(Tree().GetLastItem(), &copy, &name));
    EXPECT_EQ(name, "Third");
    EXPECT_EQ(ItemIdListBytes(copy), ItemIdListBytes(list[2].itemIdList));
    EXPECT_FALSE(Tree().CopyOutItem(nullptr, &copy, &name));
}

// Stand-ins for the tree's seams: a copy of the list that fails for one list, and an insert
// that always fails.
const void* g_uncopyable = nullptr;
CItemIdList CopyExceptUncopyable(LPCITEMIDLIST list) {
    return list == g_uncopyable ? CItemIdList() : CopyItemIdList(list);
}
HTREEITEM RefuseInsert(HWND, TVINSERTSTRUCTA*) {
    return nullptr;
}

TEST_F(TreeTest, AnItemThatCannotBeCopiedFailsTheWholeCollection) {
    fixture->Add("one.txt", "First");
    HTREEITEM second = fixture->Add("two.txt", "Second");
    fixture->Add("three.txt", "Third");
    g_uncopyable = Tree().GetEntry(second)->GetItemIdList();
    Tree().SetTestSeams(CopyExceptUncopyable, nullptr);

    MenuItemList list;
    list.push_back({fixture->ListOf("stale.txt"), "stale"});
    EXPECT_FALSE(Tree().CollectList(&list));
    EXPECT_TRUE(list.empty());
    CItemIdList copy;
    std::string name;
    EXPECT_FALSE(Tree().CopyOutItem(second, &copy, &name));
    EXPECT_TRUE(Tree().CopyOutItem(Tree().GetFirstItem(), &copy, &name));

    Tree().SetTestSeams(nullptr, nullptr);
    EXPECT_TRUE(Tree().CollectList(&list));
    EXPECT_EQ(list.size(), 3u);
}

TEST_F(TreeTest, AnItemThatCannotBeInsertedFreesItsListAndLeavesTheTree) {
    CTaskAllocatorSpy spy;
    ASSERT_TRUE(spy.Registered());
    fixture->Add("a.txt", "A");
    Tree().SetTestSeams(nullptr, RefuseInsert);
    CItemIdList list = fixture->ListOf("b.txt");
    const void* block = list.Get();
    ASSERT_TRUE(spy.IsLive(block));
    EXPECT_EQ(Tree().InsertItemAfter(nullptr, std::move(list), "B"), nullptr);
    EXPECT_FALSE(spy.IsLive(block));
    EXPECT_EQ(Tree().AppendItem(fixture->ListOf("c.txt")), nullptr);
    EXPECT_EQ(fixture->Names(), (std::vector<std::string>{"A"}));
    Tree().SetTestSeams(nullptr, nullptr);
    TreeView_DeleteAllItems(Tree());
}

TEST_F(TreeTest, MoveRebuildsTheItemFromACopy) {
    CTaskAllocatorSpy spy;
    ASSERT_TRUE(spy.Registered());
    fixture->Add("a.txt", "A");
    fixture->Add("b.txt");
    fixture->Add("c.txt", "C");
    const std::string shellB = Tree().GetItemName(Tree().GetItemAtPosition(1));

    // Up on the second item, as the editor does it: copy, insert as the first, delete.
    HTREEITEM moving = Tree().GetItemAtPosition(1);
    const void* oldList = Tree().GetEntry(moving)->GetItemIdList();
    ASSERT_TRUE(spy.IsLive(oldList));
    CItemIdList copy;
    std::string name;
    ASSERT_TRUE(Tree().CopyOutItem(moving, &copy, &name));
    const void* copied = copy.Get();
    HTREEITEM moved = Tree().InsertItemAfter(nullptr, std::move(copy), name.c_str());
    ASSERT_NE(moved, nullptr);
    ASSERT_TRUE(TreeView_DeleteItem(Tree(), moving));
    EXPECT_FALSE(spy.IsLive(oldList));
    EXPECT_EQ(Tree().GetEntry(moved)->GetItemIdList(), copied);
    EXPECT_EQ(fixture->Names(), (std::vector<std::string>{shellB, "A", "C"}));

    // Down on the first: after the item behind it.
    moving = Tree().GetFirstItem();
    ASSERT_TRUE(Tree().CopyOutItem(moving, &copy, &name));
    ASSERT_NE(Tree().InsertItemAfter(Tree().GetItemAtPosition(1), std::move(copy), name.c_str()),
              nullptr);
    TreeView_DeleteItem(Tree(), moving);
    EXPECT_EQ(fixture->Names(), (std::vector<std::string>{"A", shellB, "C"}));
    // Blocks allocated under the spy must be gone before it is: the allocator would call
    // into a dead spy otherwise.
    TreeView_DeleteAllItems(Tree());
}

TEST_F(TreeTest, EveryEntrysListIsFreedOnDeleteAndDestroy) {
    CTaskAllocatorSpy spy;
    ASSERT_TRUE(spy.Registered());
    std::vector<const void*> lists;
    for (const char* file : {"a.txt", "b.txt", "c.txt", "d.txt"}) {
        HTREEITEM item = fixture->Add(file);
        ASSERT_NE(item, nullptr);
        lists.push_back(Tree().GetEntry(item)->GetItemIdList());
        ASSERT_TRUE(spy.IsLive(lists.back())) << file;
    }
    // One item, through the control's own message.
    ASSERT_TRUE(TreeView_DeleteItem(Tree(), Tree().GetItemAtPosition(1)));
    EXPECT_TRUE(spy.IsLive(lists[0]));
    EXPECT_FALSE(spy.IsLive(lists[1]));
    EXPECT_TRUE(spy.IsLive(lists[2]));
    // All at once.
    ASSERT_TRUE(TreeView_DeleteAllItems(Tree()));
    for (const void* list : lists) {
        EXPECT_FALSE(spy.IsLive(list));
    }

    // Destroying the window frees what it still holds.
    lists.clear();
    for (const char* file : {"e.txt", "f.txt"}) {
        lists.push_back(Tree().GetEntry(fixture->Add(file))->GetItemIdList());
    }
    ASSERT_TRUE(spy.IsLive(lists[0]) && spy.IsLive(lists[1]));
    ASSERT_TRUE(DestroyWindow(Tree()));
    EXPECT_EQ(Tree().GetHwnd(), nullptr);
    for (const void* list : lists) {
        EXPECT_FALSE(spy.IsLive(list));
    }

    // And so does the object going while its window lives on.
    const void* kept = nullptr;
    HWND window = nullptr;
    {
        MenuListTree other;
        ASSERT_TRUE(other.Create(fixture->Host().GetHwnd(), {0, 0, 100, 100}, 1001));
        window = other.GetHwnd();
        kept = other.GetEntry(other.AppendItem(fixture->ListOf("g.txt")))->GetItemIdList();
        ASSERT_TRUE(spy.IsLive(kept));
    }
    EXPECT_FALSE(spy.IsLive(kept));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(TreeView_GetCount(window), 0u);
    DestroyWindow(window);
}

// Counts pixels of the canvas inside [left, right) x [top, bottom) for which pred holds.
template <class Pred>
int CountPixels(const CCanvas& canvas, int left, int top, int right, int bottom, Pred pred) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (pred(canvas.Pixel(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

TEST_F(TreeTest, RowsArePaintedInTheMenuLook) {
    CTestPalette palette;
    ASSERT_TRUE(palette.Applied());
    SendMessageA(Tree(), TVM_SETBKCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_MENU)));
    HTREEITEM selected = fixture->Add("a.txt", "Selected");
    HTREEITEM plain = fixture->Add("b.txt", "Plain");
    HTREEITEM tabbed = fixture->Add("c.txt", "L\tR");
    ASSERT_TRUE(TreeView_SelectItem(Tree(), selected));

    RECT client = {};
    GetClientRect(Tree(), &client);
    CCanvas canvas(client.right, client.bottom);
    ASSERT_TRUE(canvas.Valid());
    canvas.Fill(RGB(1, 2, 3));
    SendMessageA(Tree(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()),
                 PRF_CLIENT | PRF_ERASEBKGND);

    auto rowOf = [&](HTREEITEM item) {
        RECT row = {};
        TreeView_GetItemRect(Tree(), item, &row, FALSE);
        return row;
    };
    const RECT sel = rowOf(selected);
    const RECT pln = rowOf(plain);
    const RECT tab = rowOf(tabbed);
    ASSERT_EQ(TreeView_GetItemHeight(Tree()), 20);
    const bool flat = IsFlatMenuSystem() != FALSE;

    // Background: highlight on the selected row right of the icon (whole row when flat),
    // menu colour elsewhere.
    EXPECT_EQ(canvas.Pixel(sel.right - 5, sel.top + 5), CTestPalette::kHighlight);
    EXPECT_EQ(canvas.Pixel(sel.left + 1, sel.top + 5),
              flat ? CTestPalette::kHighlight : CTestPalette::kMenu);
    EXPECT_EQ(canvas.Pixel(pln.right - 5, pln.top + 5), CTestPalette::kMenu);
    EXPECT_EQ(canvas.Pixel(pln.left + 1, pln.top + 5), CTestPalette::kMenu);

    // An icon in the icon box of every row.
    for (const RECT& row : {sel, pln, tab}) {
        const COLORREF back =
            row.top == sel.top && flat ? CTestPalette::kHighlight : CTestPalette::kMenu;
        EXPECT_GT(CountPixels(canvas, row.left + 4, row.top + 2, row.left + 20, row.top + 18,
                              [&](COLORREF c) { return c != back; }),
                  20)
            << "row at " << row.top;
    }

    // Text from x = 26 on, in the highlight-text colour when selected, menu text otherwise.
    EXPECT_GT(CountPixels(canvas, sel.left + 26, sel.top, sel.left + 80, sel.bottom,
                          [](COLORREF c) { return c == CTestPalette::kHighlightText; }),
              5);
    EXPECT_GT(CountPixels(canvas, pln.left + 26, pln.top, pln.left + 80, pln.bottom,
                          [](COLORREF c) { return c == CTestPalette::kMenuText; }),
              5);
    EXPECT_EQ(CountPixels(canvas, pln.left + 20, pln.top, pln.left + 26, pln.bottom,
                          [](COLORREF c) { return c == CTestPalette::kMenuText; }),
              0);

    // "L\tR": the part after the tab ends 16 pixels before the right edge.
    auto ink = [](COLORREF c) { return c != CTestPalette::kMenu; };
    EXPECT_GT(CountPixels(canvas, tab.right - 16 - 12, tab.top, tab.right - 16, tab.bottom, ink),
              3);
    EXPECT_EQ(CountPixels(canvas, tab.right - 15, tab.top, tab.right, tab.bottom, ink), 0);
    EXPECT_EQ(CountPixels(canvas, tab.left + 60, tab.top, tab.right - 40, tab.bottom, ink), 0);
}

} // namespace
