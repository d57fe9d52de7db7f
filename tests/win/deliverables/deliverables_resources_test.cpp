// Reads the five built binaries without running them and checks what other programs and the
// system take from them: version information (the installer compares file versions), the
// manifests that bind the common controls 6, the icons and image strips with the identifiers
// and sizes the code loads them by, the icon menu, the registration resources of the two
// servers, and the servers' export tables.
#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include "Text.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Binary {
    const char* file_name;
    const char* host_path;
    bool dll;
};

const Binary kCorvina{"Corvina.dll", CORVINA_FILE_Corvina, true};
const Binary kCorvinaPlus{"CorvinaPlus.exe", CORVINA_FILE_CorvinaPlus, false};
const Binary kCorvset{"Corvset.exe", CORVINA_FILE_Corvset, false};
const Binary kCorvinaBar{"CorvinaBar.dll", CORVINA_FILE_CorvinaBar, true};
const Binary kUninstall{"Uninstall.exe", CORVINA_FILE_Uninstall, false};
const Binary kAll[] = {kCorvina, kCorvinaPlus, kCorvset, kCorvinaBar, kUninstall};

// A module loaded only for reading, freed with its owner.
class Module {
public:
    Module(const Binary& binary, DWORD flags)
        : handle_(LoadLibraryExA(HostPath(binary.host_path).c_str(), nullptr, flags)) {}
    ~Module() {
        if (handle_ != nullptr) {
            FreeLibrary(handle_);
        }
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    HMODULE get() const { return handle_; }
    // Start of the mapped image; data-file handles carry flags in their low bits.
    const BYTE* base() const {
        return reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(handle_) & ~ULONG_PTR(3));
    }

private:
    HMODULE handle_;
};

constexpr DWORD kAsResources = LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE;

// The bytes of a resource, or false when the module has no such resource.
bool ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type, std::string* bytes) {
    HRSRC found = FindResourceA(module, name, type);
    if (found == nullptr) {
        return false;
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return false;
    }
    bytes->assign(static_cast<const char*>(data), SizeofResource(module, found));
    return true;
}

// ---------------------------------------------------------------------------------------
// Version information

std::string VersionString(const std::vector<BYTE>& info, const char* name) {
    struct Translation {
        WORD language;
        WORD code_page;
    }* translation = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &size) ||
        size < sizeof(Translation)) {
        return "<no translation>";
    }
    char query[128];
    wsprintfA(query, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
              translation->code_page, name);
    char* value = nullptr;
    if (!VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&value), &size)) {
        return "<missing>";
    }
    return std::string(value, size > 0 ? size - 1 : 0);
}

TEST(DeliverableVersion, FixedAndTextVersionsMatchThePackage) {
    for (const Binary& binary : kAll) {
        SCOPED_TRACE(binary.file_name);
        const std::string path = HostPath(binary.host_path);
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
        ASSERT_GT(size, 0u);
        std::vector<BYTE> info(size);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT fixed_size = 0;
        ASSERT_TRUE(
            VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixed_size));
        ASSERT_GE(fixed_size, sizeof(VS_FIXEDFILEINFO));
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        // 2.3.0.34: the installer compares these four numbers, not the texts.
        EXPECT_EQ(fixed->dwFileVersionMS, 0x00020003u);
        EXPECT_EQ(fixed->dwFileVersionLS, 0x00000022u);
        EXPECT_EQ(fixed->dwProductVersionMS, 0x00020003u);
        EXPECT_EQ(fixed->dwProductVersionLS, 0x00000022u);
        EXPECT_EQ(fixed->dwFileType, binary.dll ? DWORD(VFT_DLL) : DWORD(VFT_APP));

        EXPECT_EQ(VersionString(info, "ProductVersion"), "2.03");
        EXPECT_EQ(VersionString(info, "OriginalFilename"), binary.file_name);
        // Self-registering servers say so in their version information.
        EXPECT_EQ(VersionString(info, "OLESelfRegister") != "<missing>", binary.dll);
    }
}

