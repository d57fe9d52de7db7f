// The handle owners give back exactly what they own: counted through the system where it
// can tell (GDI objects, the task allocator, lock counts) and otherwise by the handle
// becoming invalid.
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "framework/CItemIdList.h"
#include "framework/CRegKey.h"
#include "framework/ComPtr.h"
#include "framework/Handles.h"

#include "AllocatorSpy.h"
#include "GdiCount.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The counter the checks below compare must itself see an object come and go, or every
// "before == after" would hold whatever the owners did.
TEST(Handles, GdiCountFollowsObjects) {
    const DWORD before = CountGdiObjects();
    HFONT font = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    ASSERT_NE(font, nullptr);
    const DWORD with = CountGdiObjects();
    DeleteObject(font);
    EXPECT_EQ(before + 1, with);
    EXPECT_EQ(before, CountGdiObjects());
}

// Wine makes objects of its own for a process's first screen DC and first fonts and keeps
// them; they are made here, before anything is counted.
void MakeFirstUseObjects() {
    CWindowDC screen;
    CMemoryDC memory(screen);
    CFontHandle font(
        CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    CSelectObject select(memory, font);
    CBitmapHandle bitmap(CreateCompatibleBitmap(screen, 8, 8));
}

TEST(Handles, GdiObjectsAreDeleted) {
    MakeFirstUseObjects();
    const DWORD before = CountGdiObjects();
    std::vector<HGDIOBJ> owned;
    {
        CFontHandle font(
            CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
        CBrushHandle brush(CreateSolidBrush(RGB(1, 2, 3)));
        CPenHandle pen(CreatePen(PS_SOLID, 1, RGB(4, 5, 6)));
        CWindowDC screen;
        ASSERT_TRUE(screen);
        CBitmapHandle bitmap(CreateCompatibleBitmap(screen, 8, 8));
        ASSERT_TRUE(font && brush && pen && bitmap);
        owned = {font.Get(), brush.Get(), pen.Get(), bitmap.Get()};
        EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(font));
        EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(brush));

        // Moving hands over ownership: the moved-from owner frees nothing.
        CBrushHandle moved(std::move(brush));
        EXPECT_FALSE(brush);
        EXPECT_TRUE(moved);
        EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(moved));
    }
    for (HGDIOBJ object : owned) {
        EXPECT_EQ(0u, GetObjectType(object)) << object;
    }
    EXPECT_EQ(before, CountGdiObjects());
}

TEST(Handles, MemoryDCAndSelectionAreRestored) {
    MakeFirstUseObjects();
    const DWORD before = CountGdiObjects();
    HDC dcHandle = nullptr;
    {
        CWindowDC screen;
        CMemoryDC memory(screen);
        ASSERT_TRUE(memory);
        dcHandle = memory;
        const HGDIOBJ originalFont = GetCurrentObject(memory, OBJ_FONT);
        const HGDIOBJ originalBitmap = GetCurrentObject(memory, OBJ_BITMAP);
        CFontHandle font(
            CreateFontA(20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
        CBitmapHandle bitmap(CreateCompatibleBitmap(screen, 4, 4));
        {
            CSelectObject selectFont(memory, font);
            CSelectObject selectBitmap(memory, bitmap);
            EXPECT_TRUE(selectFont.Succeeded());
            EXPECT_EQ(font.Get(), GetCurrentObject(memory, OBJ_FONT));
            EXPECT_EQ(bitmap.Get(), GetCurrentObject(memory, OBJ_BITMAP));
        }
        EXPECT_EQ(originalFont, GetCurrentObject(memory, OBJ_FONT));
        EXPECT_EQ(originalBitmap, GetCurrentObject(memory, OBJ_BITMAP));
    }
    EXPECT_EQ(0u, GetObjectType(dcHandle));
    EXPECT_EQ(before, CountGdiObjects());
}

TEST(Handles, KernelMenuLibraryAndGlobalMemory) {
    HANDLE eventHandle = nullptr;
    HMENU menuHandle = nullptr;
    {
        CHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(event);
        eventHandle = event;
        CMenuHandle menu(CreatePopupMenu());
        ASSERT_TRUE(menu);
        menuHandle = menu;
        CHandle none(INVALID_HANDLE_VALUE);
        EXPECT_FALSE(none) << "INVALID_HANDLE_VALUE owns nothing";
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(eventHandle, &flags));
    EXPECT_FALSE(IsMenu(menuHandle));

    ASSERT_EQ(nullptr, GetModuleHandleA("msimg32.dll")) << "test needs an unloaded DLL";
    {
        CLibrary library(LoadLibraryA("msimg32.dll"));
        ASSERT_TRUE(library);
        EXPECT_NE(nullptr, GetModuleHandleA("msimg32.dll"));
    }
    EXPECT_EQ(nullptr, GetModuleHandleA("msimg32.dll"));

    CGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, 16));
    ASSERT_TRUE(memory);
    {
        CGlobalLock lock(memory);
        ASSERT_TRUE(lock);
        EXPECT_EQ(1u, GlobalFlags(memory) & GMEM_LOCKCOUNT);
        std::memcpy(lock.Get(), "abc", 4);
    }
    EXPECT_EQ(0u, GlobalFlags(memory) & GMEM_LOCKCOUNT);
    CGlobalLock again(memory);
    EXPECT_STREQ("abc", again.As<char>());
}

class RegKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = "Software\\FrameworkTest" + std::to_string(GetCurrentProcessId());
        ASSERT_EQ(ERROR_SUCCESS, root.Create(HKEY_CURRENT_USER, path.c_str()));
    }
    void TearDown() override {
        root.Close();
        CRegKey software;
        ASSERT_EQ(ERROR_SUCCESS, software.Open(HKEY_CURRENT_USER, "Software", KEY_ALL_ACCESS));
        software.DeleteTree(path.substr(strlen("Software\\")).c_str());
    }
    std::string path;
    CRegKey root;
};

TEST_F(RegKeyTest, KeyIsClosedByItsOwner) {
    HKEY raw = nullptr;
    {
        CRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, path.c_str()));
        raw = key;
        EXPECT_EQ(ERROR_SUCCESS,
                  RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr));
    }
    EXPECT_EQ(ERROR_INVALID_HANDLE,
              RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RegKeyTest, ValuesReadBackAsWritten) {
    // Strings stored with and without their terminator read the same.
    ASSERT_EQ(ERROR_SUCCESS, root.SetString("with", "text"));
    ASSERT_EQ(ERROR_SUCCESS, root.SetString("without", "text", false));
    ASSERT_EQ(ERROR_SUCCESS, root.SetDWORD("number", 0x01020304));
    const BYTE bytes[] = {0x51, 0x00};
    ASSERT_EQ(ERROR_SUCCESS, root.SetBinary("binary", bytes, sizeof(bytes)));
    ASSERT_EQ(ERROR_SUCCESS, root.SetString("empty", "", false));

    DWORD type = 0;
    char raw[16];
    DWORD size = sizeof(raw);
    ASSERT_EQ(ERROR_SUCCESS, root.QueryValue("without", &type, raw, &size));
    EXPECT_EQ(4u, size) << "no terminator stored";

    struct Case {
        const char* name;
        LONG expected;
        const char* text;
    };
    const Case strings[] = {{"with", ERROR_SUCCESS, "text"},
                            {"without", ERROR_SUCCESS, "text"},
                            {"empty", ERROR_SUCCESS, ""},
                            {"number", ERROR_INVALID_DATA, "unchanged"},
                            {"missing", ERROR_FILE_NOT_FOUND, "unchanged"}};
    for (const Case& c : strings) {
        std::string value = "unchanged";
        EXPECT_EQ(c.expected, root.QueryString(c.name, value)) << c.name;
        EXPECT_EQ(c.text, value) << c.name;
    }

    DWORD number = 7;
    EXPECT_EQ(ERROR_SUCCESS, root.QueryDWORD("number", number));
    EXPECT_EQ(0x01020304u, number);
    number = 7;
    EXPECT_EQ(ERROR_INVALID_DATA, root.QueryDWORD("binary", number));
    EXPECT_EQ(7u, number);

    std::vector<BYTE> data;
    EXPECT_EQ(ERROR_SUCCESS, root.QueryBinary("binary", data, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ(std::vector<BYTE>(bytes, bytes + 2), data);

    EXPECT_EQ(ERROR_SUCCESS, root.DeleteValue("with"));
    std::string value;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, root.QueryString("with", value));
}

TEST_F(RegKeyTest, DeleteTreeRemovesNestedKeys) {
    {
        CRegKey deep;
        ASSERT_EQ(ERROR_SUCCESS, deep.Create(root, "a\\b\\c"));
        deep.SetString("v", "x");
        CRegKey sibling;
        ASSERT_EQ(ERROR_SUCCESS, sibling.Create(root, "a\\d"));
    }
    DWORD disposition = 0;
    CRegKey keep;
    ASSERT_EQ(ERROR_SUCCESS, keep.Create(root, "keep", KEY_READ, &disposition));
    EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disposition);
    keep.Close();

    EXPECT_EQ(ERROR_SUCCESS, root.DeleteTree("a"));
    CRegKey probe;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, probe.Open(root, "a"));
    EXPECT_EQ(ERROR_SUCCESS, probe.Open(root, "keep"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, root.DeleteTree("a"));
}

