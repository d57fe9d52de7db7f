// Entries painted into a 32-bit bitmap and read back pixel by pixel, in both highlight styles.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "common/MenuItemDraw.h"
#include "common/ShellMenuItemData.h"
#include "common/ShellQueries.h"

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 24; // icon box (2,2)-(22,22), icon at (4,4)
constexpr int kIconX = 4;
constexpr int kIconY = 4;

// The colours the fixture's palette gives the system.
struct Colours {
    COLORREF menu = CTestPalette::kMenu;
    COLORREF menuText = CTestPalette::kMenuText;
    COLORREF highlight = CTestPalette::kHighlight;
    COLORREF highlightText = CTestPalette::kHighlightText;
    COLORREF grayText = CTestPalette::kGrayText;
    COLORREF light = CTestPalette::kLight;
    COLORREF shadow = CTestPalette::kShadow;
};

class MenuItemDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        m_palette = std::make_unique<CTestPalette>();
        ASSERT_TRUE(m_palette->Applied()) << "system colours cannot be set";
        m_font = CreateMenuFont();
        ASSERT_TRUE(m_font);
        m_imageList = SystemSmallImageList();
        ASSERT_NE(m_imageList, nullptr);
        char windows[MAX_PATH] = {};
        GetWindowsDirectoryA(windows, MAX_PATH);
        CItemIdList folder = ParsePathToItemIdList(windows);
        ASSERT_TRUE(folder);
        ASSERT_TRUE(QueryIconIndex(folder, &m_iconIndex));
        ASSERT_GE(m_iconIndex, 0);
        LoadMask();
    }
    void TearDown() override {
        m_palette.reset();
        CoUninitialize();
    }

    // Which of the icon's 16 x 16 pixels are opaque, from its mask drawn on white.
    void LoadMask() {
        CCanvas mask(16, 16);
        ASSERT_TRUE(mask.Valid());
        mask.Fill(RGB(255, 255, 255));
        ASSERT_TRUE(ImageList_Draw(m_imageList, m_iconIndex, mask.Dc(), 0, 0, ILD_MASK));
        m_opaque.assign(16 * 16, false);
        int opaque = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                m_opaque[y * 16 + x] = mask.Pixel(x, y) == RGB(0, 0, 0);
                opaque += m_opaque[y * 16 + x];
            }
        }
        // A folder icon has both: shape and transparent surroundings.
        ASSERT_GT(opaque, 40);
        ASSERT_LT(opaque, 256);
    }
    bool Opaque(int iconX, int iconY) const {
        return iconX >= 0 && iconY >= 0 && iconX < 16 && iconY < 16 && m_opaque[iconY * 16 + iconX];
    }
    // Inside the icon's square: its edges may blend with the background where the mask says
    // transparent (icons with an alpha channel).
    static bool InIconSquare(int x, int y) {
        return x >= kIconX && y >= kIconY && x < kIconX + 16 && y < kIconY + 16;
    }

    MenuEntryLook Look(const char* label, bool selected, bool disabled, bool icon = true) const {
        MenuEntryLook look{};
        look.label = label;
        look.imageList = m_imageList;
        look.iconIndex = icon ? m_iconIndex : -1;
        look.selected = selected;
        look.disabled = disabled;
        return look;
    }

    void Paint(CCanvas& canvas, const MenuEntryLook& look, bool flat) {
        canvas.Fill(RGB(255, 0, 255)); // magenta: whatever is left of it was not painted
        const RECT rect = {0, 0, canvas.Width(), canvas.Height()};
        PaintMenuEntry(canvas.Dc(), rect, look, m_font, flat);
    }

    // Columns [from, to) that hold a pixel other than background.
    static std::vector<int> InkColumns(const CCanvas& canvas, int from, int to,
                                       COLORREF background) {
        std::vector<int> columns;
        for (int x = from; x < to; ++x) {
            for (int y = 0; y < canvas.Height(); ++y) {
                if (canvas.Pixel(x, y) != background) {
                    columns.push_back(x);
                    break;
                }
            }
        }
        return columns;
    }
    static int CountPixels(const CCanvas& canvas, int from, int to, COLORREF colour) {
        int count = 0;
        for (int x = from; x < to; ++x) {
            for (int y = 0; y < canvas.Height(); ++y) {
                count += canvas.Pixel(x, y) == colour;
            }
        }
        return count;
    }

    Colours c;
    std::unique_ptr<CTestPalette> m_palette;
    CFontHandle m_font;
    HIMAGELIST m_imageList = nullptr;
    int m_iconIndex = -1;
    std::vector<bool> m_opaque;
};

