// COM server support: the class table, the factory, aggregation, the unload count and the
// exception guard, exercised in-process and through COM itself.
#include <windows.h>
#include <ole2.h>
#include <oleidl.h>

#include <gtest/gtest.h>

#include "TestSupport.h"

#include "framework/CActivationContext.h"
#include "framework/CClassFactory.h"
#include "framework/CComModule.h"
#include "framework/CComObjectRoot.h"
#include "framework/ComPtr.h"
#include "framework/ComTry.h"

#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// {8E0C6A51-2B7D-4F3E-9A14-5C6D7E8F9012}
const CLSID CLSID_TestObject = {
    0x8e0c6a51, 0x2b7d, 0x4f3e, {0x9a, 0x14, 0x5c, 0x6d, 0x7e, 0x8f, 0x90, 0x12}};
// {8E0C6A52-2B7D-4F3E-9A14-5C6D7E8F9012}
const CLSID CLSID_FailingObject = {
    0x8e0c6a52, 0x2b7d, 0x4f3e, {0x9a, 0x14, 0x5c, 0x6d, 0x7e, 0x8f, 0x90, 0x12}};
// {8E0C6A53-2B7D-4F3E-9A14-5C6D7E8F9012}
const CLSID CLSID_Unknown = {
    0x8e0c6a53, 0x2b7d, 0x4f3e, {0x9a, 0x14, 0x5c, 0x6d, 0x7e, 0x8f, 0x90, 0x12}};

void* const kSentinel = reinterpret_cast<void*>(static_cast<INT_PTR>(0xdeadbeef));

LONG g_liveObjects = 0;

// IPersist first (the identity), IOleWindow second. ContextSensitiveHelp throws to show
// that the guard turns exceptions into result codes.
class CTestObject : public CComObjectRoot<CTestObject>, public IPersist, public IOleWindow {
public:
    explicit CTestObject(IUnknown* outer) : CComObjectRoot(outer) {
        InterlockedIncrement(&g_liveObjects);
    }
    ~CTestObject() override { InterlockedDecrement(&g_liveObjects); }

    COM_IUNKNOWN_METHODS

    static const CQITableEntry* GetQITable() {
        static const CQITableEntry table[] = {QITABLE_ENTRY(CTestObject, IPersist),
                                              QITABLE_ENTRY(CTestObject, IOleWindow),
                                              {nullptr, 0}};
        return table;
    }
    static HRESULT Create(IUnknown* outer, REFIID riid, void** ppv) {
        return CreateInstance(outer, riid, ppv);
    }

    STDMETHODIMP GetClassID(CLSID* clsid) override {
        COM_TRY_BEGIN
        if (!clsid) {
            return E_POINTER;
        }
        *clsid = CLSID_TestObject;
        return S_OK;
        COM_TRY_END
    }
    STDMETHODIMP GetWindow(HWND* window) override {
        COM_TRY_BEGIN
        if (!window) {
            return E_POINTER;
        }
        *window = nullptr;
        return E_FAIL;
        COM_TRY_END
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override {
        COM_TRY_BEGIN
        if (enter) {
            throw std::runtime_error("help");
        }
        throw std::bad_alloc();
        COM_TRY_END
    }
};

// Creation succeeds but FinalConstruct fails: the object must not outlive CreateInstance.
class CFailingObject : public CComObjectRoot<CFailingObject>, public IPersist {
public:
    explicit CFailingObject(IUnknown* outer) : CComObjectRoot(outer) {
        InterlockedIncrement(&g_liveObjects);
    }
    ~CFailingObject() override { InterlockedDecrement(&g_liveObjects); }
    COM_IUNKNOWN_METHODS
    static const CQITableEntry* GetQITable() {
        static const CQITableEntry table[] = {QITABLE_ENTRY(CFailingObject, IPersist),
                                              {nullptr, 0}};
        return table;
    }
    static HRESULT Create(IUnknown* outer, REFIID riid, void** ppv) {
        return CreateInstance(outer, riid, ppv);
    }
    HRESULT FinalConstruct() { return E_ACCESSDENIED; }
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
};

const CClassEntry kClasses[] = {{&CLSID_TestObject, &CTestObject::Create},
                                {&CLSID_FailingObject, &CFailingObject::Create}};

class ComTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(module.Init(GetModuleHandleA(nullptr), kClasses, 2));
    }
    void TearDown() override {
        module.Term();
        CoUninitialize();
        EXPECT_EQ(0, g_liveObjects);
    }
    CComPtr<IClassFactory> Factory(REFCLSID clsid = CLSID_TestObject) {
        CComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, module.DllGetClassObject(
                            clsid, IID_IClassFactory,
                            reinterpret_cast<void**>(factory.ReleaseAndGetAddressOf())));
        return factory;
    }

    CComModule module;
};

