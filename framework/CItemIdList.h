// Owner of one item ID list allocated with the shell's task allocator (the COM task
// allocator). Moves, never copies implicitly; Clone() copies the bytes into a new block.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstddef>
#include <utility>

class CItemIdList {
public:
    CItemIdList() = default;
    explicit CItemIdList(LPITEMIDLIST pidl) : m_pidl(pidl) {}
    CItemIdList(const CItemIdList&) = delete;
    CItemIdList& operator=(const CItemIdList&) = delete;
    CItemIdList(CItemIdList&& other) noexcept : m_pidl(other.Detach()) {}
    CItemIdList& operator=(CItemIdList&& other) noexcept {
        if (this != &other) {
            Attach(other.Detach());
        }
        return *this;
    }
    ~CItemIdList() { Free(); }

    LPITEMIDLIST Get() const { return m_pidl; }
    operator LPCITEMIDLIST() const { return m_pidl; }
    explicit operator bool() const { return m_pidl != nullptr; }

    // Takes ownership of pidl, freeing the list held before.
    void Attach(LPITEMIDLIST pidl) {
        if (pidl != m_pidl) {
            Free();
            m_pidl = pidl;
        }
    }
    // Gives up ownership; the caller frees the list with the task allocator.
    LPITEMIDLIST Detach() { return std::exchange(m_pidl, nullptr); }
    // For out-parameters of shell calls: frees the current list and returns its slot.
    LPITEMIDLIST* Receive() {
        Free();
        return &m_pidl;
    }
    void Free() {
        if (m_pidl) {
            CoTaskMemFree(m_pidl);
            m_pidl = nullptr;
        }
    }

    // Copies `size` bytes into a new task-allocator block (zero-filled first); empty on
    // allocation failure.
    static CItemIdList FromBytes(const void* bytes, size_t size) {
        void* block = CoTaskMemAlloc(size ? size : 1);
        if (!block) {
            return CItemIdList();
        }
        ZeroMemory(block, size ? size : 1);
        if (size) {
            CopyMemory(block, bytes, size);
        }
        return CItemIdList(static_cast<LPITEMIDLIST>(block));
    }

private:
    LPITEMIDLIST m_pidl = nullptr;
};
