// Entries measured and painted through HandleMenuMsg2 and HandleMenuMsg into memory bitmaps,
// checked pixel by pixel in the style of the running system; the older style is checked by the
// same tests in a copy of this program that Wine runs as Windows 2000.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "CContextMenuHost.h"
#include "ExtensionTestSupport.h"
#include "common/MenuItemDraw.h"

namespace {

const char kStyleVariable[] = "CORVINA_PAINT_STYLE";

bool OlderStyleExpected() {
    const char* style = std::getenv(kStyleVariable);
    return style && std::strcmp(style, "older") == 0;
}

constexpr int kWidth = 200;
constexpr int kHeight = 24;

// A menu with one folder (it has an icon) and "Settings...", built by a server copy loaded
// straight from its file.
class PaintStyle : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA(m_files.File("folder").c_str(), nullptr);
        m_list =
            std::make_unique<CUserList>(std::vector<ListEntry>{{m_files.File("folder"), "Folder"}});
        ASSERT_TRUE(m_server.Loaded());
        CComPtr<IUnknown> object;
        ASSERT_EQ(m_server.Create(IID_IUnknown, object), S_OK);
        ASSERT_EQ(m_host.Add(object.Get()), S_OK);
        ASSERT_EQ(m_host.QueryHandlers(), S_OK);
        HMENU submenu = GetSubMenu(m_host.Menu(), 0);
        ASSERT_NE(submenu, nullptr);
        for (int i = 0; i < 3; ++i) {
            MENUITEMINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_ID | MIIM_DATA;
            ASSERT_TRUE(GetMenuItemInfoA(submenu, static_cast<UINT>(i), TRUE, &info));
            m_ids[i] = info.wID;
            m_data[i] = info.dwItemData;
        }
    }
    void TearDown() override { CUserList::Clear(); }

    void Draw(CCanvas& canvas, int entry, UINT state) {
        canvas.Fill(RGB(1, 2, 3));
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_MENU;
        draw.itemID = m_ids[entry];
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = state;
        draw.hDC = canvas.Dc();
        draw.rcItem = {0, 0, kWidth, kHeight};
        draw.itemData = m_data[entry];
        LRESULT result = 0x5EED;
        EXPECT_EQ(
            m_host.ForwardMenuMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), &result),
            S_OK);
        EXPECT_EQ(result, 0x5EED);
    }

    SIZE Measure(int entry) {
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemID = m_ids[entry];
        measure.itemData = m_data[entry];
        EXPECT_EQ(m_host.ForwardMenuMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure),
                                            nullptr),
                  S_OK);
        return {static_cast<LONG>(measure.itemWidth), static_cast<LONG>(measure.itemHeight)};
    }

    CComScope m_com;
    CScratchFolder m_files{"paint"};
    std::unique_ptr<CUserList> m_list;
    CServerCopy m_server{true};
    CContextMenuHost m_host;
    UINT m_ids[3] = {}; // folder, separator, "Settings..."
    ULONG_PTR m_data[3] = {};
};

TEST_F(PaintStyle, RunsInTheExpectedStyle) {
    EXPECT_EQ(IsFlatMenuSystem() != FALSE, !OlderStyleExpected());
}

TEST_F(PaintStyle, MeasuresLabelsWithTheMenuFontPlus26) {
    CFontHandle font = CreateMenuFont();
    ASSERT_TRUE(font);
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    SIZE text = {};
    GetTextExtentPoint32A(screen, "Folder", 6, &text);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);

    const SIZE folder = Measure(0);
    EXPECT_EQ(folder.cx, text.cx + 26);
    const LONG height = text.cy < 20 ? 20 : text.cy + (text.cy % 2);
    EXPECT_EQ(folder.cy, height);
    const SIZE separator = Measure(1);
    EXPECT_EQ(separator.cx, 16);
    EXPECT_EQ(separator.cy, 8);
}