TEST(ComModule, GetClassObjectErrorCodes) {
    CComModule module;
    void* out = kSentinel;
    EXPECT_EQ(E_INVALIDARG, module.DllGetClassObject(CLSID_TestObject, IID_IClassFactory, &out))
        << "no module data yet";
    ASSERT_TRUE(module.Init(GetModuleHandleA(nullptr), kClasses, 2));
    EXPECT_FALSE(module.Init(GetModuleHandleA(nullptr), kClasses, 2)) << "second Init";
    EXPECT_EQ(E_POINTER, module.DllGetClassObject(CLSID_TestObject, IID_IClassFactory, nullptr));
    out = kSentinel;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
              module.DllGetClassObject(CLSID_Unknown, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    out = kSentinel;
    EXPECT_EQ(E_NOINTERFACE, module.DllGetClassObject(CLSID_TestObject, IID_IPersist, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(S_OK, module.DllCanUnloadNow()) << "a failed query must not leave a lock";
    module.Term();
    out = kSentinel;
    EXPECT_EQ(E_INVALIDARG, module.DllGetClassObject(CLSID_TestObject, IID_IClassFactory, &out))
        << "after Term";
}

TEST_F(ComTest, FactoryIsCreatedOnceAndKept) {
    CComPtr<IClassFactory> first = Factory();
    CComPtr<IClassFactory> second = Factory();
    ASSERT_TRUE(first);
    EXPECT_EQ(first.Get(), second.Get());
    first.Reset();
    second.Reset();
    CComPtr<IClassFactory> third = Factory();
    CComPtr<IClassFactory> other = Factory(CLSID_FailingObject);
    EXPECT_NE(third.Get(), other.Get()) << "one factory per class";
}

TEST_F(ComTest, CanUnloadNowFollowsObjectsFactoriesAndServerLocks) {
    EXPECT_EQ(S_OK, module.DllCanUnloadNow());
    CComPtr<IClassFactory> factory = Factory();
    EXPECT_EQ(S_FALSE, module.DllCanUnloadNow()) << "a client holds the factory";
    factory->AddRef();
    factory->Release();
    EXPECT_EQ(1, module.GetLockCount()) << "one lock however many client references";

    CComPtr<IPersist> object;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IPersist,
                                            reinterpret_cast<void**>(object.GetAddressOf())));
    factory.Reset();
    EXPECT_EQ(S_FALSE, module.DllCanUnloadNow()) << "an object exists";
    EXPECT_EQ(1, module.GetLockCount());
    object.Reset();
    EXPECT_EQ(S_OK, module.DllCanUnloadNow()) << "all gone";

    factory = Factory();
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_FALSE, module.DllCanUnloadNow()) << "LockServer(TRUE) holds the module";
    factory = Factory();
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(S_OK, factory->LockServer(FALSE)) << "one unlock too many";
    factory.Reset();
    EXPECT_EQ(S_OK, module.DllCanUnloadNow());
    EXPECT_EQ(0, module.GetLockCount()) << "the count never goes below zero";
    module.Lock();
    EXPECT_EQ(S_FALSE, module.DllCanUnloadNow()) << "an extra Unlock must not hide a real lock";
    module.Unlock();
}

