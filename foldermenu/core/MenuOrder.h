// The orders of the entries of a folder submenu, given each item's attributes fetched once
// beforehand: subfolders ("folder order"), the children of the desktop ("desktop order") and
// files (by label). Texts are compared through a caller-supplied function so that the
// Windows side can use the system's case-insensitive, double-byte aware comparison.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace corvina {

// <0, 0, >0 like strcmp.
using MenuTextCompare = std::function<int(const std::string&, const std::string&)>;

// Case-insensitive for ASCII letters only; for tests and systems without a better one.
int CompareAsciiNoCase(const std::string& a, const std::string& b);

// What the orders need to know of one item.
struct MenuOrderKey {
    bool hasPath = false; // the item has a file-system path
    bool isDriveRoot = false;
    bool isDirectory = false; // the path is an existing directory
    // 0: the drives folder (My Computer), 1: the network folder, 2: anything else; going by
    // the display name, as the desktop shows them.
    int specialRank = 2;
    std::string path;
    std::string displayName;
};

// Subfolders: items with a path first; drive roots by path, the rest by display name.
// Returns the indices of keys in that order; equal items keep their relative order.
std::vector<size_t> SortByFolderOrder(const std::vector<MenuOrderKey>& keys,
                                      const MenuTextCompare& compare);

// Desktop children: items without a path (the drives folder, then the network folder,
// then the rest by display name), then folders by path, files by display name, drive
// roots by path.
std::vector<size_t> SortByDesktopOrder(const std::vector<MenuOrderKey>& keys,
                                       const MenuTextCompare& compare);

// Plain labels, stable.
std::vector<size_t> SortByLabel(const std::vector<std::string>& labels,
                                const MenuTextCompare& compare);

// The names the desktop shows for the drives folder and the network folder; an empty name
// matches no item.
struct DesktopFolderNames {
    std::string drives;
    std::string network;
};

// The entries of a folder submenu in the order they are shown: subfolders (every child, for
// the desktop) first, then files. Indices into the keys and into the labels.
struct FolderMenuOrder {
    std::vector<size_t> folders;
    std::vector<size_t> files;
};

// Ranks a folder submenu from what was asked of each item once beforehand: a subfolder's
// display name and path (empty outside the file system; for the desktop's children also
// isDirectory), a file's label. Each key's hasPath, isDriveRoot and (with desktop, which
// names the desktop's special folders and selects the desktop order) specialRank are
// derived here, whatever the key held.
FolderMenuOrder RankFolderMenu(std::vector<MenuOrderKey> keys,
                               const std::vector<std::string>& fileLabels,
                               const DesktopFolderNames* desktop, const MenuTextCompare& compare);

} // namespace corvina
