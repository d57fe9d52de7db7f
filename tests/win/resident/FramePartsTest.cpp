// The frame's window parts in this process: the menu decorator on real menus (with the
// program's own toolbar images), the hyperlink text on a real dialog, and the frame itself.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TestSupport.h"
#include "common/CHyperLink.h"
#include "framework/Handles.h"
#include "resident/CMainFrame.h"
#include "resident/CMenuDecorator.h"
#include "resident/CTaskTrayWnd.h"

namespace {

bool IsLiveIcon(HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) {
        return false;
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

// The window owns the icons it is given: a replaced one goes at once (unless the same handle
// comes back), the last one when it is removed or the window object goes.
TEST(TaskTray, DestroysEachIconItOwnsOnce) {
    struct Case {
        const char* name;
        bool sameHandle;
        bool removedByDestructor;
    };
    const Case cases[] = {
        {"replaced by another icon, then deleted", false, false},
        {"added again as the same handle, then deleted", true, false},
        {"replaced by another icon, then the window goes", false, true},
    };
    HICON shared = LoadIcon(nullptr, IDI_APPLICATION);
    ASSERT_NE(shared, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HICON first = CopyIcon(shared);
        ASSERT_NE(first, nullptr);
        HICON second = nullptr;
        {
            CTaskTrayWnd tray;
            tray.AddTrayIcon(1, CIconHandle(first), "first");
            second = c.sameHandle ? first : CopyIcon(shared);
            ASSERT_NE(second, nullptr);
            tray.AddTrayIcon(1, CIconHandle(second), "second");
            EXPECT_EQ(tray.GetTrayIconCount(), 1u);
            EXPECT_EQ(IsLiveIcon(first), c.sameHandle);
            EXPECT_TRUE(IsLiveIcon(second));
            if (!c.removedByDestructor) {
                tray.DeleteTrayIcon(1);
                EXPECT_EQ(tray.GetTrayIconCount(), 0u);
                EXPECT_FALSE(IsLiveIcon(second));
            }
        }
        EXPECT_FALSE(IsLiveIcon(second));
    }
    EXPECT_TRUE(IsLiveIcon(shared)) << "the shared icon was only copied";
}

class MenuDecorator : public ::testing::Test {
protected:
    void SetUp() override {
        resources =
            LoadLibraryExA(HostPath(CORVINA_PLUS_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(resources, nullptr);
        frame = CreateWindowExA(0, "STATIC", "frame", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
        ASSERT_NE(frame, nullptr);
        popup = CreatePopupMenu();
        AppendMenuA(popup, MF_STRING, 32773, "&Settings...");
        AppendMenuA(popup, MF_STRING, 57664, "&About...");
        AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(popup, MF_STRING | MF_CHECKED, 57665, "E&xit");
        AppendMenuA(popup, MF_STRING, 40000, "&Second S");
    }
    void TearDown() override {
        decorator.ReleaseAll();
        DestroyMenu(popup);
        DestroyWindow(frame);
        FreeLibrary(resources);
    }
    MENUITEMINFOA Item(int position) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
        GetMenuItemInfoA(popup, position, TRUE, &info);
        return info;
    }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
        LRESULT result = 0;
        *handled = decorator.HandleMessage(message, wParam, lParam, &result);
        return result;
    }

    HMODULE resources = nullptr;
    HWND frame = nullptr;
    HMENU popup = nullptr;
    CMenuDecorator decorator;
};

TEST_F(MenuDecorator, OpeningPopupMakesEveryEntryOwnerDrawnWithATaggedRecord) {
    ASSERT_TRUE(decorator.Attach(frame, resources, 128, 16, 15)) << "toolbar images not loaded";
    EXPECT_EQ(decorator.GetImageIndex(57664), 0);
    EXPECT_EQ(decorator.GetImageIndex(57665), 1);
    EXPECT_EQ(decorator.GetImageIndex(32773), -1);

    bool handled = true;
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0, &handled);
    EXPECT_FALSE(handled) << "the frame must still see the menu opening";
    ASSERT_EQ(decorator.GetRecordCount(), 5u);
    for (int i = 0; i < 5; ++i) {
        const MENUITEMINFOA info = Item(i);
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << i;
        ASSERT_NE(info.dwItemData, 0u) << i;
        EXPECT_EQ(std::memcmp(reinterpret_cast<const char*>(info.dwItemData), "mid0", 4), 0) << i;
    }
    // Opening it again converts nothing twice.
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0, &handled);
    EXPECT_EQ(decorator.GetRecordCount(), 5u);

    // Closing the menu frees every record and gives the entries back their plain form.
    Send(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0, &handled);
    EXPECT_EQ(decorator.GetRecordCount(), 0u);
    for (int i = 0; i < 5; ++i) {
        const MENUITEMINFOA info = Item(i);
        EXPECT_FALSE(info.fType & MFT_OWNERDRAW) << i;
        EXPECT_EQ(info.dwItemData, 0u) << i;
    }
    char text[64] = {};
    GetMenuStringA(popup, 57665, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "E&xit");
}

TEST_F(MenuDecorator, MeasuresOnlyItsOwnRecords) {
    decorator.Attach(frame, resources, 128, 16, 15);
    bool handled = false;
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0, &handled);

