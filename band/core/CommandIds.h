// Command ids of a toolbar's buttons: every new button takes the lowest id >= 1 that no
// button has, the same id a search from 1 upwards over all buttons would find, but without
// walking the buttons for every candidate, so that loading n buttons costs O(n log n).
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

namespace corvina {

constexpr int32_t kNoFreeCommandId = -1;
constexpr int32_t kCommandIdLimit = 0x7FFFFFFF; // ids stay below this

class CommandIdPool {
public:
    // No id in use.
    void Clear();
    // The lowest free id, now marked used; kNoFreeCommandId when none is left.
    int32_t Take();
    // The lowest free id without taking it.
    int32_t LowestFree() const;
    // An id that a button took some other way; ids < 1 or at the limit are ignored.
    void Add(int32_t id);
    // A button with this id is gone.
    void Remove(int32_t id);
    bool Contains(int32_t id) const { return m_used.count(id) != 0; }
    size_t Size() const { return m_used.size(); }

private:
    std::set<int32_t> m_used;
    // Every id below it is in use.
    mutable int32_t m_candidate = 1;
};

// The plain search: for i = 1, 2, ... below the limit, the first i not in `used` (each test
// walks all of them). The pool must always agree with it.
int32_t FindFreeCommandIdBySearch(const std::vector<int32_t>& used);

} // namespace corvina