TEST_F(ComTest, FailedConstructionDestroysTheObject) {
    CComPtr<IClassFactory> factory = Factory(CLSID_FailingObject);
    void* out = kSentinel;
    EXPECT_EQ(E_ACCESSDENIED, factory->CreateInstance(nullptr, IID_IPersist, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0, g_liveObjects);

    CComPtr<IClassFactory> working = Factory();
    out = kSentinel;
    EXPECT_EQ(E_NOINTERFACE, working->CreateInstance(nullptr, IID_IDispatch, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0, g_liveObjects) << "a failed query destroys the new object";
    EXPECT_EQ(E_POINTER, working->CreateInstance(nullptr, IID_IPersist, nullptr));
    factory.Reset();
    working.Reset();
    EXPECT_EQ(S_OK, module.DllCanUnloadNow());
}

TEST_F(ComTest, QueryInterfaceFollowsTheTable) {
    CComPtr<IPersist> persist;
    ASSERT_EQ(S_OK, CTestObject::Create(nullptr, IID_IPersist,
                                        reinterpret_cast<void**>(persist.GetAddressOf())));
    CComPtr<IUnknown> unknown;
    CComPtr<IOleWindow> window;
    ASSERT_EQ(S_OK, persist.As(&unknown));
    ASSERT_EQ(S_OK, persist.As(&window));
    EXPECT_EQ(static_cast<void*>(persist.Get()), static_cast<void*>(unknown.Get()))
        << "IUnknown is the first table entry";
    EXPECT_NE(static_cast<void*>(persist.Get()), static_cast<void*>(window.Get()));
    CComPtr<IUnknown> fromWindow;
    ASSERT_EQ(S_OK, window.As(&fromWindow));
    EXPECT_EQ(unknown.Get(), fromWindow.Get()) << "same identity from every interface";

    struct Case {
        const IID* iid;
        HRESULT expected;
    };
    const Case cases[] = {{&IID_IDispatch, E_NOINTERFACE},
                          {&IID_IClassFactory, E_NOINTERFACE},
                          {&IID_IOleWindow, S_OK},
                          {&IID_IPersist, S_OK}};
    for (const Case& c : cases) {
        void* out = kSentinel;
        EXPECT_EQ(c.expected, persist->QueryInterface(*c.iid, &out));
        if (c.expected == S_OK) {
            ASSERT_NE(nullptr, out);
            static_cast<IUnknown*>(out)->Release();
        } else {
            EXPECT_EQ(nullptr, out) << "out pointer cleared on failure";
        }
    }
    EXPECT_EQ(E_POINTER, persist->QueryInterface(IID_IPersist, nullptr));
    // Reference counts: two QI'd references released above, three live pointers now.
    persist->AddRef();
    EXPECT_EQ(4u, persist->Release());
}

TEST_F(ComTest, ExceptionsBecomeResultCodes) {
    CComPtr<IOleWindow> window;
    ASSERT_EQ(S_OK, CTestObject::Create(nullptr, IID_IOleWindow,
                                        reinterpret_cast<void**>(window.GetAddressOf())));
    EXPECT_EQ(E_UNEXPECTED, window->ContextSensitiveHelp(TRUE));
    EXPECT_EQ(E_OUTOFMEMORY, window->ContextSensitiveHelp(FALSE));
}

TEST_F(ComTest, AggregationDelegatesToTheOuterObject) {
    CComPtr<IClassFactory> factory = Factory();
    COuter outer;
    void* out = kSentinel;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IPersist, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(0, g_liveObjects);

    IUnknown* inner = nullptr;
    ASSERT_EQ(S_OK,
              factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)));
    ASSERT_NE(nullptr, inner);
    EXPECT_NE(static_cast<IUnknown*>(&outer), inner) << "the inner unknown is its own";
    EXPECT_EQ(1, outer.refs) << "creating the inner object does not count on the outer";
    outer.inner = inner;

    // An interface of the inner object counts on and asks through the outer object.
    IPersist* persist = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)));
    EXPECT_EQ(2, outer.refs);
    persist->AddRef();
    EXPECT_EQ(3, outer.refs);
    persist->Release();
    EXPECT_EQ(2, outer.refs);

    const int queriesBefore = outer.queries;
    IUnknown* identity = nullptr;
    ASSERT_EQ(S_OK, persist->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity);
    EXPECT_EQ(queriesBefore + 1, outer.queries);
    identity->Release();

    IOleWindow* window = nullptr;
    ASSERT_EQ(S_OK, persist->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)));
    EXPECT_EQ(queriesBefore + 2, outer.queries);
    window->Release();

    // The inner unknown answers IUnknown with itself, not with the outer object.
    IUnknown* innerAgain = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&innerAgain)));
    EXPECT_EQ(inner, innerAgain);
    innerAgain->Release();

    persist->Release();
    EXPECT_EQ(1, outer.refs);
    EXPECT_EQ(1, g_liveObjects);
    EXPECT_EQ(0u, inner->Release());
    EXPECT_EQ(0, g_liveObjects);
}

