// The server's exports and the extension object's COM surface: interfaces, aggregation,
// unloading, IDispatch from the type library, and what one context menu leaves behind.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "CContextMenuHost.h"
#include "ExtensionTestSupport.h"

namespace {

const IID IID_ICorvinaExtentionLocal = {
    0x6D2E8B14, 0x9C3A, 0x4F57, {0xB1, 0xE0, 0x2A, 0x7C, 0x5D, 0x93, 0xE8, 0x61}};

void* const kSentinel = reinterpret_cast<void*>(static_cast<INT_PTR>(0x5EED));

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override { CUserList::Clear(); }
    void TearDown() override { CUserList::Clear(); }
    CComScope m_com;
};

TEST_F(ServerTest, QueryInterfaceAnswersExactlyItsInterfacesWithOneIdentity) {
    CServerCopy server(true);
    ASSERT_TRUE(server.Loaded());
    CComPtr<IUnknown> object;
    ASSERT_EQ(server.Create(IID_IUnknown, object), S_OK);

    struct Case {
        const IID* iid;
        bool answered;
    };
    const Case cases[] = {{&IID_IShellExtInit, true},          {&IID_IContextMenu, true},
                          {&IID_IContextMenu2, true},          {&IID_IContextMenu3, true},
                          {&IID_ICorvinaExtentionLocal, true}, {&IID_IDispatch, true},
                          {&IID_IShellFolder, false},          {&IID_IPersist, false},
                          {&IID_IClassFactory, false}};
    for (const Case& c : cases) {
        void* pointer = kSentinel;
        const HRESULT hr = object->QueryInterface(*c.iid, &pointer);
        if (!c.answered) {
            EXPECT_EQ(hr, E_NOINTERFACE);
            EXPECT_EQ(pointer, nullptr);
            continue;
        }
        ASSERT_EQ(hr, S_OK);
        CComPtr<IUnknown> asked;
        asked.Attach(static_cast<IUnknown*>(pointer));
        CComPtr<IUnknown> identity;
        ASSERT_EQ(asked.As(&identity), S_OK);
        EXPECT_EQ(identity.Get(), object.Get());
    }
    // The three context-menu interfaces share one implementation; IDispatch is the dual
    // interface's.
    CComPtr<IContextMenu> menu1;
    CComPtr<IContextMenu3> menu3;
    CComPtr<IDispatch> dispatch;
    void* dual = nullptr;
    ASSERT_EQ(object.As(&menu1), S_OK);
    ASSERT_EQ(object.As(&menu3), S_OK);
    ASSERT_EQ(object.As(&dispatch), S_OK);
    ASSERT_EQ(object->QueryInterface(IID_ICorvinaExtentionLocal, &dual), S_OK);
    EXPECT_EQ(static_cast<void*>(menu1.Get()), static_cast<void*>(menu3.Get()));
    EXPECT_EQ(static_cast<void*>(dispatch.Get()), dual);
    static_cast<IUnknown*>(dual)->Release();
}

TEST_F(ServerTest, AggregationHandsOutTheInnerUnknownAndDelegatesCounts) {
    CServerCopy server(true);
    CComPtr<IClassFactory> factory;
    ASSERT_EQ(server.GetClassObject(CServerCopy::kClsid, IID_IClassFactory,
                                    reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);
    COuter outer;
    void* pointer = kSentinel;
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IContextMenu, &pointer), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(pointer, nullptr);

    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)),
              S_OK);
    ASSERT_NE(outer.inner, nullptr);
    IContextMenu* menu = nullptr;
    ASSERT_EQ(outer.inner->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)), S_OK);
    EXPECT_EQ(outer.refs, 2u); // the interface's reference went to the outer object
    IUnknown* identity = nullptr;
    ASSERT_EQ(menu->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
    identity->Release();
    menu->Release();
    EXPECT_EQ(outer.refs, 1u);
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE);
    outer.inner->Release();
    outer.inner = nullptr;
    factory.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
}

