#include "foldermenu/core/MenuOrder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvina {
namespace {

MenuOrderKey NoPath(const char* name, int special = 2) {
    MenuOrderKey key;
    key.displayName = name;
    key.specialRank = special;
    return key;
}

MenuOrderKey WithPath(const char* path, const char* name, bool directory, bool root = false) {
    MenuOrderKey key;
    key.hasPath = true;
    key.path = path;
    key.displayName = name;
    key.isDirectory = directory;
    key.isDriveRoot = root;
    return key;
}

std::vector<std::string> Names(const std::vector<MenuOrderKey>& keys,
                               const std::vector<size_t>& order) {
    std::vector<std::string> names;
    for (size_t index : order) {
        names.push_back(keys.at(index).displayName);
    }
    return names;
}

TEST(MenuOrder, AsciiComparisonIgnoresCaseAndOrdersPrefixesFirst) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"abc", "ABC", 0}, {"abc", "abd", -1}, {"B", "a", 1},
        {"ab", "abc", -1}, {"", "", 0},        {"\x82\xa0", "\x82\xa2", -1},
    };
    for (const Case& c : cases) {
        const int r = CompareAsciiNoCase(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    }
}

TEST(MenuOrder, FolderOrderPutsPathsFirstAndDriveRootsByPath) {
    const std::vector<MenuOrderKey> keys = {
        NoPath("Control Panel"),
        WithPath("C:\\Work\\zeta", "zeta", true),
        WithPath("D:\\", "Data (D:)", true, true),
        NoPath("Briefcase"),
        WithPath("C:\\Work\\Alpha", "Alpha", true),
        WithPath("c:\\", "System (C:)", true, true),
    };
    // In My Computer only drive roots have paths; they go by letter, not by label.
    const std::vector<MenuOrderKey> drives = {keys[2], keys[5], NoPath("Printers")};
    EXPECT_EQ(Names(drives, SortByFolderOrder(drives, CompareAsciiNoCase)),
              (std::vector<std::string>{"System (C:)", "Data (D:)", "Printers"}));
    const std::vector<MenuOrderKey> folders = {keys[0], keys[1], keys[3], keys[4]};
    EXPECT_EQ(Names(folders, SortByFolderOrder(folders, CompareAsciiNoCase)),
              (std::vector<std::string>{"Alpha", "zeta", "Briefcase", "Control Panel"}));
    // Any mix sorts without breaking the ordering's rules (checked by the sort's own use).
    const std::vector<size_t> all = SortByFolderOrder(keys, CompareAsciiNoCase);
    ASSERT_EQ(all.size(), keys.size());
    EXPECT_TRUE(keys[all[0]].hasPath && keys[all[1]].hasPath && keys[all[2]].hasPath &&
                keys[all[3]].hasPath);
}

TEST(MenuOrder, DesktopOrderFollowsTheDesktopsGroups) {
    const std::vector<MenuOrderKey> keys = {
        WithPath("C:\\", "Local Disk (C:)", true, true),
        WithPath("C:\\Users\\me\\Desktop\\notes.txt", "notes", false),
        NoPath("Recycle Bin"),
        WithPath("C:\\Users\\me\\Desktop\\Zoo", "Zoo", true),
        NoPath("Network", 1),
        WithPath("C:\\Users\\me\\Desktop\\apps", "apps", true),
        NoPath("My Computer", 0),
        WithPath("C:\\Users\\me\\Desktop\\Agenda.doc", "Agenda", false),
        NoPath("Control Panel"),
        WithPath("A:\\", "Floppy (A:)", true, true),
    };
    EXPECT_EQ(
        Names(keys, SortByDesktopOrder(keys, CompareAsciiNoCase)),
        (std::vector<std::string>{"My Computer", "Network", "Control Panel", "Recycle Bin", "apps",
                                  "Zoo", "Agenda", "notes", "Floppy (A:)", "Local Disk (C:)"}));
}