TEST_F(ComTest, ThroughCom) {
    // The factory registered with COM the way a server's DllGetClassObject hands it out.
    CComPtr<IClassFactory> factory = Factory();
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, CoRegisterClassObject(CLSID_TestObject, factory.Get(), CLSCTX_INPROC_SERVER,
                                          REGCLS_MULTIPLEUSE, &cookie));
    {
        CComPtr<IPersist> persist;
        ASSERT_EQ(S_OK,
                  CoCreateInstance(CLSID_TestObject, nullptr, CLSCTX_INPROC_SERVER, IID_IPersist,
                                   reinterpret_cast<void**>(persist.GetAddressOf())));
        CLSID clsid = CLSID_NULL;
        EXPECT_EQ(S_OK, persist->GetClassID(&clsid));
        EXPECT_TRUE(IsEqualCLSID(CLSID_TestObject, clsid));
        CComPtr<IOleWindow> window;
        EXPECT_EQ(S_OK, persist.As(&window));
        EXPECT_EQ(E_UNEXPECTED, window->ContextSensitiveHelp(TRUE));

        COuter outer;
        void* out = kSentinel;
        EXPECT_EQ(
            CLASS_E_NOAGGREGATION,
            CoCreateInstance(CLSID_TestObject, &outer, CLSCTX_INPROC_SERVER, IID_IPersist, &out));
        EXPECT_EQ(nullptr, out);
    }
    EXPECT_EQ(S_OK, CoRevokeClassObject(cookie));
    factory.Reset();
    EXPECT_EQ(S_OK, module.DllCanUnloadNow());
}