TEST(DeliverableVersion, SettingsProgramDescribesItself) {
    const std::string path = HostPath(kCorvset.host_path);
    DWORD ignored = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeA(path.c_str(), &ignored));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, DWORD(info.size()), info.data()));
    EXPECT_EQ(VersionString(info, "FileDescription"), "Corvina Tools");
}

// ---------------------------------------------------------------------------------------
// Manifests

// The value of attribute `name` in the first element that starts at or after `from` and
// whose text contains `marker`.
std::string AttributeNear(const std::string& xml, const std::string& marker, const char* name) {
    size_t at = xml.find(marker);
    if (at == std::string::npos) {
        return "<no " + marker + ">";
    }
    size_t open = xml.rfind('<', at);
    size_t close = xml.find('>', at);
    std::string element = xml.substr(open, close - open);
    std::string key = std::string(" ") + name + "=\"";
    size_t k = element.find(key);
    if (k == std::string::npos) {
        return "<no attribute>";
    }
    k += key.size();
    return element.substr(k, element.find('"', k) - k);
}

#ifdef _WIN64
const char kArchitecture[] = "amd64";
#else
const char kArchitecture[] = "X86";
#endif

TEST(DeliverableManifest, BindsCommonControls6UnderTheLoadersId) {
    for (const Binary& binary : kAll) {
        SCOPED_TRACE(binary.file_name);
        Module module(binary, kAsResources);
        ASSERT_NE(module.get(), nullptr) << GetLastError();
        // Programs: the process manifest (1). Servers: the module's own (2), which the code
        // activates around its windows.
        const WORD id = binary.dll ? 2 : 1;
        const WORD other = binary.dll ? 1 : 2;
        std::string xml;
        ASSERT_TRUE(ResourceBytes(module.get(), MAKEINTRESOURCEA(id), RT_MANIFEST, &xml));
        std::string unused;
        EXPECT_FALSE(ResourceBytes(module.get(), MAKEINTRESOURCEA(other), RT_MANIFEST, &unused));

        const std::string controls = "\"Microsoft.Windows.Common-Controls\"";
        EXPECT_EQ(AttributeNear(xml, controls, "version"), "6.0.0.0");
        EXPECT_EQ(AttributeNear(xml, controls, "publicKeyToken"), "6595b64144ccf1df");
        EXPECT_EQ(AttributeNear(xml, controls, "language"), "*");
        EXPECT_EQ(AttributeNear(xml, controls, "processorArchitecture"), kArchitecture);
        EXPECT_EQ(AttributeNear(xml, "<assemblyIdentity", "processorArchitecture"), kArchitecture);

        // The system must be able to build an activation context from it: a malformed
        // manifest or a dependency it cannot resolve fails here.
        const std::string path = HostPath(binary.host_path);
        ACTCTXA context = {};
        context.cbSize = sizeof(context);
        context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        context.lpSource = path.c_str();
        context.lpResourceName = MAKEINTRESOURCEA(id);
        HANDLE made = CreateActCtxA(&context);
        EXPECT_NE(made, INVALID_HANDLE_VALUE) << GetLastError();
        if (made != INVALID_HANDLE_VALUE) {
            ReleaseActCtx(made);
        }
    }
}

TEST(DeliverableManifest, InstallerNamesItsOwnAssembly) {
    Module module(kUninstall, kAsResources);
    ASSERT_NE(module.get(), nullptr);
    std::string xml;
    ASSERT_TRUE(ResourceBytes(module.get(), MAKEINTRESOURCEA(1), RT_MANIFEST, &xml));
    const std::string own = "\"Velmora.Corvina.Uninstall\"";
    EXPECT_EQ(AttributeNear(xml, own, "version"), "1.0.0.1");
    EXPECT_NE(xml.find("<description>Corvina</description>"), std::string::npos);
}

// ---------------------------------------------------------------------------------------
// Icons

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bit_count;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

struct IconCase {
    const Binary* binary;
    WORD id;
};

