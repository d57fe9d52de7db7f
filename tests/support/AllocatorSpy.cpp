#include "AllocatorSpy.h"

#include <objidl.h>

#include <cstdint>
#include <new>

class CMallocSpy final : public IMallocSpy {
public:
    CMallocSpy() { InitializeCriticalSection(&m_lock); }
    ~CMallocSpy() {
        if (m_slots) {
            VirtualFree(m_slots, 0, MEM_RELEASE);
        }
        DeleteCriticalSection(&m_lock);
    }
    bool Reserve() {
        m_slots = static_cast<const void**>(VirtualAlloc(nullptr, kSlots * sizeof(void*),
                                                         MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        return m_slots != nullptr;
    }

    size_t LiveCount() {
        EnterCriticalSection(&m_lock);
        const size_t count = m_count;
        LeaveCriticalSection(&m_lock);
        return count;
    }
    size_t FreeCount() {
        EnterCriticalSection(&m_lock);
        const size_t count = m_frees;
        LeaveCriticalSection(&m_lock);
        return count;
    }
    bool IsLive(const void* block) {
        EnterCriticalSection(&m_lock);
        const bool live = Find(block) != kNone;
        LeaveCriticalSection(&m_lock);
        return live;
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMallocSpy)) {
            *ppv = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // Its life is the owner's business (see the header), not a count's.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP_(SIZE_T) PreAlloc(SIZE_T size) override { return size; }
    STDMETHODIMP_(void*) PostAlloc(void* actual) override {
        if (actual) {
            EnterCriticalSection(&m_lock);
            Insert(actual);
            LeaveCriticalSection(&m_lock);
        }
        return actual;
    }
    STDMETHODIMP_(void*) PreFree(void* request, BOOL) override {
        if (request) {
            EnterCriticalSection(&m_lock);
            Erase(request);
            ++m_frees;
            LeaveCriticalSection(&m_lock);
        }
        return request;
    }
    STDMETHODIMP_(void) PostFree(BOOL) override {}
    STDMETHODIMP_(SIZE_T) PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override {
        if (request) {
            EnterCriticalSection(&m_lock);
            Erase(request);
            LeaveCriticalSection(&m_lock);
        }
        *newRequest = request;
        return size;
    }
    STDMETHODIMP_(void*) PostRealloc(void* actual, BOOL) override { return PostAlloc(actual); }
    STDMETHODIMP_(void*) PreGetSize(void* request, BOOL) override { return request; }
    STDMETHODIMP_(SIZE_T) PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    STDMETHODIMP_(void*) PreDidAlloc(void* request, BOOL) override { return request; }
    STDMETHODIMP_(int) PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    STDMETHODIMP_(void) PreHeapMinimize() override {}
    STDMETHODIMP_(void) PostHeapMinimize() override {}

private:
    // A fixed open-addressing table: the callbacks run inside the allocator and must not
    // allocate themselves.
    static constexpr size_t kSlots = size_t{1} << 16;
    static constexpr size_t kNone = ~size_t{0};

    static const void* Tombstone() { return reinterpret_cast<const void*>(~uintptr_t{0}); }
    static size_t SlotOf(const void* block) {
        return static_cast<size_t>((reinterpret_cast<uintptr_t>(block) >> 4) *
                                   0x9E3779B97F4A7C15ull % kSlots);
    }
    size_t Find(const void* block) const {
        for (size_t i = SlotOf(block), probes = 0; probes < kSlots && m_slots[i];
             i = (i + 1) % kSlots, ++probes) {
            if (m_slots[i] == block) {
                return i;
            }
        }
        return kNone;
    }
    void Insert(const void* block) {
        for (size_t i = SlotOf(block), probes = 0; probes < kSlots;
             i = (i + 1) % kSlots, ++probes) {
            if (!m_slots[i] || m_slots[i] == Tombstone()) {
                m_slots[i] = block;
                ++m_count;
                return;
            }
        }
    }
    bool Erase(const void* block) {
        const size_t slot = Find(block);
        if (slot == kNone) {
            return false;
        }
        m_slots[slot] = Tombstone();
        --m_count;
        return true;
    }

    CRITICAL_SECTION m_lock;
    const void** m_slots = nullptr;
    size_t m_count = 0;
    size_t m_frees = 0;
};

CTaskAllocatorSpy::CTaskAllocatorSpy() {
    auto* spy = new (std::nothrow) CMallocSpy;
    if (spy && spy->Reserve() && CoRegisterMallocSpy(spy) == S_OK) {
        m_spy = spy;
    } else {
        delete spy; // never registered: nothing can call it
    }
}

CTaskAllocatorSpy::~CTaskAllocatorSpy() {
    Revoke();
}

bool CTaskAllocatorSpy::Revoke() {
    if (!m_spy) {
        return true;
    }
    if (CoRevokeMallocSpy() != S_OK) {
        // Still held by the system: left alive for good, and no longer ours to read.
        m_spy = nullptr;
        return false;
    }
    delete m_spy;
    m_spy = nullptr;
    return true;
}

size_t CTaskAllocatorSpy::LiveCount() const {
    return m_spy ? m_spy->LiveCount() : 0;
}

bool CTaskAllocatorSpy::IsLive(const void* block) const {
    return m_spy && m_spy->IsLive(block);
}

size_t CTaskAllocatorSpy::FreeCount() const {
    return m_spy ? m_spy->FreeCount() : 0;
}
