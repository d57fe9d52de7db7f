// Arbitrary bytes as dropped "Shell IDList Array" data: whatever the parser accepts must lie
// inside the block, apart from the table and from each other, and join into a well-formed
// absolute list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/core/ItemIdListBytes.h"
#include "common/core/ShellIdListArray.h"

using namespace corvina;

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckSpan(const IdListSpan& span, const std::vector<uint8_t>& block) {
    Check(span.data >= block.data() + 4);
    Check(span.size >= 2);
    Check(span.data + span.size <= block.data() + block.size());
    Check(ValidItemIdListSize(span.data, span.size) == span.size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy lets the sanitizer see any read past the block.
    const std::vector<uint8_t> block(data, data + size);
    const ShellIdListArray all = ParseShellIdListArray(block.data(), block.size());
    const ShellIdListArray single = ParseSingleItemIdListArray(block.data(), block.size());

    Check(single.Valid() == (all.Valid() && all.items.size() == 1));
    if (!all.Valid()) {
        Check(all.items.empty());
        return 0;
    }
    const size_t table = 4 + 4 * (all.items.size() + 1);
    Check(table <= block.size());
    Check(all.parent.data >= block.data() + table);
    CheckSpan(all.parent, block);
    for (size_t i = 0; i < all.items.size(); ++i) {
        const IdListSpan& item = all.items[i];
        CheckSpan(item, block);
        Check(item.data >= block.data() + table);
        const size_t joinedSize = AbsoluteItemIdListSize(all, i);
        Check(joinedSize == all.parent.size - 2 + item.size);
        std::vector<uint8_t> joined(joinedSize);
        BuildAbsoluteItemIdList(all, i, joined.data());
        Check(ValidItemIdListSize(joined.data(), joined.size()) == joinedSize);
        Check(ItemIdCount(joined.data()) == ItemIdCount(all.parent.data) + ItemIdCount(item.data));
    }
    return 0;
}
