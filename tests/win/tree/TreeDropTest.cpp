// The tree's drop target, called through its IDropTarget as OLE would call it: real shell
// data objects for one and for two files, hand-made "Shell IDList Array" blocks, and data of
// another format.
#include <gtest/gtest.h>

#include <memory>

#include "TreeTestSupport.h"
#include "common/ItemIdList.h"
#include "common/ShellQueries.h"
#include "framework/ComPtr.h"
#include "common/DroppedItemIdList.h"

namespace {

class TreeDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        fixture = std::make_unique<CTreeFixture>();
        ASSERT_TRUE(fixture->Ready());
        ASSERT_TRUE(Tree().RegisterDropTarget(true));
        target = Tree().GetDropTarget();
        ASSERT_NE(target, nullptr);
        for (const char* file : {"a.txt", "b.txt", "c.txt", "d.txt"}) {
            ASSERT_NE(fixture->Add(file, file), nullptr);
        }
    }
    void TearDown() override { fixture.reset(); }
    MenuListTree& Tree() { return fixture->Tree(); }

    // Drag enter at `at`, then drag over at `over`; the effects both report.
    std::pair<DWORD, DWORD> EnterAndOver(IDataObject* data, POINTL at, POINTL over) {
        DWORD enter = DROPEFFECT_COPY | DROPEFFECT_LINK | DROPEFFECT_MOVE;
        EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, at, &enter), S_OK);
        DWORD overEffect = DROPEFFECT_COPY | DROPEFFECT_LINK | DROPEFFECT_MOVE;
        EXPECT_EQ(target->DragOver(MK_LBUTTON, over, &overEffect), S_OK);
        return {enter, overEffect};
    }

    // Everything a refused drag must leave alone.
    void ExpectRefused(IDataObject* data, const char* what) {
        const std::vector<std::string> before = fixture->Names();
        const POINTL third = fixture->RowCentre(Tree().GetItemAtPosition(2));
        const auto effects = EnterAndOver(data, third, third);
        EXPECT_EQ(effects.first, static_cast<DWORD>(DROPEFFECT_NONE)) << what;
        EXPECT_EQ(effects.second, static_cast<DWORD>(DROPEFFECT_NONE)) << what;
        EXPECT_EQ(Tree().GetInsertMarkItem(), nullptr) << what;
        DWORD drop = DROPEFFECT_LINK;
        EXPECT_EQ(target->Drop(data, 0, third, &drop), S_OK) << what;
        EXPECT_EQ(drop, static_cast<DWORD>(DROPEFFECT_NONE)) << what;
        EXPECT_EQ(fixture->Names(), before) << what;
        EXPECT_EQ(Tree().GetInsertMarkItem(), nullptr) << what;
    }

    std::unique_ptr<CTreeFixture> fixture;
    IDropTarget* target = nullptr; // held by the tree
};