TEST_F(MenuItemDrawTest, FlatSelectedHighlightsTheWholeEntry) {
    CCanvas canvas(kWidth, kHeight);
    Paint(canvas, Look("Item", true, false), true);
    int checked = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool text = x >= 26 && x < kWidth - 16;
            if (text || InIconSquare(x, y)) {
                continue;
            }
            ASSERT_EQ(canvas.Pixel(x, y), c.highlight) << x << "," << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 26 * kHeight - 200) << "the icon box is highlighted too, without a frame";
    EXPECT_GT(CountPixels(canvas, 26, kWidth - 16, c.highlightText), 0);
    EXPECT_GT(CountPixels(canvas, 26, kWidth - 16, c.highlight), 0);
}

TEST_F(MenuItemDrawTest, OlderSelectedFramesTheIconAndHighlightsRightOfIt) {
    CCanvas canvas(kWidth, kHeight);
    Paint(canvas, Look("Item", true, false), false);
    // Raised frame: light at the top and left, shadow at the bottom and right of the box.
    for (int i = 4; i < 20; ++i) {
        EXPECT_EQ(canvas.Pixel(2, i), c.light) << "left edge " << i;
        EXPECT_EQ(canvas.Pixel(i, 2), c.light) << "top edge " << i;
        EXPECT_EQ(canvas.Pixel(21, i), c.shadow) << "right edge " << i;
        EXPECT_EQ(canvas.Pixel(i, 21), c.shadow) << "bottom edge " << i;
    }
    // Nothing left of the highlight is highlighted, the icon keeps the menu colour around it.
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < 24; ++x) {
            if (!InIconSquare(x, y)) {
                ASSERT_NE(canvas.Pixel(x, y), c.highlight) << x << "," << y;
            }
        }
        EXPECT_EQ(canvas.Pixel(0, y), c.menu) << y;
        EXPECT_EQ(canvas.Pixel(23, y), c.menu) << y;
        EXPECT_EQ(canvas.Pixel(24, y), c.highlight) << y;
        EXPECT_EQ(canvas.Pixel(kWidth - 1, y), c.highlight) << y;
    }
    EXPECT_EQ(canvas.Pixel(3, 3), c.menu) << "inside the frame, outside the icon";
    for (int x = 24; x < kWidth; ++x) {
        EXPECT_EQ(canvas.Pixel(x, 0), c.highlight) << x;
    }
    EXPECT_GT(CountPixels(canvas, 26, kWidth - 16, c.highlightText), 0);
}

TEST_F(MenuItemDrawTest, OlderSelectedWithoutIconHighlightsFromTheLeftEdge) {
    CCanvas canvas(kWidth, kHeight);
    Paint(canvas, Look("Item", true, false, false), false);
    for (int y = 0; y < kHeight; ++y) {
        EXPECT_EQ(canvas.Pixel(0, y), c.menu) << y;
        EXPECT_EQ(canvas.Pixel(1, y), c.menu) << y;
        EXPECT_EQ(canvas.Pixel(2, y), c.highlight) << "no frame, highlight from left + 2";
        EXPECT_EQ(canvas.Pixel(25, y), c.highlight) << y;
    }
}

