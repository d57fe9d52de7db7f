#include "MenuListWriter.h"

#include "common/MenuItemList.h"
#include "common/ShellQueries.h"

::testing::AssertionResult
SaveListOfPaths(const std::vector<std::pair<std::string, std::string>>& items) {
    MenuItemList list;
    for (const auto& item : items) {
        MenuItemRecord record;
        record.itemIdList = ParsePathToItemIdList(item.first.c_str());
        if (!record.itemIdList) {
            return ::testing::AssertionFailure() << "the shell cannot parse " << item.first;
        }
        record.displayName = item.second;
        list.push_back(std::move(record));
    }
    if (!SaveMenuItemList(list)) {
        return ::testing::AssertionFailure() << "the list was not saved";
    }
    return ::testing::AssertionSuccess();
}