TEST_F(ServerTest, CanUnloadOnlyWhenNoObjectFactoryOrLockRemains) {
    CServerCopy server(true);
    ASSERT_TRUE(server.Loaded());
    EXPECT_EQ(server.CanUnloadNow(), S_OK);

    CComPtr<IUnknown> object;
    ASSERT_EQ(server.Create(IID_IContextMenu, object), S_OK);
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE); // the object (and no factory: Create let it go)
    object.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_OK);

    CComPtr<IClassFactory> factory;
    ASSERT_EQ(server.GetClassObject(CServerCopy::kClsid, IID_IClassFactory,
                                    reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE); // a factory held by a client
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_FALSE); // a lock without a factory
    ASSERT_EQ(server.GetClassObject(CServerCopy::kClsid, IID_IClassFactory,
                                    reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
}

TEST_F(ServerTest, ClassObjectOnlyForTheExtensionClass) {
    CServerCopy server(true);
    const CLSID other = {
        0x9E3B4C71, 0x2D58, 0x4A0F, {0xB6, 0xC3, 0x71, 0xE8, 0xD2, 0xA4, 0x5F, 0x90}};
    void* pointer = kSentinel;
    EXPECT_EQ(server.GetClassObject(other, IID_IClassFactory, &pointer), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(pointer, nullptr);
    EXPECT_EQ(server.GetClassObject(CServerCopy::kClsid, IID_IClassFactory, nullptr), E_POINTER);
    pointer = kSentinel;
    EXPECT_EQ(server.GetClassObject(CServerCopy::kClsid, IID_IShellFolder, &pointer),
              E_NOINTERFACE);
    EXPECT_EQ(pointer, nullptr);
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
}

TEST_F(ServerTest, DispatchIsServedFromTheEmbeddedTypeLibrary) {
    CServerCopy server(true);
    CComPtr<IDispatch> dispatch;
    ASSERT_EQ(server.Create(IID_IDispatch, dispatch), S_OK);
    UINT count = 0;
    ASSERT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(dispatch->GetTypeInfoCount(nullptr), E_POINTER);

    CComPtr<ITypeInfo> info;
    ASSERT_EQ(dispatch->GetTypeInfo(0, 0, &info), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, IID_ICorvinaExtentionLocal));
    info->ReleaseTypeAttr(attributes);
    ITypeInfo* none = reinterpret_cast<ITypeInfo*>(kSentinel);
    EXPECT_EQ(dispatch->GetTypeInfo(1, 0, &none), DISP_E_BADINDEX);
    EXPECT_EQ(none, nullptr);

    OLECHAR name[] = L"NoSuchMember";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_IContextMenu, names, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
    DISPPARAMS params = {};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(
        dispatch->Invoke(4242, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
        DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(dispatch->Invoke(4242, IID_IContextMenu, 0, DISPATCH_METHOD, &params, &result,
                               nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
}

TEST_F(ServerTest, MenuMessagesSucceedAndLeaveTheResultAlone) {
    CServerCopy server(true);
    CComPtr<IContextMenu3> menu;
    ASSERT_EQ(server.Create(IID_IContextMenu3, menu), S_OK);
    EXPECT_EQ(menu->HandleMenuMsg(WM_INITMENUPOPUP, 0, 0), S_OK);
    for (UINT message :
         {UINT{WM_INITMENUPOPUP}, UINT{WM_MENUCHAR}, UINT{WM_DRAWITEM}, UINT{WM_MEASUREITEM}}) {
        LRESULT result = 0x5EED;
        // Paint and size requests without data (lParam 0) must not be touched either.
        EXPECT_EQ(menu->HandleMenuMsg2(message, 0, 0, &result), S_OK) << message;
        EXPECT_EQ(result, 0x5EED) << message;
    }
    EXPECT_EQ(menu->HandleMenuMsg2(WM_INITMENUPOPUP, 0, 0, nullptr), S_OK);
}

TEST_F(ServerTest, ForeignItemDataIsNeverPainted) {
    CScratchFolder files("foreign");
    CUserList list({{files.CreateTextFile("a.txt"), "A"}});
    CServerCopy server(true);
    CComPtr<IUnknown> object;
    ASSERT_EQ(server.Create(IID_IUnknown, object), S_OK);
    CContextMenuHost host;
    ASSERT_EQ(host.Add(object.Get()), S_OK);
    ASSERT_EQ(host.QueryHandlers(), S_OK);

    CCanvas canvas(120, 24);
    canvas.Fill(RGB(1, 2, 3));
    char notOurs[512] = {};
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = host.FirstId(0);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.hDC = canvas.Dc();
    draw.rcItem = {0, 0, 120, 24};
    draw.itemData = reinterpret_cast<ULONG_PTR>(notOurs);
    LRESULT result = 0;
    EXPECT_EQ(host.ForwardMenuMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), &result),
              S_OK);
    EXPECT_EQ(canvas.Pixel(60, 12), RGB(1, 2, 3));
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemID = host.FirstId(0);
    measure.itemData = reinterpret_cast<ULONG_PTR>(notOurs);
    EXPECT_EQ(
        host.ForwardMenuMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), &result),
        S_OK);
    EXPECT_EQ(measure.itemWidth, 0u);
}

// One whole context menu: create, initialise, fill, measure and paint every entry, release.
void RunOneContextMenu(const CServerCopy& server, size_t* liveWhileShown,
                       const CTaskAllocatorSpy* spy) {
    CComPtr<IUnknown> object;
    ASSERT_EQ(server.Create(IID_IUnknown, object), S_OK);
    CContextMenuHost host;
    ASSERT_EQ(host.Add(object.Get()), S_OK);
    object.Reset();
    ASSERT_EQ(host.QueryHandlers(), S_OK);
    // Asked twice, as Explorer may: the first submenu goes, its entries must not leak.
    ASSERT_EQ(host.QueryHandlers(), S_OK);
    HMENU submenu = GetSubMenu(host.Menu(), 0);
    ASSERT_NE(submenu, nullptr);
    CCanvas canvas(200, 24);
    for (int i = 0; i < GetMenuItemCount(submenu); ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_DATA | MIIM_STATE;
        ASSERT_TRUE(GetMenuItemInfoA(submenu, static_cast<UINT>(i), TRUE, &info));
        MEASUREITEMSTRUCT measure = {ODT_MENU, 0, info.wID, 0, 0, info.dwItemData};
        host.ForwardMenuMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), nullptr);
        for (UINT state : {0u, UINT{ODS_SELECTED}, UINT{ODS_GRAYED}}) {
            DRAWITEMSTRUCT draw = {};
            draw.CtlType = ODT_MENU;
            draw.itemID = info.wID;
            draw.itemAction = ODA_DRAWENTIRE;
            draw.itemState = state;
            draw.hDC = canvas.Dc();
            draw.rcItem = {0, 0, 200, 24};
            draw.itemData = info.dwItemData;
            host.ForwardMenuMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), nullptr);
        }
    }
    if (liveWhileShown) {
        *liveWhileShown = spy->LiveCount();
    }
}

