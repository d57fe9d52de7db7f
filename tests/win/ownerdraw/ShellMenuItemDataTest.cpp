// The item data's defaults, its label buffer and its ownership of the item ID list.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "TestSupport.h"
#include "common/ShellMenuItemData.h"
#include "common/ShellQueries.h"

namespace {

class ShellMenuItemDataTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(ShellMenuItemDataTest, StartsEmptyWithTheSystemImageList) {
    ShellMenuItemData data;
    EXPECT_STREQ(data.GetLabel(), "");
    EXPECT_EQ(data.GetKind(), MenuItemKind::None);
    EXPECT_EQ(data.GetIconIndex(), -1);
    EXPECT_EQ(data.GetItemIdList(), nullptr);
    EXPECT_EQ(data.GetSubmenu(), nullptr);
    ASSERT_NE(data.GetImageList(), nullptr);
    EXPECT_EQ(data.GetImageList(), SystemSmallImageList()) << "one list for every entry";

    // The same list the shell hands out for small icons of any path.
    SHFILEINFOA info = {};
    const HIMAGELIST shellList = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    EXPECT_EQ(data.GetImageList(), shellList);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(data.GetImageList(), &width, &height));
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
}

TEST_F(ShellMenuItemDataTest, LabelIsCutToItsBuffer) {
    struct Case {
        size_t length;
        size_t kept;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {258, 258}, {259, 259}, {260, 259}, {300, 259}};
    for (const Case& c : cases) {
        std::string text;
        for (size_t i = 0; i < c.length; ++i) {
            text.push_back(static_cast<char>('a' + i % 26));
        }
        ShellMenuItemData data;
        data.SetLabel(text.c_str());
        EXPECT_EQ(std::strlen(data.GetLabel()), c.kept) << c.length;
        EXPECT_EQ(std::string(data.GetLabel()), text.substr(0, c.kept));
    }
    ShellMenuItemData data;
    data.SetLabel("before");
    data.SetLabel(nullptr);
    EXPECT_STREQ(data.GetLabel(), "");
}

TEST_F(ShellMenuItemDataTest, LabelIsNotCutInsideADoubleByteCharacter) {
    // 日 in Shift-JIS is 93 FA; at bytes 259-260 it would be split by the terminator.
    const std::string nichi = "\x93\xFA";
    const bool japanese = IsJapaneseRun();
    if (japanese) {
        ASSERT_EQ(GetACP(), 932u);
        ASSERT_EQ(ToAnsi(L"日"), nichi);
    }
    struct Case {
        std::string text;
        size_t keptOnJapanese;
        size_t keptElsewhere; // single-byte code page: every byte is a character
    };
    const Case cases[] = {
        {std::string(258, 'a') + nichi, 258, 259},
        {std::string(257, 'a') + nichi + "b", 259, 259},
        {std::string(256, 'a') + nichi + nichi, 258, 259},
        {std::string(130, 'a') + std::string(70, 'b') + nichi + std::string(60, 'c'), 259, 259},
    };
    for (const Case& c : cases) {
        ShellMenuItemData data;
        data.SetLabel(c.text.c_str());
        const size_t kept = japanese ? c.keptOnJapanese : c.keptElsewhere;
        EXPECT_EQ(std::strlen(data.GetLabel()), kept) << c.text.size();
        EXPECT_EQ(std::string(data.GetLabel()), c.text.substr(0, kept));
    }
    if (japanese) {
        // A real label from wide text keeps its bytes.
        const std::string label = ToAnsi(L"デスクトップ\t表示");
        ShellMenuItemData data;
        data.SetLabel(label.c_str());
        EXPECT_EQ(std::string(data.GetLabel()), label);
    }
}

TEST_F(ShellMenuItemDataTest, VirtualAccessorsKeepWhatIsSet) {
    std::unique_ptr<ShellMenuItemData> data = std::make_unique<ShellMenuItemData>();
    HIMAGELIST other = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    ASSERT_NE(other, nullptr);
    data->SetKind(MenuItemKind::FolderSubmenu);
    data->SetIconIndex(7);
    data->SetImageList(other);
    data->SetLabel("Label");
    HMENU submenu = CreatePopupMenu();
    data->SetSubmenu(submenu);
    EXPECT_EQ(data->GetKind(), MenuItemKind::FolderSubmenu);
    EXPECT_EQ(static_cast<LONG>(data->GetKind()), 2);
    EXPECT_EQ(data->GetIconIndex(), 7);
    EXPECT_EQ(data->GetImageList(), other);
    EXPECT_STREQ(data->GetLabel(), "Label");
    EXPECT_EQ(data->GetSubmenu(), submenu);
    data.reset();
    // The submenu belongs to the menu's builder, not to the entry.
    EXPECT_TRUE(IsMenu(submenu));
    DestroyMenu(submenu);
    ImageList_Destroy(other);
}

TEST_F(ShellMenuItemDataTest, OwnsItsItemIdList) {
    CTaskAllocatorSpy spy;
    ASSERT_TRUE(spy.Registered());
    CScratchFolder folder;
    const std::string file = folder.CreateTextFile("owned.txt");

    // A list the shell allocated, handed over and freed with the entry.
    CItemIdList parsed = ParsePathToItemIdList(file.c_str());
    ASSERT_TRUE(parsed);
    const void* first = parsed.Get();
    ASSERT_TRUE(spy.IsLive(first));
    auto data = std::make_unique<ShellMenuItemData>();
    data->SetItemIdList(std::move(parsed));
    EXPECT_FALSE(parsed);
    EXPECT_EQ(data->GetItemIdList(), first);
    EXPECT_TRUE(spy.IsLive(first));
    data.reset();
    EXPECT_FALSE(spy.IsLive(first)) << "destroying the entry frees its list";

    // Replacing frees the list held before; detaching gives it back unfreed.
    data = std::make_unique<ShellMenuItemData>();
    CItemIdList a = ParsePathToItemIdList(file.c_str());
    CItemIdList b = ParsePathToItemIdList(folder.Path().c_str());
    ASSERT_TRUE(a && b);
    const void* aBlock = a.Get();
    const void* bBlock = b.Get();
    data->SetItemIdList(std::move(a));
    data->SetItemIdList(std::move(b));
    EXPECT_FALSE(spy.IsLive(aBlock));
    EXPECT_TRUE(spy.IsLive(bBlock));
    CItemIdList back = data->DetachItemIdList();
    EXPECT_EQ(back.Get(), bBlock);
    EXPECT_EQ(data->GetItemIdList(), nullptr);
    data.reset();
    EXPECT_TRUE(spy.IsLive(bBlock));
    back.Free();
    EXPECT_FALSE(spy.IsLive(bBlock));
}

} // namespace