TEST_F(MenuItemDrawTest, UnselectedIsMenuColouredAndTheIconTransparent) {
    for (bool flat : {true, false}) {
        SCOPED_TRACE(flat ? "flat" : "older");
        CCanvas canvas(kWidth, kHeight);
        Paint(canvas, Look("Item", false, false), flat);
        int iconInk = 0;
        int clear = 0;
        int clearOnMenu = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (InIconSquare(x, y)) {
                    if (Opaque(x - kIconX, y - kIconY)) {
                        iconInk += canvas.Pixel(x, y) != c.menu;
                    } else {
                        ++clear;
                        clearOnMenu += canvas.Pixel(x, y) == c.menu;
                    }
                } else if (x < 26 || x >= kWidth - 16) {
                    ASSERT_EQ(canvas.Pixel(x, y), c.menu) << x << "," << y;
                }
            }
        }
        EXPECT_GE(clearOnMenu * 10, clear * 8) << "drawn transparently";
        EXPECT_GT(iconInk, 20) << "the icon is drawn";
        EXPECT_GT(CountPixels(canvas, 26, kWidth - 16, c.menuText), 0);
        EXPECT_EQ(CountPixels(canvas, 0, kWidth, c.highlight), 0);
    }
}

TEST_F(MenuItemDrawTest, DisabledIconIsEmbossedFromItsMask) {
    struct Case {
        bool flat;
        bool selected;
        COLORREF background;
    };
    const Case cases[] = {{true, false, c.menu}, {false, false, c.menu}, {true, true, c.highlight}};
    for (const Case& k : cases) {
        SCOPED_TRACE(::testing::Message() << "flat " << k.flat << " selected " << k.selected);
        CCanvas canvas(kWidth, kHeight);
        Paint(canvas, Look("Item", k.selected, true), k.flat);
        int shadows = 0;
        int lights = 0;
        for (int y = kIconY - 1; y < kIconY + 18; ++y) {
            for (int x = kIconX - 1; x < kIconX + 18; ++x) {
                const int ix = x - kIconX;
                const int iy = y - kIconY;
                COLORREF expected = k.background;
                if (Opaque(ix, iy)) {
                    expected = c.shadow;
                    ++shadows;
                } else if (Opaque(ix - 1, iy - 1)) {
                    expected = c.light;
                    ++lights;
                }
                ASSERT_EQ(canvas.Pixel(x, y), expected) << x << "," << y;
            }
        }
        EXPECT_GT(shadows, 40);
        EXPECT_GT(lights, 5);
    }
}

