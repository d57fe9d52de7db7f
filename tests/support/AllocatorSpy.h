// Which task-allocator blocks are alive, seen through an IMallocSpy.
#pragma once

#include <windows.h>

#include <cstddef>

class CMallocSpy;

// Registers a spy for its lifetime. The system keeps a spy for as long as blocks it saw are
// alive, and may call it after a revoke that failed; so the spy itself lives on the heap and
// is freed only after a revoke that succeeded, never otherwise. A test that leaks then fails
// on its own checks (or Revoke) instead of crashing later in freed memory.
class CTaskAllocatorSpy {
public:
    CTaskAllocatorSpy();
    CTaskAllocatorSpy(const CTaskAllocatorSpy&) = delete;
    CTaskAllocatorSpy& operator=(const CTaskAllocatorSpy&) = delete;
    ~CTaskAllocatorSpy();

    bool Registered() const { return m_spy != nullptr; }
    // True once the system has let the spy go; false while blocks it saw are alive.
    bool Revoke();

    // Blocks allocated while registered and not freed yet.
    size_t LiveCount() const;
    bool IsLive(const void* block) const;
    // Frees seen while registered (a block freed twice counts twice).
    size_t FreeCount() const;

private:
    CMallocSpy* m_spy = nullptr;
};