TEST(DeliverableIcons, EachIconHoldsSmallAndLargeImages) {
    const IconCase cases[] = {
        {&kCorvinaPlus, 128}, {&kCorvinaPlus, 135}, {&kCorvset, 128},
        {&kCorvset, 131},     {&kCorvset, 134},     {&kUninstall, 128},
    };
    for (const IconCase& c : cases) {
        SCOPED_TRACE(std::string(c.binary->file_name) + " icon " + std::to_string(c.id));
        Module module(*c.binary, kAsResources);
        ASSERT_NE(module.get(), nullptr);
        std::string group;
        ASSERT_TRUE(ResourceBytes(module.get(), MAKEINTRESOURCEA(c.id), RT_GROUP_ICON, &group));
        ASSERT_GE(group.size(), 6u);
        WORD header[3];
        std::memcpy(header, group.data(), sizeof(header));
        EXPECT_EQ(header[1], 1) << "not an icon group";
        ASSERT_EQ(group.size(), 6u + header[2] * sizeof(GroupIconEntry));

        std::set<std::pair<int, int>> sizes;
        for (WORD i = 0; i < header[2]; ++i) {
            GroupIconEntry entry;
            std::memcpy(&entry, group.data() + 6 + i * sizeof(entry), sizeof(entry));
            sizes.insert({entry.width, entry.height});
            // Each image the group lists exists, with the size the group claims.
            std::string image;
            ASSERT_TRUE(ResourceBytes(module.get(), MAKEINTRESOURCEA(entry.id), RT_ICON, &image));
            ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
            BITMAPINFOHEADER bih;
            std::memcpy(&bih, image.data(), sizeof(bih));
            EXPECT_EQ(bih.biWidth, entry.width);
            EXPECT_EQ(bih.biHeight, 2 * entry.height) << "colour and mask planes";
            EXPECT_EQ(bih.biBitCount, entry.bit_count);
        }
        EXPECT_EQ(sizes, (std::set<std::pair<int, int>>{{16, 16}, {32, 32}}));

        // And the system loads both sizes from the module as the programs will.
        for (int edge : {16, 32}) {
            HICON icon = static_cast<HICON>(
                LoadImageA(module.get(), MAKEINTRESOURCEA(c.id), IMAGE_ICON, edge, edge, 0));
            ASSERT_NE(icon, nullptr) << "size " << edge;
            ICONINFO info = {};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP colour = {};
            GetObjectA(info.hbmColor, sizeof(colour), &colour);
            EXPECT_EQ(colour.bmWidth, edge);
            EXPECT_EQ(colour.bmHeight, edge);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
    }
}

BOOL CALLBACK KeepFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR first) {
    *reinterpret_cast<ULONG_PTR*>(first) = reinterpret_cast<ULONG_PTR>(name);
    return FALSE;
}

TEST(DeliverableIcons, ProgramIconComesFirst) {
    // The shell shows a program file with its first icon group.
    for (const Binary* binary : {&kCorvinaPlus, &kCorvset, &kUninstall}) {
        SCOPED_TRACE(binary->file_name);
        Module module(*binary, kAsResources);
        ASSERT_NE(module.get(), nullptr);
        ULONG_PTR first = 0;
        EnumResourceNamesA(module.get(), RT_GROUP_ICON, KeepFirstName,
                           reinterpret_cast<LONG_PTR>(&first));
        EXPECT_EQ(first, 128u);
    }
}

// ---------------------------------------------------------------------------------------
// Bitmaps

struct BitmapCase {
    const Binary* binary;
    WORD id;
    int width;
    int height;
    int bit_count;   // 0: any
    COLORREF corner; // colour at the top-left corner of every 16-pixel cell; CLR_NONE: none
    int images;      // images an image list of 16-pixel cells gets; 0: not a strip
};

// Colour of pixel (x, y), y counted from the top, of a paletted bottom-up DIB.
COLORREF PixelOf(const std::string& dib, int x, int y) {
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, dib.data(), sizeof(bih));
    const int colours = bih.biClrUsed != 0 ? int(bih.biClrUsed) : 1 << bih.biBitCount;
    const BYTE* palette = reinterpret_cast<const BYTE*>(dib.data()) + bih.biSize;
    const BYTE* bits = palette + 4 * colours;
    const int stride = ((bih.biWidth * bih.biBitCount + 31) / 32) * 4;
    const BYTE* row = bits + stride * (bih.biHeight - 1 - y);
    int index = bih.biBitCount == 8 ? row[x] : (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F;
    const BYTE* quad = palette + 4 * index;
    return RGB(quad[2], quad[1], quad[0]);
}