TEST_F(PaintStyle, HighlightFollowsTheSystemStyle) {
    const COLORREF menu = GetSysColor(COLOR_MENU);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    ASSERT_NE(menu, highlight);
    CCanvas canvas(kWidth, kHeight);

    Draw(canvas, 0, 0);
    EXPECT_EQ(canvas.Pixel(1, 12), menu);
    EXPECT_EQ(canvas.Pixel(kWidth - 2, 2), menu);

    Draw(canvas, 0, ODS_SELECTED);
    EXPECT_EQ(canvas.Pixel(kWidth - 2, 2), highlight);
    EXPECT_EQ(canvas.Pixel(24, 2), highlight);
    if (OlderStyleExpected()) {
        // The icon keeps the menu colour inside a raised frame; the highlight starts two
        // pixels right of the icon box.
        EXPECT_EQ(canvas.Pixel(1, 12), menu);
        EXPECT_EQ(canvas.Pixel(23, 2), menu);
        EXPECT_EQ(canvas.Pixel(2, 12), GetSysColor(COLOR_3DHILIGHT)); // frame, left
        EXPECT_EQ(canvas.Pixel(21, 12), GetSysColor(COLOR_3DSHADOW)); // frame, right
    } else {
        // The whole entry, icon included, is highlighted and has no frame.
        EXPECT_EQ(canvas.Pixel(1, 12), highlight);
        EXPECT_EQ(canvas.Pixel(2, 12), highlight);
        EXPECT_EQ(canvas.Pixel(21, 12), highlight);
    }

    // The separator: menu colour with an etched line at the middle.
    Draw(canvas, 1, 0);
    EXPECT_EQ(canvas.Pixel(kWidth / 2, 2), menu);
    EXPECT_EQ(canvas.Pixel(kWidth / 2, kHeight / 2), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(canvas.Pixel(kWidth / 2, kHeight / 2 + 1), GetSysColor(COLOR_3DHILIGHT));
}

TEST_F(PaintStyle, DisabledIconIsEmbossed) {
    const std::set<COLORREF> emboss = {GetSysColor(COLOR_MENU), GetSysColor(COLOR_3DHILIGHT),
                                       GetSysColor(COLOR_3DSHADOW)};
    CCanvas canvas(kWidth, kHeight);
    auto iconColours = [&] {
        std::set<COLORREF> colours;
        for (int y = 4; y < 20; ++y) {
            for (int x = 4; x < 20; ++x) {
                colours.insert(canvas.Pixel(x, y));
            }
        }
        return colours;
    };
    // Enabled, the icon shows colours of its own, so the check below can tell.
    Draw(canvas, 0, 0);
    bool ownColour = false;
    for (COLORREF colour : iconColours()) {
        ownColour |= emboss.count(colour) == 0;
    }
    EXPECT_TRUE(ownColour);

    Draw(canvas, 0, ODS_GRAYED);
    const std::set<COLORREF> disabled = iconColours();
    for (COLORREF colour : disabled) {
        EXPECT_EQ(emboss.count(colour), 1u) << std::hex << colour;
    }
    EXPECT_EQ(disabled.count(GetSysColor(COLOR_3DHILIGHT)), 1u);
    EXPECT_EQ(disabled.count(GetSysColor(COLOR_3DSHADOW)), 1u);
    // The grey text has its highlight shadow; nothing of the enabled text colour remains.
    std::set<COLORREF> text;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 26; x < kWidth - 16; ++x) {
            text.insert(canvas.Pixel(x, y));
        }
    }
    EXPECT_EQ(text.count(GetSysColor(COLOR_GRAYTEXT)), 1u);
    EXPECT_EQ(text.count(GetSysColor(COLOR_3DHILIGHT)), 1u);
}

TEST_F(PaintStyle, ContextMenu2HostsGetTheSameEntriesThroughHandleMenuMsg) {
    struct Case {
        int entry;
        UINT state;
    };
    const Case cases[] = {{0, 0}, {0, ODS_SELECTED}, {0, ODS_GRAYED}, {1, 0},
                          {2, 0}, {2, ODS_SELECTED}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "entry " << c.entry << " state " << c.state);
        CCanvas expected(kWidth, kHeight);
        m_host.UseContextMenu2Only(false);
        const SIZE expectedSize = Measure(c.entry);
        Draw(expected, c.entry, c.state);
        ASSERT_NE(expected.Pixel(kWidth - 2, 2), RGB(1, 2, 3)) << "painted through HandleMenuMsg2";

        CCanvas canvas(kWidth, kHeight);
        m_host.UseContextMenu2Only(true);
        const SIZE size = Measure(c.entry);
        Draw(canvas, c.entry, c.state);
        m_host.UseContextMenu2Only(false);

        EXPECT_EQ(size.cx, expectedSize.cx);
        EXPECT_EQ(size.cy, expectedSize.cy);
        int differing = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                differing += canvas.Pixel(x, y) != expected.Pixel(x, y);
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

// The same tests once more in a copy of this program that Wine runs as Windows 2000.
TEST(PaintOlderStyle, SameTestsPassOnAnOlderSystem) {
    if (OlderStyleExpected()) {
        GTEST_SKIP() << "already the older system";
    }
    CScratchFolder folder("older");
    char self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    const char kCopyName[] = "corvina_paint_older.exe";
    const std::string copy = folder.File(kCopyName);
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    const std::string appKey = std::string("Software\\Wine\\AppDefaults\\") + kCopyName;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, appKey.c_str(), &key), ERROR_SUCCESS);
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win2k"), 6);
    RegCloseKey(key);

    SetEnvironmentVariableA(kStyleVariable, "older");
    const int code = RunAndWait("\"" + copy + "\" --gtest_filter=PaintStyle.*");
    SetEnvironmentVariableA(kStyleVariable, nullptr);
    RegDeleteKeyA(HKEY_CURRENT_USER, appKey.c_str());
    EXPECT_EQ(code, 0);
}

} // namespace