TEST(ItemIdList, FreesThroughTheTaskAllocator) {
    CTaskAllocatorSpy spy;
    ASSERT_TRUE(spy.Registered());
    const BYTE desktopChild[] = {4, 0, 0x1f, 0x50, 0, 0};
    void* first = nullptr;
    void* second = nullptr;
    {
        CItemIdList a = CItemIdList::FromBytes(desktopChild, sizeof(desktopChild));
        ASSERT_TRUE(a);
        first = a.Get();
        EXPECT_TRUE(spy.IsLive(first));
        EXPECT_EQ(0, std::memcmp(first, desktopChild, sizeof(desktopChild)));

        CItemIdList b = CItemIdList::FromBytes(desktopChild, sizeof(desktopChild));
        second = b.Get();
        a = std::move(b); // a frees its first list, takes the second
        EXPECT_FALSE(spy.IsLive(first));
        EXPECT_EQ(second, a.Get());
        EXPECT_FALSE(b);

        // Receive frees what it held before handing out the slot.
        LPITEMIDLIST* slot = a.Receive();
        EXPECT_FALSE(spy.IsLive(second));
        *slot = static_cast<LPITEMIDLIST>(CoTaskMemAlloc(2));
        ZeroMemory(*slot, 2);

        CItemIdList kept = CItemIdList::FromBytes(desktopChild, sizeof(desktopChild));
        LPITEMIDLIST detached = kept.Detach();
        EXPECT_TRUE(spy.IsLive(detached)) << "Detach gives the list away unfreed";
        CoTaskMemFree(detached);
    }
    EXPECT_EQ(0u, spy.LiveCount()) << "every list allocated was freed";
    EXPECT_EQ(4u, spy.FreeCount()) << "each exactly once";
    EXPECT_TRUE(spy.Revoke());
}

TEST(CoTaskMemPtr, FreesThroughTheTaskAllocator) {
    CTaskAllocatorSpy spy;
    ASSERT_TRUE(spy.Registered());
    void* first = nullptr;
    void* second = nullptr;
    {
        CCoTaskMemString text;
        wchar_t** slot = text.Receive();
        *slot = static_cast<wchar_t*>(CoTaskMemAlloc(4 * sizeof(wchar_t)));
        ASSERT_NE(*slot, nullptr);
        first = text.Get();
        EXPECT_TRUE(spy.IsLive(first));
        *text.Receive() = static_cast<wchar_t*>(CoTaskMemAlloc(2 * sizeof(wchar_t)));
        EXPECT_FALSE(spy.IsLive(first)) << "Receive frees what it held";
        second = text.Get();
        EXPECT_TRUE(spy.IsLive(second));
    }
    EXPECT_EQ(0u, spy.LiveCount()) << "every block allocated was freed";
    EXPECT_EQ(2u, spy.FreeCount()) << "each exactly once";
    EXPECT_TRUE(spy.Revoke());
}

class CCounted final : public IUnknown {
public:
    LONG refs = 1;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
};

TEST(ComPtr, ReleasesWhatItHolds) {
    CCounted object;
    {
        CComPtr<IUnknown> pointer(&object);
        EXPECT_EQ(2, object.refs);
        CComPtr<IUnknown> copy = pointer;
        EXPECT_EQ(3, object.refs);
        CComPtr<IPersist> wrong;
        EXPECT_EQ(E_NOINTERFACE, pointer.As(&wrong));
        EXPECT_EQ(3, object.refs);
    }
    EXPECT_EQ(1, object.refs);
}

} // namespace
