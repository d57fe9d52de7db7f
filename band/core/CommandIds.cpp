#include "band/core/CommandIds.h"

#include <algorithm>

namespace corvina {

void CommandIdPool::Clear() {
    m_used.clear();
    m_candidate = 1;
}

int32_t CommandIdPool::LowestFree() const {
    // Ids below the candidate are all used, so only a run of used ids starting at it needs
    // skipping; the skipped ids stay skipped until one of them is removed.
    auto it = m_used.lower_bound(m_candidate);
    while (it != m_used.end() && *it == m_candidate && m_candidate < kCommandIdLimit) {
        ++m_candidate;
        ++it;
    }
    return m_candidate < kCommandIdLimit ? m_candidate : kNoFreeCommandId;
}

int32_t CommandIdPool::Take() {
    const int32_t id = LowestFree();
    if (id != kNoFreeCommandId) {
        m_used.insert(id);
        m_candidate = id + 1;
    }
    return id;
}

void CommandIdPool::Add(int32_t id) {
    if (id >= 1 && id < kCommandIdLimit) {
        m_used.insert(id);
    }
}

void CommandIdPool::Remove(int32_t id) {
    if (m_used.erase(id) != 0 && id < m_candidate) {
        m_candidate = id;
    }
}

int32_t FindFreeCommandIdBySearch(const std::vector<int32_t>& used) {
    for (int32_t i = 1; i < kCommandIdLimit; ++i) {
        if (std::find(used.begin(), used.end(), i) == used.end()) {
            return i;
        }
    }
    return kNoFreeCommandId;
}

} // namespace corvina