    MEASUREITEMSTRUCT separator{};
    separator.CtlType = ODT_MENU;
    separator.itemData = Item(2).dwItemData;
    Send(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&separator), &handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(separator.itemWidth, 0u);
    EXPECT_EQ(separator.itemHeight, static_cast<UINT>(GetSystemMetrics(SM_CYMENU) / 2));

    MEASUREITEMSTRUCT shortEntry{}, longEntry{};
    shortEntry.CtlType = longEntry.CtlType = ODT_MENU;
    shortEntry.itemData = Item(3).dwItemData; // "E&xit"
    longEntry.itemData = Item(0).dwItemData;  // "&Settings..."
    Send(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&shortEntry), &handled);
    Send(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&longEntry), &handled);
    EXPECT_GT(shortEntry.itemWidth, 36u);
    EXPECT_GT(longEntry.itemWidth, shortEntry.itemWidth);
    EXPECT_GE(shortEntry.itemHeight, 20u);
    EXPECT_EQ(shortEntry.itemHeight % 2, 0u);

    // Someone else's owner-drawn entry is left alone.
    char foreign[16] = "mid1";
    MEASUREITEMSTRUCT other{};
    other.CtlType = ODT_MENU;
    other.itemData = reinterpret_cast<ULONG_PTR>(foreign);
    Send(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&other), &handled);
    EXPECT_FALSE(handled);
}