TEST(DeliverableBitmaps, StripsHaveTheirCellsSizesAndTransparentColour) {
    const COLORREF magenta = RGB(255, 0, 255);
    const COLORREF button_face = RGB(192, 192, 192);
    const BitmapCase cases[] = {
        // Menu list editor's toolbar: six images.
        {&kCorvset, 129, 96, 15, 0, magenta, 6},
        // Tab images: three, 16 colours.
        {&kCorvset, 132, 48, 15, 4, magenta, 3},
        // Icon menu images for the two commands of toolbar 128.
        {&kCorvinaPlus, 128, 32, 15, 0, button_face, 2},
        // Installer's title banner, filling 132 x 21 dialog units.
        {&kUninstall, 129, 198, 32, 0, CLR_NONE, 0},
    };
    for (const BitmapCase& c : cases) {
        SCOPED_TRACE(std::string(c.binary->file_name) + " bitmap " + std::to_string(c.id));
        Module module(*c.binary, kAsResources);
        ASSERT_NE(module.get(), nullptr);
        std::string dib;
        ASSERT_TRUE(ResourceBytes(module.get(), MAKEINTRESOURCEA(c.id), RT_BITMAP, &dib));
        ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER bih;
        std::memcpy(&bih, dib.data(), sizeof(bih));
        EXPECT_EQ(bih.biWidth, c.width);
        EXPECT_EQ(bih.biHeight, c.height) << "bottom-up, as LoadBitmap expects";
        if (c.bit_count != 0) {
            EXPECT_EQ(bih.biBitCount, c.bit_count);
        }
        if (c.corner != CLR_NONE) {
            ASSERT_LE(bih.biBitCount, 8);
            for (int x = 0; x < c.width; x += 16) {
                EXPECT_EQ(PixelOf(dib, x, 0), c.corner) << "cell at x = " << x;
            }
        }
        if (c.images != 0) {
            HIMAGELIST list = ImageList_LoadImageA(module.get(), MAKEINTRESOURCEA(c.id), 16, 1,
                                                   c.corner, IMAGE_BITMAP, LR_CREATEDIBSECTION);
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(ImageList_GetImageCount(list), c.images);
            ImageList_Destroy(list);
        }
    }
}

// ---------------------------------------------------------------------------------------
// The resident program's icon menu and its images

TEST(ResidentMenu, ToolbarNamesTheImagesOfAboutAndExit) {
    Module module(kCorvinaPlus, kAsResources);
    ASSERT_NE(module.get(), nullptr);
    std::string toolbar;
    ASSERT_TRUE(
        ResourceBytes(module.get(), MAKEINTRESOURCEA(128), MAKEINTRESOURCEA(241), &toolbar));
    ASSERT_GE(toolbar.size(), 8u);
    std::vector<WORD> words(toolbar.size() / 2);
    std::memcpy(words.data(), toolbar.data(), words.size() * 2);
    EXPECT_EQ(words[0], 1) << "toolbar resource version";
    EXPECT_EQ(words[1], 16);
    EXPECT_EQ(words[2], 15);
    ASSERT_EQ(words[3], 2);
    ASSERT_EQ(words.size(), 6u);
    EXPECT_EQ(words[4], 57664);
    EXPECT_EQ(words[5], 57665);
}

TEST(ResidentMenu, IconMenuHoldsSettingsAboutAndExit) {
    Module module(kCorvinaPlus, kAsResources);
    ASSERT_NE(module.get(), nullptr);
    HMENU menu = LoadMenuW(module.get(), MAKEINTRESOURCEW(130));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    struct Entry {
        UINT id; // 0: separator
        const wchar_t* text;
    };
    const Entry expected[] = {
        {32773, L"設定(&O)..."},
        {57664, L"バージョン情報(&A)..."},
        {0, nullptr},
        {57665, L"終了(&X)"},
    };
    ASSERT_EQ(GetMenuItemCount(popup), 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        wchar_t text[64] = {};
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 64;
        ASSERT_TRUE(GetMenuItemInfoW(popup, i, TRUE, &item));
        if (expected[i].id == 0) {
            EXPECT_TRUE(item.fType & MFT_SEPARATOR);
            continue;
        }
        EXPECT_EQ(item.wID, expected[i].id);
        EXPECT_STREQ(text, expected[i].text);
    }
    DestroyMenu(menu);
}

