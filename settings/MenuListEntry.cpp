#include "settings/MenuListEntry.h"

#include <utility>

MenuListEntry::MenuListEntry(CItemIdList itemIdList, std::string name, int iconIndex)
    : m_itemIdList(std::move(itemIdList)), m_name(std::move(name)), m_iconIndex(iconIndex) {}

MenuListEntry::~MenuListEntry() {
    // The list first: it belongs to the task allocator, the rest to this program.
    m_itemIdList.Free();
}
