// The installer's progress bar on a real static control: its pixels at several positions,
// the widened range, when it repaints, and that painting holds no GDI objects.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "TestSupport.h"
#include "framework/CSubclassWnd.h"
#include "framework/Handles.h"
#include "setup/CProgressBar.h"

namespace {

constexpr int kWidth = 104;
constexpr int kHeight = 20;

// Counts the control's paints and the bar's position at each.
class CPaintCounter : public CSubclassWnd {
public:
    explicit CPaintCounter(const CProgressBar& bar) : m_bar(bar) {}
    std::vector<int> positions;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_PAINT) {
            positions.push_back(m_bar.GetPosition());
        }
        return Default(message, wParam, lParam);
    }

private:
    const CProgressBar& m_bar;
};

class ProgressBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The parent plays the dialog: the bar writes in its font.
        m_parent =
            CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 10, 10, kWidth + 20,
                            kHeight + 20, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_parent, nullptr);
        m_font = CreateFontA(-14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                             DEFAULT_PITCH, "Arial");
        ASSERT_NE(m_font, nullptr);
        SendMessageA(m_parent, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        m_control = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 5, 5, kWidth,
                                    kHeight, m_parent, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_control, nullptr);
        ASSERT_TRUE(m_bar.Attach(m_control));
        m_bar.SetRange(0, 100);
        PumpMessages();
    }
    void TearDown() override {
        if (m_parent) {
            DestroyWindow(m_parent);
        }
        if (m_font) {
            DeleteObject(m_font);
        }
    }

    HWND m_parent = nullptr;
    HWND m_control = nullptr;
    HFONT m_font = nullptr;
    CProgressBar m_bar;
};

struct Inside {
    int left;
    int top;
    int right;
    int bottom;
};

Inside InsideOfFrame() {
    const int x = 2 * GetSystemMetrics(SM_CXBORDER);
    const int y = 2 * GetSystemMetrics(SM_CYBORDER);
    return {x, y, kWidth - x, kHeight - y};
}

// How many pixels of each colour an area holds, and how many of none of them.
struct ColourCount {
    int highlight = 0;
    int highlightText = 0;
    int face = 0;
    int other = 0;
};

ColourCount CountColours(const CCanvas& canvas, int left, int top, int right, int bottom) {
    ColourCount count;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const COLORREF pixel = canvas.Pixel(x, y);
            if (pixel == GetSysColor(COLOR_HIGHLIGHT)) {
                ++count.highlight;
            } else if (pixel == GetSysColor(COLOR_HIGHLIGHTTEXT)) {
                ++count.highlightText;
            } else if (pixel == GetSysColor(COLOR_BTNFACE)) {
                ++count.face;
            } else {
                ++count.other;
            }
        }
    }
    return count;
}