TEST_F(ServerTest, NothingIsLeftAfterTheHostReleasesTheObject) {
    CScratchFolder files("leak");
    CreateDirectoryA(files.File("folder").c_str(), nullptr);
    CUserList list({{files.CreateTextFile("a.txt"), ""},
                    {files.File("folder"), "Folder"},
                    {files.CreateTextFile("b.txt"), "B"}});
    CServerCopy server(true);

    // The GDI count must be able to see a single object come and go.
    const DWORD before = CountGdiObjects();
    HFONT font = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    ASSERT_EQ(CountGdiObjects(), before + 1);
    DeleteObject(font);
    ASSERT_EQ(CountGdiObjects(), before);

    CTaskAllocatorSpy spy;
    ASSERT_TRUE(spy.Registered());
    // The shell fills its own caches on first use; the second menu is the one measured.
    RunOneContextMenu(server, nullptr, nullptr);
    const size_t blocks = spy.LiveCount();
    const DWORD gdi = CountGdiObjects();
    size_t whileShown = 0;
    RunOneContextMenu(server, &whileShown, &spy);
    // While shown, the object holds the records' lists and its entries' own (at least six).
    EXPECT_GE(whileShown, blocks + 6);
    EXPECT_EQ(spy.LiveCount(), blocks);
    EXPECT_EQ(CountGdiObjects(), gdi);
    EXPECT_EQ(server.CanUnloadNow(), S_OK);
}

} // namespace