TEST_F(TreeDropTest, RegistrationIsIdempotentAndReal) {
    EXPECT_TRUE(Tree().RegisterDropTarget(true));
    EXPECT_EQ(Tree().GetDropTarget(), target);
    // The window really is taken: OLE refuses a second registration.
    EXPECT_EQ(RegisterDragDrop(Tree(), target), DRAGDROP_E_ALREADYREGISTERED);

    EXPECT_TRUE(Tree().RegisterDropTarget(false));
    EXPECT_FALSE(Tree().IsDropTargetRegistered());
    EXPECT_EQ(Tree().GetDropTarget(), nullptr);
    EXPECT_TRUE(Tree().RegisterDropTarget(false));
    EXPECT_EQ(RevokeDragDrop(Tree()), DRAGDROP_E_NOTREGISTERED);

    ASSERT_TRUE(Tree().RegisterDropTarget(true));
    // The window going revokes the registration; a target still held refuses politely.
    CComPtr<IDropTarget> held(Tree().GetDropTarget());
    HWND window = Tree().GetHwnd();
    DestroyWindow(window);
    EXPECT_FALSE(Tree().IsDropTargetRegistered());
    CComPtr<IDataObject> data;
    data.Attach(fixture->ShellDataObject({"a.txt"}));
    ASSERT_TRUE(data);
    DWORD effect = DROPEFFECT_LINK;
    EXPECT_EQ(held->DragEnter(data.Get(), 0, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_LINK;
    EXPECT_EQ(held->Drop(data.Get(), 0, {0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
}

TEST_F(TreeDropTest, OneShellItemIsInsertedWhereDroppedAndSelected) {
    CComPtr<IDataObject> data;
    data.Attach(fixture->ShellDataObject({"dropped.txt"}));
    ASSERT_TRUE(data);
    HTREEITEM third = Tree().GetItemAtPosition(2);
    const POINTL onThird = fixture->RowCentre(third);

    // Over the third row: the mark before it.
    const auto effects =
        EnterAndOver(data.Get(), fixture->RowCentre(Tree().GetFirstItem()), onThird);
    EXPECT_EQ(effects.first, static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(effects.second, static_cast<DWORD>(DROPEFFECT_LINK));
    bool after = true;
    EXPECT_EQ(Tree().GetInsertMarkItem(&after), third);
    EXPECT_FALSE(after);
    // Below the rows: after the last.
    DWORD effect = DROPEFFECT_LINK;
    EXPECT_EQ(target->DragOver(0, fixture->BelowRows(), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(Tree().GetInsertMarkItem(&after), Tree().GetLastItem());
    EXPECT_TRUE(after);

    effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    ASSERT_EQ(target->Drop(data.Get(), MK_LBUTTON, onThird, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(Tree().GetInsertMarkItem(), nullptr);

    // Took the third row's place and is selected, under the shell's name.
    ASSERT_EQ(Tree().GetItemCount(), 5);
    HTREEITEM added = Tree().GetItemAtPosition(2);
    EXPECT_EQ(fixture->Selected(), added);
    EXPECT_EQ(Tree().GetItemAtPosition(3), third);
    const CItemIdList expected = fixture->ListOf("dropped.txt");
    std::string shellName;
    ASSERT_TRUE(QueryLabel(expected, &shellName));
    EXPECT_EQ(Tree().GetItemName(added), shellName);
    EXPECT_EQ(ItemIdListBytes(Tree().GetEntry(added)->GetItemIdList()), ItemIdListBytes(expected));
}

// Rows of the tree painted into a bitmap; counts the pixels of one colour in a band of rows.
int CountColourInBand(HWND tree, COLORREF colour, int top, int bottom) {
    RECT client = {};
    GetClientRect(tree, &client);
    CCanvas canvas(client.right, client.bottom);
    if (!canvas.Valid()) {
        return -1;
    }
    SendMessageA(tree, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()),
                 PRF_CLIENT | PRF_ERASEBKGND);
    int count = 0;
    for (int y = top < 0 ? 0 : top; y < bottom && y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            count += canvas.Pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

TEST_F(TreeDropTest, TheControlDrawsTheMarkAtTheHoveredRow) {
    const COLORREF mark = RGB(255, 0, 255);
    SendMessageA(Tree(), TVM_SETINSERTMARKCOLOR, 0, static_cast<LPARAM>(mark));
    HTREEITEM third = Tree().GetItemAtPosition(2);
    RECT row = {};
    TreeView_GetItemRect(Tree(), third, &row, FALSE);
    ASSERT_EQ(CountColourInBand(Tree(), mark, 0, 200), 0);

    CComPtr<IDataObject> data;
    data.Attach(fixture->ShellDataObject({"a.txt"}));
    ASSERT_TRUE(data);
    const POINTL onThird = fixture->RowCentre(third);
    EnterAndOver(data.Get(), onThird, onThird);
    // A line at the boundary above the third row, nowhere else.
    EXPECT_GT(CountColourInBand(Tree(), mark, row.top - 3, row.top + 3), 10);
    EXPECT_EQ(CountColourInBand(Tree(), mark, row.top + 4, 200), 0);
    EXPECT_EQ(CountColourInBand(Tree(), mark, 0, row.top - 4), 0);
    // Below the rows: on the last row's lower edge.
    DWORD effect = DROPEFFECT_LINK;
    target->DragOver(0, fixture->BelowRows(), &effect);
    RECT last = {};
    TreeView_GetItemRect(Tree(), Tree().GetLastItem(), &last, FALSE);
    EXPECT_GT(CountColourInBand(Tree(), mark, last.bottom - 3, last.bottom + 3), 10);
    EXPECT_EQ(CountColourInBand(Tree(), mark, 0, last.bottom - 5), 0);
    target->DragLeave();
    EXPECT_EQ(CountColourInBand(Tree(), mark, 0, 200), 0);
}

TEST_F(TreeDropTest, DropBelowTheLastRowAppendsAndOnTheFirstRowPrepends) {
    CComPtr<IDataObject> data;
    data.Attach(fixture->ShellDataObject({"e.txt"}));
    ASSERT_TRUE(data);
    EnterAndOver(data.Get(), fixture->BelowRows(), fixture->BelowRows());
    DWORD effect = DROPEFFECT_LINK;
    ASSERT_EQ(target->Drop(data.Get(), 0, fixture->BelowRows(), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    ASSERT_EQ(Tree().GetItemCount(), 5);
    EXPECT_EQ(fixture->Selected(), Tree().GetLastItem());

    const POINTL first = fixture->RowCentre(Tree().GetFirstItem());
    EnterAndOver(data.Get(), first, first);
    effect = DROPEFFECT_LINK;
    ASSERT_EQ(target->Drop(data.Get(), 0, first, &effect), S_OK);
    ASSERT_EQ(Tree().GetItemCount(), 6);
    EXPECT_EQ(fixture->Selected(), Tree().GetFirstItem());
    EXPECT_EQ(Tree().GetItemName(Tree().GetItemAtPosition(1)), "a.txt");
}

TEST_F(TreeDropTest, TwoShellItemsAreRefused) {
    CComPtr<IDataObject> data;
    data.Attach(fixture->ShellDataObject({"x.txt", "y.txt"}));
    ASSERT_TRUE(data);
    // The shell's object does offer the format: the count is what refuses it.
    FORMATETC format = {ShellIdListArrayFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    ASSERT_EQ(data->QueryGetData(&format), S_OK);
    ExpectRefused(data.Get(), "two files");
}

TEST_F(TreeDropTest, HandMadeBlocksAreCheckedAgainstTheirSize) {
    const Bytes parent = ItemIdListBytes(fixture->ListOf("a.txt"));
    // The desktop as parent, so the file's whole list can stand as the item.
    const Bytes desktop = {0, 0};
    const Bytes child = parent;
    const uint32_t table = 12;
    const uint32_t childAt = table + 2;
    const Bytes good = Cat({Le32(1), Le32(table), Le32(childAt), desktop, child});

    // The well-formed block is taken: the refusals below are the checks', not the object's.
    {
        auto* data = new CBlockDataObject(ShellIdListArrayFormat(), good);
        const POINTL second = fixture->RowCentre(Tree().GetItemAtPosition(1));
        const auto effects = EnterAndOver(data, second, second);
        EXPECT_EQ(effects.first, static_cast<DWORD>(DROPEFFECT_LINK));
        EXPECT_EQ(effects.second, static_cast<DWORD>(DROPEFFECT_LINK));
        DWORD effect = DROPEFFECT_LINK;
        EXPECT_EQ(target->Drop(data, 0, second, &effect), S_OK);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
        ASSERT_EQ(Tree().GetItemCount(), 5);
        EXPECT_EQ(ItemIdListBytes(Tree().GetEntry(Tree().GetItemAtPosition(1))->GetItemIdList()),
                  parent);
        data->Release();
    }

    Bytes noTerminator =
        Cat({Le32(1), Le32(table), Le32(childAt), desktop, Bytes(child.begin(), child.end() - 2)});
    Bytes cbOne = good;
    cbOne[childAt] = 1;
    cbOne[childAt + 1] = 0;
    Bytes runsPast = good;
    runsPast[childAt] = 0xF0;
    runsPast[childAt + 1] = 0x7F;
    struct Case {
        const char* what;
        Bytes block;
    };
    const Case cases[] = {
        {"empty block", {}},
        {"shorter than the count", {1, 0}},
        {"count without offsets", Le32(1)},
        {"count 0", Cat({Le32(0), Le32(8), desktop})},
        {"count 2", Cat({Le32(2), Le32(16), Le32(18), Le32(18 + uint32_t(child.size())), desktop,
                         child, child})},
        {"count 0xFFFFFFFF", Cat({Le32(0xFFFFFFFFu), Le32(table), Le32(childAt), desktop, child})},
        {"child offset past the block",
         Cat({Le32(1), Le32(table), Le32(0x7FFFFFF0u), desktop, child})},
        {"parent offset past the block",
         Cat({Le32(1), Le32(0xFFFFFFF0u), Le32(childAt), desktop, child})},
        {"child offset on the table", Cat({Le32(1), Le32(table), Le32(4), desktop, child})},
        {"child and parent share bytes", Cat({Le32(1), Le32(table), Le32(table), desktop, child})},
        {"child without terminator", noTerminator},
        {"child identifier of one byte", cbOne},
        {"child identifier running past the block", runsPast},
    };
    for (const Case& c : cases) {
        auto* data = new CBlockDataObject(ShellIdListArrayFormat(), c.block);
        ExpectRefused(data, c.what);
        EXPECT_GT(data->GetDataCalls(), 0) << c.what;
        data->Release();
    }
    EXPECT_EQ(Tree().GetItemCount(), 5);
}

TEST_F(TreeDropTest, OtherFormatsAreRefused) {
    const Bytes text = {'C', ':', '\\', 'a', '.', 't', 'x', 't', 0};
    auto* data = new CBlockDataObject(CF_TEXT, text);
    ExpectRefused(data, "text");
    data->Release();
    // A shell data object without its item list format is no better.
    DWORD effect = DROPEFFECT_LINK;
    EXPECT_EQ(target->DragEnter(nullptr, 0, fixture->BelowRows(), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
}

TEST_F(TreeDropTest, DragOverAfterARefusalShowsNothingAndLeaveClearsTheMark) {
    auto* refused = new CBlockDataObject(CF_TEXT, {'x', 0});
    DWORD effect = DROPEFFECT_LINK;
    target->DragEnter(refused, 0, fixture->BelowRows(), &effect);
    for (HTREEITEM item = Tree().GetFirstItem(); item;
         item = TreeView_GetNextSibling(Tree(), item)) {
        effect = DROPEFFECT_LINK;
        EXPECT_EQ(target->DragOver(0, fixture->RowCentre(item), &effect), S_OK);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
        EXPECT_EQ(Tree().GetInsertMarkItem(), nullptr);
    }
    refused->Release();

    CComPtr<IDataObject> data;
    data.Attach(fixture->ShellDataObject({"a.txt"}));
    ASSERT_TRUE(data);
    const POINTL first = fixture->RowCentre(Tree().GetFirstItem());
    EnterAndOver(data.Get(), first, first);
    EXPECT_EQ(Tree().GetInsertMarkItem(), Tree().GetFirstItem());
    EXPECT_EQ(target->DragLeave(), S_OK);
    EXPECT_EQ(Tree().GetInsertMarkItem(), nullptr);
    EXPECT_EQ(Tree().GetItemCount(), 4);
}

} // namespace
