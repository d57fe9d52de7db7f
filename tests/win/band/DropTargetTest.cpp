// The band toolbar's drop target called through IDropTarget as OLE calls it, on a toolbar
// made the way the band makes it: real shell data objects for scratch files, hand-made
// "Shell IDList Array" blocks, data of another format, and the list it saves.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "band/CBandToolBar.h"
#include "common/DroppedItemIdList.h"
#include "common/ItemIdList.h"
#include "common/MenuItemList.h"
#include "common/Registry.h"
#include "common/ShellQueries.h"
#include "framework/ComPtr.h"

namespace {

const char kListKey[] = "Software\\Velmora\\Corvina";

// Lives on the test's stack; refs tells how many the drop target holds.
using CBlockData = CStackBlockData;

class DropTargetTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
        InitCommonControlsEx(&controls);
        for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "x1.txt", "x2.txt"}) {
            scratch.CreateTextFile(name);
        }
    }
    void TearDown() override {
        toolbar.reset();
        if (frame) {
            DestroyWindow(frame);
        }
        OleUninitialize();
        RegistryTest::TearDown();
    }

    CItemIdList ListOf(const std::string& name) {
        return ParsePathToItemIdList(scratch.File(name).c_str());
    }
    // The list key holds these files, written as an older writer would: no display names.
    void StoreList(const std::vector<std::string>& names) {
        for (size_t k = 1; k <= names.size(); ++k) {
            char name[16];
            wsprintfA(name, "NO.%03u", static_cast<unsigned>(k));
            PutValue(kListKey, name, REG_BINARY, ItemIdListBytes(ListOf(names[k - 1]).Get()));
        }
        PutValue(kListKey, "Length", REG_DWORD, Le32(static_cast<uint32_t>(names.size())));
    }
    // A top-level window, a rebar in it and the band's toolbar in a band of the rebar.
    void MakeToolbar() {
        frame = CreateWindowExA(0, "STATIC", "drop test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 60,
                                700, 120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(frame, nullptr);
        HWND rebar = CreateWindowExA(0, REBARCLASSNAMEA, "",
                                     WS_CHILD | WS_VISIBLE | RBS_VARHEIGHT | CCS_NODIVIDER, 0, 0,
                                     700, 40, frame, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(rebar, nullptr);
        HWND window = CreateWindowExA(0, "ToolbarWindow32", "Velmora:CorvinaBar", 0x50019946, 0, 0,
                                      600, 22, rebar, reinterpret_cast<HMENU>(500),
                                      GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        toolbar = std::make_unique<CBandToolBar>();
        ASSERT_TRUE(toolbar->Initialize(window));
        REBARBANDINFOA band = {};
        band.cbSize = REBARBANDINFOA_V6_SIZE;
        band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
        band.hwndChild = window;
        band.cxMinChild = 0;
        band.cyMinChild = 22;
        band.cx = 600;
        SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&band));
        target = &toolbar->GetDropTarget();
    }
    HWND Window() { return toolbar->GetHwnd(); }
    RECT ButtonRect(int index) {
        RECT rect = {};
        SendMessageA(Window(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    POINTL ToScreen(int x, int y) {
        POINT p = {x, y};
        ClientToScreen(Window(), &p);
        return {p.x, p.y};
    }
    POINTL OnButton(int index) {
        const RECT r = ButtonRect(index);
        return ToScreen((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    TBINSERTMARK InsertMark() {
        TBINSERTMARK mark = {-2, 0};
        SendMessageA(Window(), TB_GETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
        return mark;
    }
    std::vector<int> CommandIds() {
        std::vector<int> ids;
        for (int i = 0; i < toolbar->GetButtonCount(); ++i) {
            TBBUTTON button = {};
            SendMessageA(Window(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
            ids.push_back(button.idCommand);
        }
        return ids;
    }
    // Which of the scratch files each stored record is ("?" for anything else).
    std::vector<std::string> StoredFiles() {
        std::vector<std::string> names;
        for (const MenuItemRecord& record : LoadMenuItemList()) {
            std::string name = "?";
            for (const char* file : {"a.txt", "b.txt", "c.txt", "d.txt", "x1.txt", "x2.txt"}) {
                if (ItemIdListBytes(record.itemIdList.Get()) ==
                    ItemIdListBytes(ListOf(file).Get())) {
                    name = file;
                }
            }
            names.push_back(name);
        }
        return names;
    }
    // The shell's own data object for scratch files.
    CComPtr<IDataObject> ShellData(const std::vector<std::string>& names) {
        CComPtr<IShellFolder> folder;
        CComPtr<IShellFolder> desktop;
        CItemIdList parent = ParsePathToItemIdList(scratch.Folder().c_str());
        CComPtr<IDataObject> data;
        if (FAILED(SHGetDesktopFolder(&desktop)) ||
            FAILED(desktop->BindToObject(parent.Get(), nullptr, IID_PPV_ARGS(&folder)))) {
            return data;
        }
        std::vector<CItemIdList> lists;
        std::vector<LPCITEMIDLIST> children;
        for (const std::string& name : names) {
            lists.push_back(ListOf(name));
            children.push_back(ILFindLastID(lists.back().Get()));
        }
        folder->GetUIObjectOf(frame, static_cast<UINT>(children.size()), children.data(),
                              IID_IDataObject, nullptr,
                              reinterpret_cast<void**>(data.GetAddressOf()));
        return data;
    }
    // A block for files of the scratch folder, as the shell would make it.
    Bytes GoodBlock(const std::vector<std::string>& names) {
        std::vector<Bytes> children;
        for (const std::string& name : names) {
            children.push_back(ItemIdListBytes(ILFindLastID(ListOf(name).Get())));
        }
        return IdListArray(ItemIdListBytes(ParsePathToItemIdList(scratch.Folder().c_str()).Get()),
                           children);
    }

    CScratchFolder scratch{"banddrop"};
    HWND frame = nullptr;
    std::unique_ptr<CBandToolBar> toolbar;
    CBandDropTarget* target = nullptr;
};

TEST_F(DropTargetTest, TwoShellItemsDroppedOnTheThirdButtonGoBeforeIt) {
    StoreList({"a.txt", "b.txt", "c.txt", "d.txt"});
    // The user named the second item; the others show the shell's names.
    PutValue(kListKey, "DN.002", REG_SZ, Bytes{'m', 'i', 'n', 'e'});
    MakeToolbar();
    ASSERT_EQ(toolbar->GetButtonCount(), 4);
    CComPtr<IDataObject> data = ShellData({"x1.txt", "x2.txt"});
    ASSERT_TRUE(data);

    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragEnter(data.Get(), MK_LBUTTON, OnButton(0), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, OnButton(2), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(InsertMark().iButton, 2);
    EXPECT_EQ(InsertMark().dwFlags, 0u);

    // The source allows only a copy; the object passed to Drop is not the one dragged.
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(nullptr, 0, OnButton(2), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(InsertMark().iButton, -1);
    EXPECT_FALSE(target->IsHoldingData()) << "the source's data object is kept after the drop";
    const std::vector<std::string> expected{"a.txt", "b.txt", "x1.txt", "x2.txt", "c.txt", "d.txt"};
    EXPECT_EQ(StoredFiles(), expected);
    // Only the user's own name is stored; every other record has an empty one, so the
    // shell's current name shows.
    const std::vector<std::string> names{"", "mine", "", "", "", ""};
    for (int k = 1; k <= 6; ++k) {
        char name[16];
        wsprintfA(name, "DN.%03d", k);
        DWORD type = 0;
        Bytes value;
        ASSERT_TRUE(GetValueA(kListKey, name, &type, &value)) << name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(std::string(value.begin(), value.end()).c_str(), names[k - 1]) << name;
    }
    std::string shown;
    ASSERT_TRUE(QueryLabel(ListOf("x1.txt").Get(), &shown));
    EXPECT_EQ(toolbar->GetLabels()[2], shown);
    // Shown at once, then rebuilt from the registry when the posted notice arrives.
    EXPECT_EQ(toolbar->GetButtonCount(), 6);
    EXPECT_TRUE(WaitFor([&] { return CommandIds() == std::vector<int>{1, 2, 3, 4, 5, 6}; }));
    EXPECT_EQ(toolbar->GetLabels().size(), 6u);
}

TEST_F(DropTargetTest, DroppedRightOfTheLastButtonIsAppended) {
    StoreList({"a.txt", "b.txt"});
    MakeToolbar();
    CBlockData data(ShellIdListArrayFormat(), GoodBlock({"x1.txt", "x2.txt"}));
    const RECT last = ButtonRect(1);
    const POINTL beyond = ToScreen(last.right + 40, (last.top + last.bottom) / 2);
    DWORD effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(&data, 0, beyond, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(InsertMark().iButton, 1);
    EXPECT_EQ(InsertMark().dwFlags, static_cast<DWORD>(TBIMHT_AFTER));
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(&data, 0, beyond, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(StoredFiles(), (std::vector<std::string>{"a.txt", "b.txt", "x1.txt", "x2.txt"}));
    // Every medium handed out went back.
    EXPECT_GE(data.getDataCalls, 1);
    EXPECT_EQ(data.counter.releases, data.getDataCalls);
    EXPECT_EQ(data.refs, 0u) << "the source's data object is kept after the drop";
    EXPECT_EQ(target->DragLeave(), S_OK);
    EXPECT_EQ(data.refs, 0u);
}

TEST_F(DropTargetTest, DroppedItemsShowTheirLabelsAndArrowsAtOnceAndAfterTheReload) {
    const DWORD on = 1;
    EnsureRegistryKey(HKEY_CURRENT_USER, kCorvinaBarKeyPath);
    WriteRegistryDword(HKEY_CURRENT_USER, kCorvinaBarKeyPath, "Text", on);
    const std::string docs = scratch.CreateFolder("docs");
    scratch.CreateTextFile("docs\\inside.txt");
    ASSERT_TRUE(CreateShellShortcut(scratch.File("docs.lnk"), docs));
    StoreList({"a.txt"});
    MakeToolbar();
    CComPtr<IDataObject> data = ShellData({"x1.txt", "docs.lnk"});
    ASSERT_TRUE(data);
    DWORD effect = DROPEFFECT_LINK;
    ASSERT_EQ(target->DragEnter(data.Get(), 0, OnButton(0), &effect), S_OK);
    ASSERT_EQ(target->Drop(nullptr, 0, OnButton(0), &effect), S_OK);
    ASSERT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    std::string label;
    ASSERT_TRUE(QueryLabel(ListOf("x1.txt").Get(), &label));
    auto text = [&](int index) {
        TBBUTTON button = {};
        SendMessageA(Window(), TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
        char buffer[MAX_PATH] = {};
        const LRESULT length = SendMessageA(Window(), TB_GETBUTTONTEXTA, button.idCommand,
                                            reinterpret_cast<LPARAM>(buffer));
        return std::make_pair(length > 0 ? std::string(buffer) : std::string(), button.fsStyle);
    };
    EXPECT_EQ(text(0).first, label);
    EXPECT_TRUE(text(0).second & BTNS_SHOWTEXT);
    // The shortcut's target is a folder with an entry.
    EXPECT_TRUE(text(1).second & BTNS_DROPDOWN);
    ASSERT_TRUE(WaitFor([&] { return CommandIds() == std::vector<int>{1, 2, 3}; }));
    EXPECT_EQ(text(0).first, label);
    SHDeleteValueA(HKEY_CURRENT_USER, kCorvinaBarKeyPath, "Text");
}

TEST_F(DropTargetTest, RefusedDropsLeaveTheListAlone) {
    StoreList({"a.txt", "b.txt", "c.txt", "d.txt"});
    MakeToolbar();
    const Bytes good = GoodBlock({"x1.txt"});
    const uint32_t table = 12;
    const uint32_t parentSize = static_cast<uint32_t>(
        GetItemIdListSize(ParsePathToItemIdList(scratch.Folder().c_str()).Get()));
    Bytes hugeCount = good;
    hugeCount[0] = hugeCount[1] = hugeCount[2] = hugeCount[3] = 0xFF;
    Bytes offsetPast = good;
    const Bytes past = Le32(static_cast<uint32_t>(good.size() + 8));
    std::copy(past.begin(), past.end(), offsetPast.begin() + 8);
    Bytes runsPast = good; // the child's first identifier claims more bytes than there are
    runsPast[table + parentSize] = 0xF0;
    Bytes unterminated(good.begin(), good.end() - 2);
    struct Case {
        const char* what;
        CLIPFORMAT format;
        Bytes block;
        bool offered; // DragEnter sees the shell format
    } cases[] = {
        {"text only", CF_TEXT, Bytes{'a', 'b', 0}, false},
        {"count huge", ShellIdListArrayFormat(), hugeCount, true},
        {"offset past the block", ShellIdListArrayFormat(), offsetPast, true},
        {"list running past the block", ShellIdListArrayFormat(), runsPast, true},
        {"unterminated", ShellIdListArrayFormat(), unterminated, true},
    };
    for (const Case& c : cases) {
        CBlockData data(c.format, c.block);
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
        EXPECT_EQ(target->DragEnter(&data, 0, OnButton(2), &effect), S_OK) << c.what;
        EXPECT_EQ(effect, static_cast<DWORD>(c.offered ? DROPEFFECT_LINK : DROPEFFECT_NONE))
            << c.what;
        EXPECT_EQ(target->IsHoldingData(), c.offered) << c.what;
        effect = DROPEFFECT_LINK;
        EXPECT_EQ(target->Drop(&data, 0, OnButton(2), &effect), S_OK) << c.what;
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << c.what;
        EXPECT_EQ(data.counter.releases, data.getDataCalls) << c.what;
        EXPECT_EQ(StoredFiles(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "d.txt"}))
            << c.what;
        EXPECT_FALSE(ValueExists(kListKey, "DN.001")) << c.what;
        EXPECT_EQ(toolbar->GetButtonCount(), 4) << c.what;
        target->DragLeave();
        EXPECT_EQ(data.refs, 0u) << c.what;
    }

    // Good data, dropped outside the client area.
    CBlockData data(ShellIdListArrayFormat(), good);
    DWORD effect = DROPEFFECT_LINK;
    EXPECT_EQ(target->DragEnter(&data, 0, OnButton(2), &effect), S_OK);
    RECT client = {};
    GetClientRect(Window(), &client);
    effect = DROPEFFECT_LINK;
    EXPECT_EQ(target->DragOver(0, ToScreen(client.right + 5, 2), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(InsertMark().iButton, -1);
    effect = DROPEFFECT_LINK;
    EXPECT_EQ(target->Drop(&data, 0, ToScreen(client.right + 5, 2), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_FALSE(ValueExists(kListKey, "DN.001"));
    EXPECT_EQ(target->DragLeave(), S_OK);
    EXPECT_EQ(data.refs, 0u);
}

TEST_F(DropTargetTest, AnEmptyToolbarRefusesEveryDrop) {
    MakeToolbar();
    ASSERT_EQ(toolbar->GetButtonCount(), 0);
    CComPtr<IDataObject> data = ShellData({"x1.txt"});
    ASSERT_TRUE(data);
    const POINTL inside = ToScreen(20, 10);
    DWORD effect = DROPEFFECT_LINK;
    EXPECT_EQ(target->DragEnter(data.Get(), 0, inside, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_LINK;
    EXPECT_EQ(target->DragOver(0, inside, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_LINK;
    EXPECT_EQ(target->Drop(data.Get(), 0, inside, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_FALSE(ValueExists(kListKey, "Length"));
    EXPECT_EQ(toolbar->GetButtonCount(), 0);
}

TEST_F(DropTargetTest, HeldObjectsAndBadArguments) {
    StoreList({"a.txt", "b.txt"});
    MakeToolbar();
    CBlockData first(ShellIdListArrayFormat(), GoodBlock({"x1.txt"}));
    CBlockData second(ShellIdListArrayFormat(), GoodBlock({"x2.txt"}));
    DWORD effect = 0;
    EXPECT_EQ(target->DragEnter(&first, 0, OnButton(0), &effect), S_OK);
    EXPECT_EQ(first.refs, 1u);
    EXPECT_EQ(target->DragEnter(&second, 0, OnButton(0), &effect), S_OK);
    EXPECT_EQ(first.refs, 0u);
    EXPECT_EQ(second.refs, 1u);
    // A null data object lets go of the held one and holds nothing.
    EXPECT_EQ(target->DragEnter(nullptr, 0, OnButton(0), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(second.refs, 0u);
    effect = DROPEFFECT_LINK;
    EXPECT_EQ(target->Drop(&first, 0, OnButton(0), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));

    EXPECT_EQ(target->DragEnter(&first, 0, OnButton(0), nullptr), E_INVALIDARG);
    EXPECT_EQ(target->DragOver(0, OnButton(0), nullptr), E_INVALIDARG);
    EXPECT_EQ(target->Drop(&first, 0, OnButton(0), nullptr), E_INVALIDARG);
    EXPECT_EQ(first.refs, 0u);
    EXPECT_FALSE(ValueExists(kListKey, "DN.001"));

    void* out = nullptr;
    EXPECT_EQ(target->QueryInterface(IID_IDropTarget, &out), S_OK);
    EXPECT_EQ(out, static_cast<IDropTarget*>(target));
    EXPECT_EQ(target->QueryInterface(IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, static_cast<IUnknown*>(target));
    EXPECT_EQ(target->QueryInterface(IID_IDataObject, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    // The window is OLE's drop target already.
    EXPECT_EQ(RegisterDragDrop(Window(), target), DRAGDROP_E_ALREADYREGISTERED);
}

} // namespace