TEST_F(MenuDecorator, PaintsEntriesWithTheirImageAndLeavesTheDeviceContextAsFound) {
    decorator.Attach(frame, resources, 128, 16, 15);
    bool handled = false;
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0, &handled);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 30);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HGDIOBJ fontBefore = GetCurrentObject(dc, OBJ_FONT);
    HGDIOBJ brushBefore = GetCurrentObject(dc, OBJ_BRUSH);
    for (int round = 0; round < 20; ++round) {
        for (int i = 0; i < 5; ++i) {
            DRAWITEMSTRUCT draw{};
            draw.CtlType = ODT_MENU;
            draw.hDC = dc;
            draw.rcItem = {0, 0, 200, 24};
            draw.itemState = (round % 2 ? ODS_SELECTED : 0) | (i == 3 ? ODS_CHECKED : 0);
            draw.itemData = Item(i).dwItemData;
            Send(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), &handled);
            EXPECT_TRUE(handled);
        }
    }
    // Whatever it selects into the device context, it selects out again.
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), fontBefore);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brushBefore);
    // The image of "About" reached the entry: its icon box is no longer plain menu colour.
    DRAWITEMSTRUCT about{};
    about.CtlType = ODT_MENU;
    about.hDC = dc;
    about.rcItem = {0, 0, 200, 24};
    about.itemData = Item(1).dwItemData;
    Send(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&about), &handled);
    int differing = 0;
    for (int y = 4; y < 19; ++y) {
        for (int x = 4; x < 20; ++x) {
            differing += GetPixel(dc, x, y) != GetSysColor(COLOR_MENU);
        }
    }
    EXPECT_GT(differing, 20);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST_F(MenuDecorator, ImagesShowTheMenuColourAroundTheirShapeUnderEveryButtonFace) {
    // The art of "About" (image 0) as stored: which of its pixels are background.
    constexpr int kWidth = 16, kHeight = 15;
    bool background[kHeight][kWidth] = {};
    COLORREF art[kHeight][kWidth] = {};
    {
        CBitmapHandle bitmap(static_cast<HBITMAP>(
            LoadImageA(resources, MAKEINTRESOURCEA(128), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        ASSERT_TRUE(bitmap);
        CMemoryDC dc(nullptr);
        CSelectObject select(dc.Get(), bitmap.Get());
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                art[y][x] = GetPixel(dc.Get(), x, y);
                background[y][x] = art[y][x] == GetPixel(dc.Get(), 0, 0);
            }
        }
    }
    CTestPalette palette;
    ASSERT_TRUE(palette.Applied());
    const COLORREF savedFace = GetSysColor(COLOR_BTNFACE);
    const int faceIndex = COLOR_BTNFACE;
    decorator.Attach(frame, resources, 128, kWidth, kHeight);
    bool handled = false;
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0, &handled);

    const struct {
        const char* scheme;
        COLORREF face;
    } schemes[] = {
        {"classic grey", RGB(192, 192, 192)},
        {"standard", RGB(212, 208, 200)},
        {"olive", RGB(236, 233, 216)},
        {"dark", RGB(45, 45, 48)},
    };
    for (const auto& scheme : schemes) {
        SCOPED_TRACE(scheme.scheme);
        SetSysColors(1, &faceIndex, &scheme.face);
        Send(WM_SYSCOLORCHANGE, 0, 0, &handled);
        CCanvas canvas(200, 24);
        DRAWITEMSTRUCT about{};
        about.CtlType = ODT_MENU;
        about.hDC = canvas.Dc();
        about.rcItem = {0, 0, 200, 24};
        about.itemData = Item(1).dwItemData;
        Send(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&about), &handled);
        // The image's cell sits at (4, 4) of a 24 pixel high entry.
        int boxed = 0, shape = 0, shapeShown = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const COLORREF shown = canvas.Pixel(4 + x, 4 + y);
                if (background[y][x]) {
                    boxed += shown != CTestPalette::kMenu;
                } else {
                    ++shape;
                    shapeShown += shown == art[y][x];
                }
            }
        }
        EXPECT_EQ(boxed, 0) << "background pixels of the image not in the menu colour";
        EXPECT_GT(shape, 20);
        EXPECT_EQ(shapeShown, shape) << "the image's own pixels";
    }
    SetSysColors(1, &faceIndex, &savedFace);
}

TEST_F(MenuDecorator, MenuCharacterExecutesSelectsOrLeavesItToTheSystem) {
    decorator.Attach(frame, resources, 128, 16, 15);
    bool handled = false;
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0, &handled);
    const LPARAM menu = reinterpret_cast<LPARAM>(popup);

    LRESULT result = Send(WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP), menu, &handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(HIWORD(result), MNC_EXECUTE);
    EXPECT_EQ(LOWORD(result), 3);

    // "&Settings..." and "&Second S": nothing highlighted selects the first, then the next.
    result = Send(WM_MENUCHAR, MAKEWPARAM('s', MF_POPUP), menu, &handled);
    EXPECT_EQ(HIWORD(result), MNC_SELECT);
    EXPECT_EQ(LOWORD(result), 0);
    MENUITEMINFOA hilite{};
    hilite.cbSize = sizeof hilite;
    hilite.fMask = MIIM_STATE;
    hilite.fState = MFS_HILITE;
    SetMenuItemInfoA(popup, 0, TRUE, &hilite);
    result = Send(WM_MENUCHAR, MAKEWPARAM('S', MF_POPUP), menu, &handled);
    EXPECT_EQ(HIWORD(result), MNC_SELECT);
    EXPECT_EQ(LOWORD(result), 4);

    Send(WM_MENUCHAR, MAKEWPARAM('q', MF_POPUP), menu, &handled);
    EXPECT_FALSE(handled);

    // A menu it never decorated is not its business.
    HMENU other = CreatePopupMenu();
    AppendMenuA(other, MF_STRING, 1, "&Quit");
    Send(WM_MENUCHAR, MAKEWPARAM('q', MF_POPUP), reinterpret_cast<LPARAM>(other), &handled);
    EXPECT_FALSE(handled);
    DestroyMenu(other);
}