TEST_F(ProgressBarTest, PaintsTheFrameTheFillAndTheTextInTwoColours) {
    ASSERT_NE(GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_BTNFACE));
    ASSERT_NE(GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT));
    ASSERT_NE(GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_BTNFACE));
    const Inside in = InsideOfFrame();
    const int span = in.right - in.left;
    const struct {
        int position;
        int fillRight; // exclusive
    } cases[] = {
        {0, in.left},
        {50, in.left + span / 2},
        {100, in.right},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        m_bar.SetPosition(c.position);
        CCanvas canvas(kWidth, kHeight);
        ASSERT_TRUE(canvas.Valid());
        canvas.Fill(RGB(1, 2, 3));
        m_bar.Paint(canvas.Dc());

        // The sunken frame and the face between it and the inside.
        EXPECT_EQ(canvas.Pixel(kWidth / 2, 0), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(canvas.Pixel(0, kHeight / 2), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(canvas.Pixel(kWidth / 2, kHeight - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(canvas.Pixel(kWidth - 1, kHeight / 2), GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(canvas.Pixel(in.left - 1, in.top - 1), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(canvas.Pixel(in.right, in.bottom), GetSysColor(COLOR_BTNFACE));

        // The fill edge, on the inside's first row (above the text).
        if (c.fillRight > in.left) {
            EXPECT_EQ(canvas.Pixel(c.fillRight - 1, in.top), GetSysColor(COLOR_HIGHLIGHT));
        }
        if (c.fillRight < in.right) {
            EXPECT_EQ(canvas.Pixel(c.fillRight, in.top), GetSysColor(COLOR_BTNFACE));
        }

        // The text reads in the highlight-text colour on the fill and in the highlight colour
        // on the rest; nothing else is painted inside.
        const ColourCount filled = CountColours(canvas, in.left, in.top, c.fillRight, in.bottom);
        const ColourCount rest = CountColours(canvas, c.fillRight, in.top, in.right, in.bottom);
        EXPECT_EQ(filled.face + filled.other, 0);
        EXPECT_EQ(rest.highlightText + rest.other, 0);
        if (c.fillRight > in.left) {
            EXPECT_GT(filled.highlightText, 0);
        }
        if (c.fillRight < in.right) {
            EXPECT_GT(rest.highlight, 0);
        }
    }
}

TEST_F(ProgressBarTest, TheTextIsCentredAndShowsThePosition) {
    // "0%" and "100%" are of different widths, both centred on the inside.
    const Inside in = InsideOfFrame();
    const struct {
        int position;
        const char* text;
    } cases[] = {{0, "0%"}, {100, "100%"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        m_bar.SetPosition(c.position);
        CCanvas canvas(kWidth, kHeight);
        ASSERT_TRUE(canvas.Valid());
        m_bar.Paint(canvas.Dc());
        const COLORREF ink = GetSysColor(c.position == 0 ? COLOR_HIGHLIGHT : COLOR_HIGHLIGHTTEXT);
        int first = kWidth;
        int last = -1;
        for (int y = in.top; y < in.bottom; ++y) {
            for (int x = in.left; x < in.right; ++x) {
                if (canvas.Pixel(x, y) == ink) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
            }
        }
        ASSERT_GE(last, first);
        // Measured in the same font, the ink spans roughly the text's width.
        CMemoryDC measure(nullptr);
        SIZE size = {};
        {
            CSelectObject font(measure, m_font);
            GetTextExtentPoint32A(measure, c.text, lstrlenA(c.text), &size);
        }
        const int inkWidth = last - first + 1;
        EXPECT_NEAR(inkWidth, size.cx, 4);
        const int middle = (in.left + in.right) / 2;
        EXPECT_NEAR((first + last + 1) / 2, middle, 3);
    }
}

TEST_F(ProgressBarTest, ARangeWithoutRoomIsWidenedAndPositionsAreClamped) {
    const struct {
        int low;
        int high;
        int set;
        int expected;
    } cases[] = {
        {0, 100, 150, 100}, {0, 100, -5, 0}, {5, 5, 9, 6},
        {10, 3, 0, 10},     {10, 3, 12, 11}, {20, 40, 30, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.low << ".." << c.high << " set " << c.set);
        m_bar.SetRange(0, 100);
        m_bar.SetPosition(0);
        m_bar.SetRange(c.low, c.high);
        m_bar.SetPosition(c.set);
        EXPECT_EQ(m_bar.GetPosition(), c.expected);
    }
    // 5..5 widened to 5..6: its upper end fills the whole inside.
    m_bar.SetRange(5, 5);
    m_bar.SetPosition(6);
    CCanvas canvas(kWidth, kHeight);
    ASSERT_TRUE(canvas.Valid());
    m_bar.Paint(canvas.Dc());
    const Inside in = InsideOfFrame();
    EXPECT_EQ(canvas.Pixel(in.right - 1, in.top), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(canvas.Pixel(in.left, in.top), GetSysColor(COLOR_HIGHLIGHT));
}

std::vector<int> Positions(int first, int last) {
    std::vector<int> positions;
    for (int p = first; p <= last; ++p) {
        positions.push_back(p);
    }
    return positions;
}

TEST_F(ProgressBarTest, RepaintsOncePerStepAndNotForTheSamePosition) {
    CPaintCounter counter(m_bar);
    ASSERT_TRUE(counter.Attach(m_control));
    m_bar.SetPosition(10);
    PumpMessages();
    const struct {
        const char* name;
        bool advance; // AdvanceTo, else SetPosition
        int position;
        std::vector<int> painted;
        int after;
    } cases[] = {
        {"same position", false, 10, {}, 10},
        {"advance by four", true, 14, Positions(11, 14), 14},
        {"advance to the same", true, 14, {}, 14},
        {"advance backwards", true, 3, {}, 14},
        {"set a new position", false, 40, {40}, 40},
        {"advance past the end", true, 250, Positions(41, 100), 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        counter.positions.clear();
        if (c.advance) {
            m_bar.AdvanceTo(c.position);
        } else {
            m_bar.SetPosition(c.position);
        }
        // Read before pumping: the bar paints before it returns.
        EXPECT_EQ(counter.positions, c.painted);
        EXPECT_EQ(m_bar.GetPosition(), c.after);
        PumpMessages();
    }
}

TEST_F(ProgressBarTest, PaintingHoldsNoGdiObjects) {
    CCanvas canvas(kWidth, kHeight);
    ASSERT_TRUE(canvas.Valid());
    m_bar.SetPosition(1);
    m_bar.Paint(canvas.Dc());
    const DWORD before = CountGdiObjects();
    for (int i = 0; i < 200; ++i) {
        m_bar.SetPosition(i % 101);
        m_bar.Paint(canvas.Dc());
    }
    PumpMessages();
    EXPECT_EQ(CountGdiObjects(), before);
}

} // namespace
