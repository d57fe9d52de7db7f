// The one ownership model of owner-drawn menu item data: the menu's owner keeps every entry's
// data in one of these, by unique_ptr, and each entry carries a plain pointer to it. A pointer
// handed back by the system is looked up by address before anything behind it is read: menus
// may hold entries of others (the shell's own owner-drawn entries) whose data is not ours.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>
#include <utility>

template <class T> class CMenuItemDataOwner {
public:
    CMenuItemDataOwner() = default;
    CMenuItemDataOwner(CMenuItemDataOwner&&) noexcept = default;
    CMenuItemDataOwner& operator=(CMenuItemDataOwner&&) noexcept = default;
    CMenuItemDataOwner(const CMenuItemDataOwner&) = delete;
    CMenuItemDataOwner& operator=(const CMenuItemDataOwner&) = delete;

    // Keeps data and returns the plain pointer an entry is to carry; null (and data freed)
    // when there is no data or it could not be kept. Nothing is thrown: menus are built
    // inside message handlers.
    T* Keep(std::unique_ptr<T> data) noexcept {
        T* raw = data.get();
        if (raw == nullptr) {
            return nullptr;
        }
        try {
            m_items.emplace(raw, std::move(data));
        } catch (...) {
            return nullptr; // data was freed with the node that could not be stored
        }
        return raw;
    }
    // The data itemData points at when it is kept here; null otherwise. Compared as an
    // address only.
    T* Find(ULONG_PTR itemData) const {
        if (itemData == 0) {
            return nullptr;
        }
        const auto found = m_items.find(reinterpret_cast<const T*>(itemData));
        return found == m_items.end() ? nullptr : found->second.get();
    }
    bool Owns(ULONG_PTR itemData) const { return Find(itemData) != nullptr; }
    // Frees data if it is kept here; anything else is left alone.
    void Free(const T* data) { m_items.erase(data); }
    // Frees every item for which match(item) is true.
    template <class Match> void FreeIf(const Match& match) {
        for (auto it = m_items.begin(); it != m_items.end();) {
            it = match(*it->second) ? m_items.erase(it) : std::next(it);
        }
    }
    // Calls visit(item) for every item kept, in no particular order; visit must not change
    // what is kept.
    template <class Visit> void ForEach(const Visit& visit) const {
        for (const auto& item : m_items) {
            visit(*item.second);
        }
    }
    void Clear() { m_items.clear(); }
    size_t Size() const { return m_items.size(); }
    bool Empty() const { return m_items.empty(); }

private:
    std::unordered_map<const T*, std::unique_ptr<T>> m_items;
};