// Beyond ASCII the tray menu answers as the suite's other menus do: a lower-case letter of
// the system's code page picks the entry whose mnemonic is its upper-case form.
TEST_F(MenuDecorator, MenuCharacterBeyondAsciiPicksItsMnemonic) {
    const struct {
        UINT codePage;
        const wchar_t* label;
        const wchar_t* typed;
    } cases[] = {
        {1252, L"&\u00C4nderungen", L"\u00E4"},     // A and a with diaeresis
        {932, L"\u8A2D\u5B9A(&\uFF33)", L"\uFF53"}, // full-width S and s
    };
    int tried = 0;
    for (const auto& c : cases) {
        if (GetACP() != c.codePage) {
            continue;
        }
        ++tried;
        AppendMenuA(popup, MF_STRING, 40001, ToAnsi(c.label).c_str());
        decorator.Attach(frame, resources, 128, 16, 15);
        bool handled = false;
        Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0, &handled);
        // An ANSI window gets a double-byte character with its lead byte in the high half.
        const std::string typed = ToAnsi(c.typed);
        const WORD key =
            typed.size() == 2 ? MAKEWORD(typed[1], typed[0]) : static_cast<BYTE>(typed[0]);
        const LRESULT result =
            Send(WM_MENUCHAR, MAKEWPARAM(key, MF_POPUP), reinterpret_cast<LPARAM>(popup), &handled);
        EXPECT_TRUE(handled);
        EXPECT_EQ(result, MAKELRESULT(5, MNC_EXECUTE));
    }
    if (tried == 0) {
        GTEST_SKIP() << "no case for code page " << GetACP();
    }
}

TEST_F(MenuDecorator, FontDrawsTheSystemsCodePage) {
    decorator.Attach(frame, resources, 128, 16, 15);
    LOGFONTA logFont{};
    ASSERT_NE(GetObjectA(decorator.GetFont(), sizeof logFont, &logFont), 0);
    if (GetACP() == 932) {
        // Shift-JIS labels would come out as Latin letters in a Western-only font.
        EXPECT_NE(logFont.lfCharSet, ANSI_CHARSET);
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, decorator.GetFont());
        EXPECT_EQ(GetTextCharset(dc), SHIFTJIS_CHARSET);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
}

// The menu window is a child of the frame, and settings broadcasts reach top-level windows
// only: the frame must hand them on.
TEST(MainFrame, SettingChangeSentToTheFrameRenewsTheMenuWindowsFont) {
    NONCLIENTMETRICSA saved{};
    saved.cbSize = sizeof saved;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof saved, &saved, 0));
    CMainFrame frame;
    ASSERT_TRUE(frame.CreateFrame());
    const CorvinaPlusMenu& menu = frame.GetMenuWindow();
    ASSERT_NE(menu.GetMenuFont(), nullptr);

    const struct {
        const char* change;
        LONG height;
    } changes[] = {
        {"a larger menu font", -40},
        {"a smaller menu font", -9},
        {"the user's own again", saved.lfMenuFont.lfHeight},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.change);
        NONCLIENTMETRICSA metrics = saved;
        metrics.lfMenuFont.lfHeight = change.height;
        // Changed without a broadcast: only the message below tells the frame.
        ASSERT_TRUE(SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
        HFONT before = menu.GetMenuFont();
        SendMessageA(frame.GetHwnd(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
        LOGFONTA font{};
        ASSERT_NE(GetObjectA(menu.GetMenuFont(), sizeof font, &font), 0);
        EXPECT_EQ(font.lfHeight, change.height);
        EXPECT_NE(menu.GetMenuFont(), before);
        EXPECT_EQ(GetObjectType(before), 0u) << "the earlier font is deleted";
    }
    SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof saved, &saved, 0);
    frame.DestroyWindow();
}

