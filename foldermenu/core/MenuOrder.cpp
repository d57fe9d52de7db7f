#include "foldermenu/core/MenuOrder.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <utility>

#include "common/core/MenuItemLayout.h"

namespace corvina {

int CompareAsciiNoCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t k = 0; k < n; ++k) {
        const int ca = std::tolower(static_cast<unsigned char>(a[k]));
        const int cb = std::tolower(static_cast<unsigned char>(b[k]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

namespace {

// Each order is a group number and one text per item, so that the comparison is a strict
// weak order whatever mix of items a folder holds (std::sort needs that to stay in bounds).
struct RankedText {
    int group;
    int special;
    const std::string* text;
};

std::vector<size_t> SortRanked(const std::vector<RankedText>& ranked,
                               const MenuTextCompare& compare) {
    std::vector<size_t> order(ranked.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const RankedText& x = ranked[a];
        const RankedText& y = ranked[b];
        if (x.group != y.group) {
            return x.group < y.group;
        }
        if (x.special != y.special) {
            return x.special < y.special;
        }
        return compare(*x.text, *y.text) < 0;
    });
    return order;
}

} // namespace

std::vector<size_t> SortByFolderOrder(const std::vector<MenuOrderKey>& keys,
                                      const MenuTextCompare& compare) {
    std::vector<RankedText> ranked;
    ranked.reserve(keys.size());
    for (const MenuOrderKey& key : keys) {
        const bool byPath = key.hasPath && key.isDriveRoot;
        ranked.push_back({key.hasPath ? 0 : 1, 0, byPath ? &key.path : &key.displayName});
    }
    return SortRanked(ranked, compare);
}

std::vector<size_t> SortByDesktopOrder(const std::vector<MenuOrderKey>& keys,
                                       const MenuTextCompare& compare) {
    std::vector<RankedText> ranked;
    ranked.reserve(keys.size());
    for (const MenuOrderKey& key : keys) {
        if (!key.hasPath) {
            ranked.push_back({0, key.specialRank, &key.displayName});
        } else if (key.isDriveRoot) {
            ranked.push_back({3, 0, &key.path});
        } else if (key.isDirectory) {
            ranked.push_back({1, 0, &key.path});
        } else {
            // Files go by the same rule as items without a path.
            ranked.push_back({2, key.specialRank, &key.displayName});
        }
    }
    return SortRanked(ranked, compare);
}

std::vector<size_t> SortByLabel(const std::vector<std::string>& labels,
                                const MenuTextCompare& compare) {
    std::vector<RankedText> ranked;
    ranked.reserve(labels.size());
    for (const std::string& label : labels) {
        ranked.push_back({0, 0, &label});
    }
    return SortRanked(ranked, compare);
}

FolderMenuOrder RankFolderMenu(std::vector<MenuOrderKey> keys,
                               const std::vector<std::string>& fileLabels,
                               const DesktopFolderNames* desktop, const MenuTextCompare& compare) {
    for (MenuOrderKey& key : keys) {
        key.hasPath = !key.path.empty();
        key.isDriveRoot = key.hasPath && IsDriveRootText(key.path);
        key.specialRank = 2;
        if (desktop == nullptr) {
            continue;
        }
        if (!desktop->drives.empty() && key.displayName == desktop->drives) {
            key.specialRank = 0;
        } else if (!desktop->network.empty() && key.displayName == desktop->network) {
            key.specialRank = 1;
        }
    }
    FolderMenuOrder order;
    order.folders = desktop ? SortByDesktopOrder(keys, compare) : SortByFolderOrder(keys, compare);
    order.files = SortByLabel(fileLabels, compare);
    return order;
}

} // namespace corvina