TEST(SettingsStrings, SystemMenuAboutEntry) {
    Module module(kCorvset, kAsResources);
    ASSERT_NE(module.get(), nullptr);
    wchar_t text[64] = {};
    ASSERT_GT(LoadStringW(module.get(), 101, text, 64), 0);
    EXPECT_STREQ(text, L"バージョン情報(&A)...");
}

// ---------------------------------------------------------------------------------------
// The servers: registration resources and exports

struct Server {
    const Binary* binary;
    const char* clsid;
    const char* other_clsid; // the other server's: must not leak into this one's script
    GUID libid;
    GUID iid;
    GUID class_id;
    const wchar_t* library_help;
    const char* module_name; // the export directory's name
};

const Server kServers[] = {
    {&kCorvina,
     "{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}",
     "{9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}",
     {0x0F6B8A3D, 0x71C2, 0x4E95, {0xA4, 0xD8, 0x52, 0xB1, 0xC9, 0xE0, 0x7F, 0x36}},
     {0x6D2E8B14, 0x9C3A, 0x4F57, {0xB1, 0xE0, 0x2A, 0x7C, 0x5D, 0x93, 0xE8, 0x61}},
     {0x5A1C7E20, 0x3B9D, 0x4F62, {0x8E, 0x41, 0x0C, 0x7D, 0x2B, 0x9F, 0x6A, 0x13}},
     L"Corvina 1.0 ﾀｲﾌﾟ ﾗｲﾌﾞﾗﾘ",
     "Corvina.dll"},
    {&kCorvinaBar,
     "{9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}",
     "{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}",
     {0xC47D2E91, 0x6A30, 0x4B1F, {0x8D, 0x52, 0x3E, 0x9A, 0x0B, 0x7C, 0x6D, 0x24}},
     {0xB3E1F6A2, 0x5C84, 0x4D27, {0x9A, 0x0E, 0x6F, 0x2C, 0x81, 0xD4, 0x5E, 0x37}},
     {0x9E3B4C71, 0x2D58, 0x4A0F, {0xB6, 0xC3, 0x71, 0xE8, 0xD2, 0xA4, 0x5F, 0x90}},
     L"CorvinaBar 1.0 ﾀｲﾌﾟ ﾗｲﾌﾞﾗﾘ",
     "CorvinaBar.DLL"},
};

TEST(ServerResources, RegistrationScriptNamesThisServer) {
    for (const Server& server : kServers) {
        SCOPED_TRACE(server.binary->file_name);
        Module module(*server.binary, kAsResources);
        ASSERT_NE(module.get(), nullptr);
        std::string script;
        ASSERT_TRUE(ResourceBytes(module.get(), MAKEINTRESOURCEA(102), "REGISTRY", &script));
        EXPECT_NE(script.find("'%MODULE%'"), std::string::npos);
        EXPECT_NE(script.find(server.clsid), std::string::npos);
        EXPECT_EQ(script.find(server.other_clsid), std::string::npos);
    }
}