TEST_F(ComTest, ConcurrentRequestsShareOneFactoryAndBalanceLocks) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 500;
    std::vector<IClassFactory*> seen(kThreads * kRounds, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t, &seen] {
            for (int i = 0; i < kRounds; ++i) {
                IClassFactory* factory = nullptr;
                if (SUCCEEDED(module.DllGetClassObject(CLSID_TestObject, IID_IClassFactory,
                                                       reinterpret_cast<void**>(&factory)))) {
                    seen[t * kRounds + i] = factory;
                    IPersist* persist = nullptr;
                    if (SUCCEEDED(factory->CreateInstance(nullptr, IID_IPersist,
                                                          reinterpret_cast<void**>(&persist)))) {
                        persist->Release();
                    }
                    factory->Release();
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (IClassFactory* factory : seen) {
        ASSERT_NE(nullptr, factory);
        EXPECT_EQ(seen[0], factory);
    }
    EXPECT_EQ(0, module.GetLockCount());
    EXPECT_EQ(S_OK, module.DllCanUnloadNow());
}

TEST_F(ComTest, ServerUnlocksGiveBackOnlyTheirOwnLocks) {
    // An unlock too many must not take the lock of a client reference or of a live object.
    struct Case {
        const char* name;
        bool holdFactory;
        bool holdObject;
        int locks;
        int unlocks;
        HRESULT expected; // DllCanUnloadNow after the calls, the factory released unless held
    };
    const Case cases[] = {
        {"an unlock too many while a client holds the factory", true, false, 0, 1, S_FALSE},
        {"unlocks too many while an object lives", false, true, 0, 2, S_FALSE},
        {"a lock outlives the factory reference", false, false, 2, 1, S_FALSE},
        {"balanced locks", false, false, 2, 2, S_OK},
        {"more unlocks than locks", false, false, 1, 3, S_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CComPtr<IClassFactory> factory = Factory();
        ASSERT_TRUE(factory);
        CComPtr<IPersist> object;
        if (c.holdObject) {
            ASSERT_EQ(S_OK,
                      factory->CreateInstance(nullptr, IID_IPersist,
                                              reinterpret_cast<void**>(object.GetAddressOf())));
        }
        for (int i = 0; i < c.locks; ++i) {
            EXPECT_EQ(S_OK, factory->LockServer(TRUE));
        }
        for (int i = 0; i < c.unlocks; ++i) {
            EXPECT_EQ(S_OK, factory->LockServer(FALSE));
        }
        if (!c.holdFactory) {
            factory.Reset();
        }
        EXPECT_EQ(c.expected, module.DllCanUnloadNow());

        object.Reset();
        if (!factory) {
            factory = Factory();
        }
        for (int i = c.unlocks; i < c.locks; ++i) {
            EXPECT_EQ(S_OK, factory->LockServer(FALSE));
        }
        factory.Reset();
        EXPECT_EQ(0, module.GetLockCount()) << "every lock given back, none twice";
        EXPECT_EQ(S_OK, module.DllCanUnloadNow());
    }
}

TEST_F(ComTest, ConcurrentClientsNeverFindTheServerUnloadable) {
    // Each thread holds the factory (and sometimes a server lock) for a moment and asks
    // DllCanUnloadNow meanwhile, while the others take and drop their own references.
    constexpr int kThreads = 4;
    constexpr int kRounds = 200000;
    volatile LONG unloadableWhileHeld = 0;
    volatile LONG failedRequests = 0;
    volatile LONG waiting = kThreads; // all start together, so that their rounds overlap
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t, &unloadableWhileHeld, &failedRequests, &waiting] {
            InterlockedDecrement(&waiting);
            while (InterlockedCompareExchange(&waiting, 0, 0) != 0) {
                SwitchToThread();
            }
            for (int i = 0; i < kRounds; ++i) {
                IClassFactory* factory = nullptr;
                if (FAILED(module.DllGetClassObject(CLSID_TestObject, IID_IClassFactory,
                                                    reinterpret_cast<void**>(&factory)))) {
                    InterlockedIncrement(&failedRequests);
                    continue;
                }
                if (module.DllCanUnloadNow() != S_FALSE) {
                    InterlockedIncrement(&unloadableWhileHeld);
                }
                const bool serverLock = (i + t) % 3 == 0;
                if (serverLock) {
                    factory->LockServer(TRUE);
                }
                factory->AddRef();
                factory->Release();
                if (module.DllCanUnloadNow() != S_FALSE) {
                    InterlockedIncrement(&unloadableWhileHeld);
                }
                if (serverLock) {
                    factory->LockServer(FALSE);
                }
                factory->Release();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(0, failedRequests);
    EXPECT_EQ(0, unloadableWhileHeld);
    EXPECT_EQ(0, module.GetLockCount());
    EXPECT_EQ(S_OK, module.DllCanUnloadNow());
}

TEST(ActivationContext, ComesFromTheManifestResource) {
    CActivationContext missing;
    EXPECT_FALSE(missing.Create(GetModuleHandleA(nullptr), 7)) << "no manifest 7";
    EXPECT_FALSE(missing.IsValid());

    CActivationContext context;
    ASSERT_TRUE(context.Create(GetModuleHandleA(nullptr), 2));
    HANDLE before = nullptr;
    ASSERT_TRUE(GetCurrentActCtx(&before));
    {
        CActivationContext::CScope scope(context);
        EXPECT_TRUE(scope.IsActive());
        HANDLE current = nullptr;
        ASSERT_TRUE(GetCurrentActCtx(&current));
        EXPECT_EQ(context.Get(), current);
        ReleaseActCtx(current);
    }
    HANDLE after = nullptr;
    ASSERT_TRUE(GetCurrentActCtx(&after));
    EXPECT_EQ(before, after) << "the scope deactivates what it activated";
    if (before) {
        ReleaseActCtx(before);
    }
    if (after) {
        ReleaseActCtx(after);
    }
}

} // namespace