TEST_F(MenuItemDrawTest, DisabledTextIsEmbossedUnlessOnAnotherHighlight) {
    struct Case {
        bool flat;
        bool selected;
        bool greyHighlight; // the system's highlight has the grey-text colour
        bool shadow;
    };
    const Case cases[] = {
        {true, false, false, true},  {false, false, false, true}, {true, true, false, false},
        {false, true, false, false}, {true, true, true, true},    {false, true, true, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(::testing::Message() << "flat " << k.flat << " selected " << k.selected
                                          << " grey highlight " << k.greyHighlight);
        std::unique_ptr<CTestPalette> grey;
        if (k.greyHighlight) {
            grey = std::make_unique<CTestPalette>(CTestPalette::kGrayText);
            ASSERT_TRUE(grey->Applied());
        }
        CCanvas canvas(kWidth, kHeight);
        Paint(canvas, Look("HHHH IIII", k.selected, true, false), k.flat);
        EXPECT_GT(CountPixels(canvas, 26, kWidth - 16, c.grayText), 0);
        const int lights = CountPixels(canvas, 26, kWidth, c.light);
        if (k.shadow) {
            EXPECT_GT(lights, 0);
        } else {
            EXPECT_EQ(lights, 0);
        }
    }
}

TEST_F(MenuItemDrawTest, TextStaysBetweenTheIndentAndTheRightGap) {
    const std::string longLabel(120, 'W');
    for (bool icon : {true, false}) {
        SCOPED_TRACE(icon ? "with icon" : "without icon");
        CCanvas canvas(kWidth, kHeight);
        Paint(canvas, Look(longLabel.c_str(), false, false, icon), true);
        const std::vector<int> ink = InkColumns(canvas, 24, kWidth, c.menu);
        ASSERT_FALSE(ink.empty());
        EXPECT_GE(ink.front(), 26);
        EXPECT_LE(ink.front(), 29) << "text starts at the indent, icon or not";
        EXPECT_LT(ink.back(), kWidth - 16) << "cut before the right gap";
        EXPECT_GE(ink.back(), kWidth - 16 - 12) << "but fills up to it";
        if (!icon) {
            EXPECT_TRUE(InkColumns(canvas, 0, 26, c.menu).empty()) << "nothing left of the text";
        }
    }
}

TEST_F(MenuItemDrawTest, TabPutsTheSecondPartAtTheRightEdge) {
    struct Case {
        const char* label;
        bool leftInk;
        bool rightInk;
    };
    const Case cases[] = {
        {"Name\tKey", true, true},
        {"\tKey", false, true},
        {"Name", true, false},
        {"Name\t", true, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.label);
        CCanvas canvas(kWidth, kHeight);
        Paint(canvas, Look(k.label, false, false, false), true);
        const int textRight = kWidth - 16;
        EXPECT_EQ(!InkColumns(canvas, 26, 70, c.menu).empty(), k.leftInk);
        const std::vector<int> right = InkColumns(canvas, 120, kWidth, c.menu);
        EXPECT_EQ(!right.empty(), k.rightInk);
        if (k.rightInk) {
            EXPECT_GE(right.back(), textRight - 3) << "right-aligned";
            EXPECT_LT(right.back(), textRight);
            EXPECT_GE(right.front(), textRight - 60);
        }
        EXPECT_TRUE(InkColumns(canvas, 80, 120, c.menu).empty()) << "nothing in the middle";
    }
}

TEST_F(MenuItemDrawTest, SeparatorIsAnEtchedLineAtTheMiddle) {
    struct Case {
        RECT rect;
        int line;
    };
    const Case cases[] = {{{0, 0, 100, 8}, 4}, {{10, 20, 90, 29}, 24}, {{0, 3, 60, 13}, 8}};
    for (const Case& k : cases) {
        SCOPED_TRACE(::testing::Message() << k.rect.top << ".." << k.rect.bottom);
        CCanvas canvas(100, 32);
        canvas.Fill(RGB(255, 0, 255));
        PaintMenuSeparator(canvas.Dc(), k.rect);
        for (int y = k.rect.top; y < k.rect.bottom; ++y) {
            const COLORREF expected = y == k.line ? c.shadow : (y == k.line + 1 ? c.light : c.menu);
            for (int x = k.rect.left + 1; x < k.rect.right - 1; ++x) {
                ASSERT_EQ(canvas.Pixel(x, y), expected) << x << "," << y;
            }
        }
        EXPECT_EQ(canvas.Pixel(k.rect.left, k.rect.bottom), RGB(255, 0, 255)) << "stays inside";
    }
}

TEST_F(MenuItemDrawTest, DrawItemRequestsPaintByKindAndState) {
    ShellMenuItemData entry;
    entry.SetKind(MenuItemKind::Command);
    entry.SetLabel("Entry");
    entry.SetIconIndex(m_iconIndex);
    ShellMenuItemData separator;
    separator.SetKind(MenuItemKind::Separator);

    CCanvas canvas(kWidth, kHeight);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.hDC = canvas.Dc();
    draw.rcItem = {0, 0, kWidth, kHeight};

    canvas.Fill(RGB(255, 0, 255));
    draw.itemData = reinterpret_cast<ULONG_PTR>(&entry);
    draw.itemState = ODS_SELECTED;
    EXPECT_TRUE(DrawMenuItem(draw, m_font, true));
    EXPECT_EQ(canvas.Pixel(1, 1), c.highlight);
    EXPECT_EQ(canvas.Pixel(kWidth - 1, 1), c.highlight);

    draw.itemState = ODS_GRAYED;
    EXPECT_TRUE(DrawMenuItem(draw, m_font, true));
    EXPECT_EQ(canvas.Pixel(1, 1), c.menu);
    EXPECT_GT(CountPixels(canvas, 0, 24, c.shadow), 40) << "embossed icon";
    EXPECT_GT(CountPixels(canvas, 26, kWidth, c.grayText), 0);

    draw.itemData = reinterpret_cast<ULONG_PTR>(&separator);
    draw.itemState = ODS_SELECTED;
    EXPECT_TRUE(DrawMenuItem(draw, m_font, true));
    EXPECT_EQ(canvas.Pixel(50, kHeight / 2), c.shadow) << "a separator is never highlighted";
    EXPECT_EQ(canvas.Pixel(50, 0), c.menu);

    // Not a menu entry, or no data: left alone.
    canvas.Fill(RGB(255, 0, 255));
    draw.CtlType = ODT_BUTTON;
    EXPECT_FALSE(DrawMenuItem(draw, m_font, true));
    draw.CtlType = ODT_MENU;
    draw.itemData = 0;
    EXPECT_FALSE(DrawMenuItem(draw, m_font, true));
    EXPECT_TRUE(InkColumns(canvas, 0, kWidth, RGB(255, 0, 255)).empty());
}

TEST_F(MenuItemDrawTest, PaintingLeavesTheDeviceContextAsItWas) {
    CCanvas canvas(kWidth, kHeight);
    HDC dc = canvas.Dc();
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    const HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    const MenuEntryLook looks[] = {Look("A\tB", true, false), Look("A", false, true),
                                   Look("A", true, true)};
    for (const MenuEntryLook& look : looks) {
        for (bool flat : {true, false}) {
            PaintMenuEntry(dc, RECT{0, 0, kWidth, kHeight}, look, m_font, flat);
            EXPECT_EQ(GetBkMode(dc), OPAQUE);
            EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
            EXPECT_EQ(GetBkColor(dc), RGB(4, 5, 6));
            EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
            EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
            EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
        }
    }
}

TEST_F(MenuItemDrawTest, MeasuringSizesByKindFontAndExtraWidth) {
    ShellMenuItemData separator;
    separator.SetKind(MenuItemKind::Separator);
    separator.SetLabel("ignored for separators");
    for (int extra : {kExtensionMenuExtraWidth, kResidentMenuExtraWidth}) {
        const SIZE size = MeasureMenuItem(separator, m_font, extra);
        EXPECT_EQ(size.cx, 16);
        EXPECT_EQ(size.cy, 8);
    }

    ShellMenuItemData entry;
    entry.SetKind(MenuItemKind::Command);
    entry.SetLabel("Program Files\tCtrl+P");
    for (int pixels = 8; pixels <= 40; pixels += 3) {
        SCOPED_TRACE(pixels);
        CFontHandle font(CreateFontA(-pixels, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                                     0, "Tahoma"));
        ASSERT_TRUE(font);
        SIZE text = {};
        {
            CWindowDC screen;
            CSelectObject select(screen, font);
            const char* label = entry.GetLabel();
            ASSERT_TRUE(GetTextExtentPoint32A(screen, label, lstrlenA(label), &text));
        }
        const SIZE narrow = MeasureMenuItem(entry, font, kExtensionMenuExtraWidth);
        const SIZE wide = MeasureMenuItem(entry, font, kResidentMenuExtraWidth);
        EXPECT_EQ(narrow.cx, text.cx + 26);
        EXPECT_EQ(wide.cx, text.cx + 42);
        EXPECT_EQ(narrow.cy, wide.cy);
        EXPECT_EQ(narrow.cy % 2, 0);
        EXPECT_GE(narrow.cy, 20);
        EXPECT_GE(narrow.cy, text.cy);
        EXPECT_LE(narrow.cy, std::max<LONG>(20, text.cy + 1));
    }

    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemData = reinterpret_cast<ULONG_PTR>(&separator);
    EXPECT_TRUE(MeasureMenuItem(&measure, m_font, kResidentMenuExtraWidth));
    EXPECT_EQ(measure.itemWidth, 16u);
    EXPECT_EQ(measure.itemHeight, 8u);
    measure.itemData = reinterpret_cast<ULONG_PTR>(&entry);
    EXPECT_TRUE(MeasureMenuItem(&measure, m_font, kResidentMenuExtraWidth));
    EXPECT_EQ(static_cast<LONG>(measure.itemWidth),
              MeasureMenuItem(entry, m_font, kResidentMenuExtraWidth).cx);

    MEASUREITEMSTRUCT other = {};
    other.CtlType = ODT_LISTBOX;
    other.itemData = reinterpret_cast<ULONG_PTR>(&entry);
    other.itemWidth = 0xdeadbeef;
    other.itemHeight = 0xdeadbeef;
    EXPECT_FALSE(MeasureMenuItem(&other, m_font, kResidentMenuExtraWidth));
    EXPECT_EQ(other.itemWidth, 0xdeadbeefu);
    other.CtlType = ODT_MENU;
    other.itemData = 0;
    EXPECT_FALSE(MeasureMenuItem(&other, m_font, kResidentMenuExtraWidth));
    EXPECT_EQ(other.itemHeight, 0xdeadbeefu);
    EXPECT_FALSE(MeasureMenuItem(nullptr, m_font, kResidentMenuExtraWidth));
}

TEST_F(MenuItemDrawTest, MenuFontIsTheSystemMenuFont) {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    LOGFONTA created = {};
    ASSERT_EQ(GetObjectA(m_font, sizeof(created), &created), static_cast<int>(sizeof(created)));
    EXPECT_EQ(created.lfHeight, metrics.lfMenuFont.lfHeight);
    EXPECT_EQ(created.lfWeight, metrics.lfMenuFont.lfWeight);
    EXPECT_STREQ(created.lfFaceName, metrics.lfMenuFont.lfFaceName);

    // The font must draw the system's own characters: Shift-JIS labels on a Japanese system.
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HGDIOBJ old = SelectObject(dc, m_font);
    const int charset = GetTextCharset(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(charset, GetACP() == 932 ? SHIFTJIS_CHARSET : ANSI_CHARSET);
}

TEST_F(MenuItemDrawTest, FlatMenusOnThisSystemFollowItsVersion) {
    // Wine reports an NT version of 5.1 or later by default.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(GetVersionExA(&version));
    ASSERT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    ASSERT_TRUE(version.dwMajorVersion > 5 ||
                (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1));
    EXPECT_TRUE(IsFlatMenuSystem());
}

TEST_F(MenuItemDrawTest, NoGdiObjectIsLeft) {
    // The counter itself must see objects come and go.
    const DWORD base = CountGdiObjects();
    std::vector<HBRUSH> probes;
    for (int i = 0; i < 5; ++i) {
        probes.push_back(CreateSolidBrush(RGB(i, 7, 9)));
    }
    ASSERT_EQ(CountGdiObjects(), base + 5) << "GDI objects cannot be counted here";
    for (HBRUSH brush : probes) {
        DeleteObject(brush);
    }
    ASSERT_EQ(CountGdiObjects(), base);

    CCanvas canvas(kWidth, kHeight);
    ShellMenuItemData entry;
    entry.SetKind(MenuItemKind::FolderSubmenu);
    entry.SetLabel("Folder\tKey");
    entry.SetIconIndex(m_iconIndex);
    ShellMenuItemData separator;
    separator.SetKind(MenuItemKind::Separator);
    const UINT states[] = {0, ODS_SELECTED, ODS_GRAYED, ODS_GRAYED | ODS_SELECTED};
    const RECT rect = {0, 0, kWidth, kHeight};
    // Warm-up: the system may create objects of its own once (font caches, brushes).
    for (UINT state : states) {
        DrawMenuItem(canvas.Dc(), rect, state, entry, m_font, false);
    }
    const DWORD before = CountGdiObjects();
    for (int i = 0; i < 200; ++i) {
        DrawMenuItem(canvas.Dc(), rect, states[i % 4], entry, m_font, i % 8 < 4);
        DrawMenuItem(canvas.Dc(), rect, states[i % 4], separator, m_font, true);
        MeasureMenuItem(entry, m_font, kResidentMenuExtraWidth);
    }
    EXPECT_EQ(CountGdiObjects(), before) << "after 200 paints";

    for (int i = 0; i < 100; ++i) {
        auto data = std::make_unique<ShellMenuItemData>();
        data->SetLabel("x");
    }
    for (int i = 0; i < 10; ++i) {
        CFontHandle font = CreateMenuFont();
        EXPECT_TRUE(font);
    }
    EXPECT_EQ(CountGdiObjects(), before) << "after 100 item data and 10 menu fonts";
}

} // namespace