TEST(ServerResources, TypeLibraryDescribesTheDualInterfaceAndClass) {
    for (const Server& server : kServers) {
        SCOPED_TRACE(server.binary->file_name);
        std::string path = HostPath(server.binary->host_path);
        std::wstring wide(path.begin(), path.end());
        ITypeLib* library = nullptr;
        ASSERT_EQ(LoadTypeLibEx(wide.c_str(), REGKIND_NONE, &library), S_OK);

        TLIBATTR* attributes = nullptr;
        ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
        EXPECT_TRUE(IsEqualGUID(attributes->guid, server.libid));
        EXPECT_EQ(attributes->wMajorVerNum, 1);
        EXPECT_EQ(attributes->wMinorVerNum, 0);
        library->ReleaseTLibAttr(attributes);

        ITypeInfo* coclass = nullptr;
        ASSERT_EQ(library->GetTypeInfoOfGuid(server.class_id, &coclass), S_OK);
        HREFTYPE reference = 0;
        ITypeInfo* interface_info = nullptr;
        EXPECT_EQ(coclass->GetRefTypeOfImplType(0, &reference), S_OK);
        EXPECT_EQ(coclass->GetRefTypeInfo(reference, &interface_info), S_OK);
        if (interface_info != nullptr) {
            TYPEATTR* type = nullptr;
            ASSERT_EQ(interface_info->GetTypeAttr(&type), S_OK);
            EXPECT_TRUE(IsEqualGUID(type->guid, server.iid));
            EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FDUAL);
            interface_info->ReleaseTypeAttr(type);
            interface_info->Release();
        }
        coclass->Release();

        // The help text is stored in code page 932; only a Japanese system reads it back
        // as written.
        if (GetACP() == 932) {
            BSTR help = nullptr;
            ASSERT_EQ(library->GetDocumentation(-1, nullptr, &help, nullptr, nullptr), S_OK);
            EXPECT_STREQ(help, server.library_help);
            SysFreeString(help);
        }
        library->Release();
    }
}

const char* const kComExports[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                   "DllUnregisterServer"};

TEST(ServerExports, ExactlyTheFourComEntryPointsByName) {
    for (const Server& server : kServers) {
        SCOPED_TRACE(server.binary->file_name);
        Module module(*server.binary, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_NE(module.get(), nullptr) << GetLastError();
        for (const char* name : kComExports) {
            EXPECT_NE(GetProcAddress(module.get(), name), nullptr) << name;
        }

        const BYTE* base = module.base();
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
        ASSERT_NE(dir.VirtualAddress, 0u);
        const auto* exports =
            reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
        EXPECT_STREQ(reinterpret_cast<const char*>(base + exports->Name), server.module_name);
        ASSERT_EQ(exports->NumberOfNames, 4u) << "nothing else is exported";
        EXPECT_EQ(exports->NumberOfFunctions, 4u);
        const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
        std::vector<std::string> found;
        for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
            found.emplace_back(reinterpret_cast<const char*>(base + names[i]));
        }
        EXPECT_EQ(found, std::vector<std::string>(std::begin(kComExports), std::end(kComExports)));
    }
}

TEST(ServerExports, BandExportsCarryOrdinalsOneToFourInOrder) {
    Module module(kCorvinaBar, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(module.get(), nullptr);
    for (WORD ordinal = 1; ordinal <= 4; ++ordinal) {
        EXPECT_EQ(GetProcAddress(module.get(), MAKEINTRESOURCEA(ordinal)),
                  GetProcAddress(module.get(), kComExports[ordinal - 1]))
            << kComExports[ordinal - 1];
    }
}

TEST(DeliverableImports, OnlySystemLibraries) {
    const std::set<std::string> system = {
        "KERNEL32.DLL", "USER32.DLL",   "GDI32.DLL",   "ADVAPI32.DLL",
        "SHELL32.DLL",  "SHLWAPI.DLL",  "OLE32.DLL",   "OLEAUT32.DLL",
        "COMCTL32.DLL", "COMDLG32.DLL", "VERSION.DLL", "MSVCRT.DLL",
        "UXTHEME.DLL",  "MPR.DLL",      "WINMM.DLL",   "SHFOLDER.DLL"};
    for (const Binary& binary : kAll) {
        SCOPED_TRACE(binary.file_name);
        Module module(binary, kAsResources);
        ASSERT_NE(module.get(), nullptr);
        const BYTE* base = module.base();
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        ASSERT_NE(dir.VirtualAddress, 0u);
        int count = 0;
        for (const auto* entry =
                 reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
             entry->Name != 0; ++entry, ++count) {
            std::string name = reinterpret_cast<const char*>(base + entry->Name);
            CharUpperA(&name[0]);
            EXPECT_EQ(system.count(name), 1u) << name;
        }
        EXPECT_GT(count, 0);
    }
}

} // namespace