TEST(MenuOrder, SortsUseTheGivenComparison) {
    // A comparison that orders by length shows that texts never go through anything else.
    const MenuTextCompare byLength = [](const std::string& a, const std::string& b) {
        return static_cast<int>(a.size()) - static_cast<int>(b.size());
    };
    const std::vector<std::string> labels = {"ccc", "a", "bb", "dddd", "e"};
    EXPECT_EQ(SortByLabel(labels, byLength), (std::vector<size_t>{1, 4, 2, 0, 3}));
    EXPECT_EQ(SortByLabel(labels, CompareAsciiNoCase), (std::vector<size_t>{1, 2, 0, 3, 4}));
    EXPECT_TRUE(SortByLabel({}, CompareAsciiNoCase).empty());
}

TEST(MenuOrder, RankingDerivesPathsDriveRootsAndTheDesktopsSpecialFolders) {
    struct Item {
        const char* path;
        const char* name;
        bool directory;
    };
    struct Case {
        const char* what;
        bool desktop;
        DesktopFolderNames names; // of the drives and the network folder
        std::vector<Item> folders;
        std::vector<std::string> files;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"a folder: drive roots (either case) by path, then items without a path",
         false,
         {"This PC", "Network"},
         {{"", "This PC", false},
          {"D:\\", "A (D:)", true},
          {"", "Briefcase", false},
          {"c:\\", "Z (C:)", true}},
         {"b.txt", "a.txt"},
         {"Z (C:)", "A (D:)", "Briefcase", "This PC", "a.txt", "b.txt"}},
        {"the desktop: the drives folder, the network folder, then its groups",
         true,
         {"This PC", "Network"},
         {{"C:\\", "Local Disk (C:)", true},
          {"", "Briefcase", false},
          {"C:\\Desk\\notes.txt", "notes", false},
          {"", "Network", false},
          {"C:\\Desk\\Zoo", "Zoo", true},
          {"", "This PC", false}},
         {},
         {"This PC", "Network", "Briefcase", "Zoo", "notes", "Local Disk (C:)"}},
        {"the desktop: an empty name (the shell gave none) matches no item",
         true,
         {"", "Network"},
         {{"", "Zed", false}, {"", "", false}, {"", "Network", false}},
         {},
         {"Network", "", "Zed"}},
    };
    for (const Case& c : cases) {
        std::vector<MenuOrderKey> keys;
        for (const Item& item : c.folders) {
            MenuOrderKey key;
            key.path = item.path;
            key.displayName = item.name;
            key.isDirectory = item.directory;
            keys.push_back(key);
        }
        const FolderMenuOrder order =
            RankFolderMenu(keys, c.files, c.desktop ? &c.names : nullptr, CompareAsciiNoCase);
        std::vector<std::string> shown = Names(keys, order.folders);
        for (size_t index : order.files) {
            shown.push_back(c.files.at(index));
        }
        EXPECT_EQ(shown, c.shown) << c.what;
    }
}

TEST(MenuOrder, ManyItemsSortConsistently) {
    std::vector<MenuOrderKey> keys;
    for (int k = 0; k < 500; ++k) {
        const std::string name = "item" + std::to_string((k * 7919) % 500);
        if (k % 3 == 0) {
            keys.push_back(NoPath(name.c_str()));
        } else {
            keys.push_back(
                WithPath(("C:\\" + name).c_str(), name.c_str(), k % 3 == 1, k % 50 == 1));
        }
    }
    for (const auto& order : {SortByFolderOrder(keys, CompareAsciiNoCase),
                              SortByDesktopOrder(keys, CompareAsciiNoCase)}) {
        ASSERT_EQ(order.size(), keys.size());
        std::vector<bool> seen(keys.size(), false);
        for (size_t index : order) {
            ASSERT_LT(index, keys.size());
            EXPECT_FALSE(seen[index]);
            seen[index] = true;
        }
    }
}

} // namespace
} // namespace corvina