// A dialog with three static texts: left-aligned, centred and right-aligned.
class HyperLink : public ::testing::Test {
protected:
    static INT_PTR CALLBACK Proc(HWND, UINT message, WPARAM, LPARAM) {
        return message == WM_INITDIALOG;
    }
    void SetUp() override {
        dialog = CreateDialogIndirectA(nullptr, Template(), nullptr, Proc);
        ASSERT_NE(dialog, nullptr);
        const DWORD styles[] = {SS_LEFT, SS_CENTER, SS_RIGHT};
        for (int i = 0; i < 3; ++i) {
            controls[i] = CreateWindowExA(0, "STATIC", "corvina@example.com",
                                          WS_CHILD | WS_VISIBLE | styles[i], 10, 10 + 30 * i, 300,
                                          25, dialog, nullptr, nullptr, nullptr);
            SendMessageA(controls[i], WM_SETFONT,
                         reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        }
    }
    void TearDown() override { DestroyWindow(dialog); }
    static const DLGTEMPLATE* Template() {
        static struct {
            DLGTEMPLATE dialog;
            WORD menu, windowClass, caption;
        } blank = {{WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 250, 120}, 0, 0, 0};
        return &blank.dialog;
    }
    RECT ChildRect(HWND control) {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    HWND dialog = nullptr;
    HWND controls[3] = {};
};

TEST_F(HyperLink, ShrinksToItsTextKeepingItsAlignment) {
    CHyperLink links[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(links[i].Attach(controls[i], "mailto:corvina@example.com"));
    }
    const RECT left = ChildRect(controls[0]);
    const RECT centre = ChildRect(controls[1]);
    const RECT right = ChildRect(controls[2]);
    const int width = left.right - left.left;
    EXPECT_GT(width, 20);
    EXPECT_LT(width, 300);
    EXPECT_EQ(left.left, 10);
    EXPECT_EQ(right.right, 310);
    EXPECT_NEAR((centre.left + centre.right) / 2, 160, 1);
    EXPECT_EQ(centre.right - centre.left, width);
    EXPECT_EQ(right.right - right.left, width);
    EXPECT_TRUE(GetWindowLongPtrA(controls[0], GWL_STYLE) & SS_NOTIFY);
    EXPECT_EQ(links[0].GetTarget(), "mailto:corvina@example.com");
}

TEST_F(HyperLink, UnderlinesWhileHoveredAndLetsGoWhenTheMouseLeaves) {
    CHyperLink link;
    ASSERT_TRUE(link.Attach(controls[0], "http://www.example.com/corvina/"));
    SetCursorPos(5, 5); // outside the control
    SendMessageA(controls[0], WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(link.IsHovering());
    // The timer looks at the real cursor, which is elsewhere.
    SendMessageA(controls[0], WM_TIMER, CHyperLink::kHoverTimerId, 0);
    EXPECT_FALSE(link.IsHovering());
}

TEST_F(HyperLink, DetachesWhenItsControlIsDestroyed) {
    CHyperLink link;
    ASSERT_TRUE(link.Attach(controls[0], nullptr));
    EXPECT_EQ(link.GetTarget(), "corvina@example.com"); // the text itself
    DestroyWindow(controls[0]);
    EXPECT_EQ(link.GetHwnd(), nullptr);
    EXPECT_TRUE(link.Attach(controls[1], "x:y"));
}

// The ".htm" handler stands in when the shell cannot open a target: here its command starts
// the marker program, which leaves a file.
TEST(HyperLinkFallback, RunsTheHtmHandlersCommandWhenTheShellCannotOpen) {
    const std::string marker = MarkerProgramPath();
    const std::string ran = marker + ".ran";
    DeleteFileA(ran.c_str());
    char savedProgId[256] = {};
    LONG savedSize = sizeof savedProgId;
    const bool hadHtm =
        RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", savedProgId, &savedSize) == ERROR_SUCCESS;
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, "CorvinaTest.Htm", 0), ERROR_SUCCESS);
    const std::string command = "\"" + marker + "\" -page \"%1\" -more";
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "CorvinaTest.Htm\\shell\\open\\command", REG_SZ,
                           command.c_str(), 0),
              ERROR_SUCCESS);

    EXPECT_EQ(CHyperLink::BuildFallbackCommand("nosuchscheme:target"),
              "\"" + marker + "\" -page  nosuchscheme:target");
    EXPECT_TRUE(CHyperLink::OpenTarget("nosuchscheme:target"));
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(ran.c_str()) == INVALID_FILE_ATTRIBUTES &&
           GetTickCount() - start < 30000) {
        Sleep(50);
    }
    EXPECT_NE(GetFileAttributesA(ran.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the handler's command was not run";
    DeleteFileA(ran.c_str());

    SHDeleteKeyA(HKEY_CLASSES_ROOT, "CorvinaTest.Htm");
    if (hadHtm) {
        RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, savedProgId, 0);
    } else {
        SHDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
    }
    EXPECT_EQ(CHyperLink::BuildFallbackCommand("x").find(marker), std::string::npos);
}

} // namespace
