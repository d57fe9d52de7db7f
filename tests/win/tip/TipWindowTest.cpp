// The tip windows on the test desktop. Waits poll for the state they expect; nothing here
// depends on how fast the machine is.
#include "foldermenu/TipWindow.h"
#include "foldermenu/TitledTipWindow.h"

#include "common/ShellMenuItemData.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "WideNames.h"
#include "common/WideLabels.h"
#include "framework/AnsiWide.h"

#include <functional>
#include <memory>
#include <string>

namespace {

constexpr UINT kLongDelay = 60000; // never reached within a test

// Records what the window went through, seen from its own dispatch.
template <class Base> class CSpyTip : public Base {
public:
    int showWindowMessages = 0; // WM_SHOWWINDOW, shown
    int shownByPosition = 0;    // WM_WINDOWPOSCHANGED with SWP_SHOWWINDOW
    int activations = 0;        // WM_ACTIVATE other than WA_INACTIVE, WM_NCACTIVATE TRUE
    int focusGained = 0;        // WM_SETFOCUS

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_SHOWWINDOW:
            showWindowMessages += wParam ? 1 : 0;
            break;
        case WM_WINDOWPOSCHANGED:
            if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) {
                ++shownByPosition;
            }
            break;
        case WM_ACTIVATE:
            activations += LOWORD(wParam) != WA_INACTIVE ? 1 : 0;
            break;
        case WM_NCACTIVATE:
            activations += wParam ? 1 : 0;
            break;
        case WM_SETFOCUS:
            ++focusGained;
            break;
        default:
            break;
        }
        return Base::WindowProc(message, wParam, lParam);
    }
    int TimesShown() const { return showWindowMessages + shownByPosition; }
    RECT ContentRect() { return this->GetContentRect(); }
};

using CSpyPlainTip = CSpyTip<TipWindow>;
using CSpyTitledTip = CSpyTip<TitledTipWindow>;

RECT WindowRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

SIZE DrawTextExtent(HFONT font, const std::string& text, UINT format) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT r = {0, 0, 0x7FFF, 0};
    DrawTextA(dc, text.c_str(), -1, &r, format | DT_CALCRECT);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return {r.right - r.left, r.bottom - r.top};
}

// A titled tip without an icon, margins 4, as the wide call (or, not wide, the code page's call
// on the text's reading) draws its title and body.
void PaintTitledReference(CCanvas& canvas, HFONT font, bool wide, const std::wstring& title,
                          const std::wstring& body) {
    HDC dc = canvas.Dc();
    const int w = canvas.Width();
    const int h = canvas.Height();
    RECT client = {0, 0, w, h};
    FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
    FrameRect(dc, &client, GetSysColorBrush(COLOR_INFOTEXT));
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    const auto draw = [&](const std::wstring& text, RECT* r, UINT format) {
        if (wide) {
            DrawTextW(dc, text.c_str(), -1, r, format);
        } else {
            DrawTextA(dc, WideToAnsi(text).c_str(), -1, r, format);
        }
    };
    RECT line = {0, 0, 0x7FFF, 0};
    draw(title, &line, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    RECT titleRect = {25, 5, w - 5, 5 + line.bottom};
    draw(title, &titleRect, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    RECT bodyRect = {5, 5 + line.bottom + 4, w - 5, h - 5};
    draw(body, &bodyRect, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
}

int DifferentPixels(const CCanvas& a, const CCanvas& b) {
    int different = 0;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            different += a.Pixel(x, y) != b.Pixel(x, y);
        }
    }
    return different;
}

RECT ScreenOf(POINT p) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoA(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcMonitor;
}

// Moves the mouse and waits until it stays there: Wine may still deliver a pointer event
// of the X server from before the move, which puts the old position back.
POINT MoveMouse(int x, int y) {
    POINT p = {};
    const auto there = [&] {
        GetCursorPos(&p);
        return p.x == x && p.y == y;
    };
    for (int attempt = 0; attempt < 20; ++attempt) {
        SetCursorPos(x, y);
        if (WaitFor(there, 2000)) {
            PumpFor(100);
            if (there()) {
                break;
            }
        }
    }
    return p;
}

class TipWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // An ordinary window of the test that is active, to see that the tip takes nothing
        // from it.
        m_owner =
            CreateWindowExA(0, "STATIC", "tip test owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600,
                            50, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_owner, nullptr);
        SetForegroundWindow(m_owner);
        SetActiveWindow(m_owner);
        SetFocus(m_owner);
        PumpFor(50);
    }
    void TearDown() override {
        SetWideLabelsForTesting(-1);
        if (m_owner) {
            DestroyWindow(m_owner);
        }
    }

    HWND m_owner = nullptr;
};

TEST_F(TipWindowTest, ClassAndWindowStyles) {
    CSpyPlainTip tip;
    ASSERT_TRUE(tip.Create());
    EXPECT_FALSE(tip.Create()) << "a second window for one object";

    WNDCLASSEXA info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), TipWindow::kClassName, &info));
    EXPECT_EQ(info.style, UINT(CS_VREDRAW | CS_HREDRAW | CS_SAVEBITS | CS_BYTEALIGNCLIENT));
    EXPECT_EQ(info.hCursor, nullptr);
    EXPECT_EQ(info.hbrBackground, nullptr);
    EXPECT_EQ(info.hIcon, nullptr);

    char title[64] = {};
    GetWindowTextA(tip, title, sizeof(title));
    EXPECT_STREQ(title, "Tip Window");
    const LONG_PTR style = GetWindowLongPtrA(tip, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrA(tip, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME | WS_BORDER));
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetParent(tip), nullptr);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), nullptr);
    const RECT r = WindowRect(tip);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
    EXPECT_EQ(SendMessageA(tip, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_owner),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);

    // Every tip of the process shares the one class.
    CSpyTitledTip other;
    ASSERT_TRUE(other.Create());
    EXPECT_EQ(GetClassLongPtrA(tip, GCW_ATOM), GetClassLongPtrA(other, GCW_ATOM));
}

TEST_F(TipWindowTest, HideBeforeTheDelayMeansNeverShown) {
    CSpyTitledTip titled;
    CSpyPlainTip plain;
    ASSERT_TRUE(titled.Create());
    ASSERT_TRUE(plain.Create());
    titled.SetTitle("Title", -1);
    titled.SetDelay(200);
    plain.SetDelay(200);
    titled.Show("body", -1);
    plain.Show("body", -1);
    EXPECT_TRUE(titled.IsPending());
    EXPECT_TRUE(plain.IsPending());
    titled.Hide();
    plain.Hide();
    EXPECT_FALSE(titled.IsPending());
    EXPECT_FALSE(plain.IsPending());
    // Well past the delay; a timer left running would show the windows in this time.
    PumpFor(1500);
    EXPECT_EQ(titled.TimesShown(), 0);
    EXPECT_EQ(plain.TimesShown(), 0);
    EXPECT_FALSE(IsWindowVisible(titled));
    EXPECT_FALSE(IsWindowVisible(plain));
    EXPECT_FALSE(titled.IsVisible());
}

TEST_F(TipWindowTest, DefaultDelayThenShownNextToTheMouseTopmostAndInactive) {
    CSpyTitledTip tip;
    ASSERT_TRUE(tip.Create());
    tip.SetMargins(4, 4);
    tip.SetTitle("Corvina", -1);
    const POINT mouse = MoveMouse(300, 200);
    ASSERT_EQ(mouse.x, 300);
    ASSERT_EQ(mouse.y, 200);
    HWND focusBefore = GetFocus();
    HWND activeBefore = GetActiveWindow();

    tip.Show("Corvina and Corvina Plus Settings.", 50);
    EXPECT_TRUE(tip.IsPending());
    EXPECT_FALSE(IsWindowVisible(tip));
    ASSERT_TRUE(WaitFor([&] { return tip.IsVisible(); }));
    EXPECT_FALSE(tip.IsPending());
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_GT(tip.TimesShown(), 0);
    EXPECT_TRUE(GetWindowLongPtrA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    const RECT r = WindowRect(tip);
    EXPECT_EQ(r.left, 315);
    EXPECT_EQ(r.top, 215);

    PumpFor(100);
    EXPECT_EQ(tip.activations, 0);
    EXPECT_EQ(tip.focusGained, 0);
    EXPECT_NE(GetActiveWindow(), tip.GetHwnd());
    EXPECT_NE(GetForegroundWindow(), tip.GetHwnd());
    EXPECT_EQ(GetFocus(), focusBefore);
    EXPECT_EQ(GetActiveWindow(), activeBefore);

    tip.Hide();
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_FALSE(tip.IsVisible());
}

TEST_F(TipWindowTest, NearTheEdgesPlacedAboveAndLeftOfTheMouse) {
    CSpyPlainTip tip;
    ASSERT_TRUE(tip.Create());
    tip.SetMargins(4, 4);
    tip.SetDelay(10);
    const RECT screen = ScreenOf(POINT{0, 0});
    struct Case {
        const char* name;
        int x;
        int y;
        bool left;  // expected left of the mouse
        bool above; // expected above the mouse
    };
    const Case cases[] = {
        {"bottom-right corner", screen.right - 5, screen.bottom - 5, true, true},
        {"right edge", screen.right - 20, 100, true, false},
        {"bottom edge", 100, screen.bottom - 20, false, true},
        {"top-left corner", screen.left, screen.top, false, false},
    };
    for (const Case& c : cases) {
        const POINT mouse = MoveMouse(c.x, c.y);
        ASSERT_EQ(mouse.x, c.x) << c.name;
        tip.Show("A tip that is wide enough to cross an edge", -1);
        ASSERT_TRUE(WaitFor([&] { return tip.IsVisible(); })) << c.name;
        const RECT r = WindowRect(tip);
        if (c.left) {
            EXPECT_EQ(r.right, mouse.x - 15) << c.name;
        } else {
            EXPECT_EQ(r.left, mouse.x + 15) << c.name;
        }
        if (c.above) {
            EXPECT_EQ(r.bottom, mouse.y - 15) << c.name;
        } else {
            EXPECT_EQ(r.top, mouse.y + 15) << c.name;
        }
        EXPECT_GE(r.left, screen.left) << c.name;
        EXPECT_LE(r.right, screen.right) << c.name;
        EXPECT_LE(r.bottom, screen.bottom) << c.name;
        tip.Hide();
    }
    // Wider than the screen: flipped but kept at the left edge.
    const POINT mouse = MoveMouse(screen.right - 50, 100);
    const std::string wide(600, 'W');
    tip.Show(wide.c_str(), -1);
    ASSERT_TRUE(WaitFor([&] { return tip.IsVisible(); }));
    ASSERT_GT(WindowRect(tip).right - WindowRect(tip).left, screen.right - screen.left);
    EXPECT_EQ(WindowRect(tip).left, screen.left);
    EXPECT_EQ(WindowRect(tip).top, mouse.y + 15);
    tip.Hide();
}

TEST_F(TipWindowTest, LayoutSizesFollowTheMeasuredTexts) {
    struct Case {
        const char* name;
        int margin;
        std::string title; // empty: a plain tip
        std::string body;
        int wrap;
        std::string drawn; // body as it must be drawn
    };
    const std::string sixty(60, 'a');
    const std::string wrapped = std::string(50, 'a') + "\n" + std::string(10, 'a');
    const Case cases[] = {
        {"plain, default margins", 1, "", "Corvina and Corvina Plus Settings.", -1,
         "Corvina and Corvina Plus Settings."},
        {"plain, wrapped", 4, "", sixty, 50, wrapped},
        {"plain, own line feeds", 4, "", "first\nsecond line\nthird", -1,
         "first\nsecond line\nthird"},
        {"titled, body", 4, "Settings", "Corvina and Corvina Plus Settings.", 50,
         "Corvina and Corvina Plus Settings."},
        {"titled, long title", 4, "C:\\Documents and Settings\\All Users\\Start Menu", "x", -1,
         "x"},
        {"titled, wrapped body", 4, "Name", sixty, 50, wrapped},
        {"titled, no body", 4, "Only a title", "", 50, ""},
    };
    // The same layout on the NT family's wide path, then on the 9x family's code page.
    const size_t count = sizeof(cases) / sizeof(cases[0]);
    for (size_t pass = 0; pass < 2 * count; ++pass) {
        const Case& c = cases[pass % count];
        const int wide = pass < count ? 1 : 0;
        SCOPED_TRACE(std::string(c.name) + (wide ? ", wide" : ", code page"));
        SetWideLabelsForTesting(wide);
        std::unique_ptr<TipWindow> tip;
        if (c.title.empty()) {
            tip = std::make_unique<CSpyPlainTip>();
        } else {
            auto titled = std::make_unique<CSpyTitledTip>();
            titled->SetTitle(c.title.c_str(), 3);
            tip = std::move(titled);
        }
        ASSERT_TRUE(tip->Create());
        tip->SetMargins(c.margin, c.margin);
        tip->SetDelay(kLongDelay);
        tip->Show(c.body.c_str(), c.wrap);
        EXPECT_EQ(tip->GetText(), ToWide(c.drawn));

        const UINT bodyFormat = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;
        const SIZE body =
            c.drawn.empty() ? SIZE{0, 0} : DrawTextExtent(tip->GetFont(), c.drawn, bodyFormat);
        const SIZE measured = tip->MeasureText(c.body.c_str(), c.wrap);
        EXPECT_EQ(measured.cx, body.cx);
        EXPECT_EQ(measured.cy, body.cy);
        int width = 0;
        int height = 0;
        const int m = c.margin;
        if (c.title.empty()) {
            width = body.cx + 2 * m + 2;
            height = body.cy + 2 * m + 2;
        } else {
            const SIZE title =
                DrawTextExtent(tip->GetFont(), c.title, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
            if (c.drawn.empty()) {
                width = title.cx + 2 * m + 22;
                height = title.cy + 2 * m + 2;
            } else {
                width = (body.cx > title.cx + 20 ? body.cx : title.cx + 20) + 2 * m + 2;
                height = title.cy + body.cy + 2 * m + 6;
            }
        }
        const RECT r = WindowRect(*tip);
        EXPECT_EQ(r.right - r.left, width);
        EXPECT_EQ(r.bottom - r.top, height);
        EXPECT_TRUE(GetWindowLongPtrA(*tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_FALSE(IsWindowVisible(*tip));
        tip->Hide();
    }
}

TEST_F(TipWindowTest, SecondShowWhileVisibleHidesAndRestartsTheDelay) {
    CSpyPlainTip tip;
    ASSERT_TRUE(tip.Create());
    tip.SetDelay(10);
    MoveMouse(200, 200);
    tip.Show("first", -1);
    ASSERT_TRUE(WaitFor([&] { return tip.IsVisible(); }));
    const int shown = tip.TimesShown();
    ASSERT_GT(shown, 0);

    tip.SetDelay(kLongDelay);
    tip.Show("second, longer text", -1);
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_FALSE(tip.IsVisible());
    EXPECT_TRUE(tip.IsPending());
    EXPECT_EQ(tip.GetText(), L"second, longer text");
    PumpFor(200);
    EXPECT_EQ(tip.TimesShown(), shown);

    // The restarted delay runs its full course again.
    tip.SetDelay(10);
    tip.Show("third", -1);
    ASSERT_TRUE(WaitFor([&] { return tip.IsVisible(); }));
    EXPECT_GT(tip.TimesShown(), shown);
    tip.Hide();
}

TEST_F(TipWindowTest, PaintsBackgroundFrameTextAndIcon) {
    SHFILEINFOA file = {};
    const HIMAGELIST images = SystemSmallImageList();
    ASSERT_NE(images, nullptr);
    SHGetFileInfoA("C:\\", 0, &file, sizeof(file), SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    ASSERT_GE(file.iIcon, 0);

    const COLORREF back = GetSysColor(COLOR_INFOBK);
    const COLORREF fore = GetSysColor(COLOR_INFOTEXT);
    ASSERT_NE(back, fore);
    for (bool titled : {false, true}) {
        SCOPED_TRACE(titled ? "titled" : "plain");
        CSpyTitledTip titledTip;
        CSpyPlainTip plainTip;
        TipWindow& tip = titled ? static_cast<TipWindow&>(titledTip) : plainTip;
        ASSERT_TRUE(tip.Create());
        tip.SetMargins(4, 4);
        tip.SetDelay(kLongDelay);
        titledTip.SetTitle("Title text", file.iIcon);
        tip.Show("Body text\nsecond line", -1);
        RECT client = {};
        GetClientRect(tip, &client);
        const int w = client.right;
        const int h = client.bottom;
        ASSERT_GT(w, 20);
        ASSERT_GT(h, 20);

        CCanvas canvas(w, h);
        ASSERT_TRUE(canvas.Valid());
        canvas.Fill(RGB(255, 0, 255)); // magenta: anything left unpainted shows
        SendMessageA(tip, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);

        // One-pixel frame all round, background inside it.
        for (int x = 0; x < w; x += 7) {
            EXPECT_EQ(canvas.Pixel(x, 0), fore) << x;
            EXPECT_EQ(canvas.Pixel(x, h - 1), fore) << x;
        }
        for (int y = 0; y < h; y += 5) {
            EXPECT_EQ(canvas.Pixel(0, y), fore) << y;
            EXPECT_EQ(canvas.Pixel(w - 1, y), fore) << y;
        }
        EXPECT_EQ(canvas.Pixel(1, 1), back);
        EXPECT_EQ(canvas.Pixel(w - 2, h - 2), back);
        // The side margins stay empty; the texts draw something inside the content.
        const RECT content = {5, 5, w - 5, h - 5};
        EXPECT_EQ(canvas.CountOther({1, 1, 5, h - 1}, back), 0);
        EXPECT_EQ(canvas.CountOther({w - 5, 1, w - 1, h - 1}, back), 0);
        EXPECT_EQ(canvas.CountOther({1, h - 5, w - 1, h - 1}, back), 0);
        EXPECT_GT(canvas.CountOther(content, back), 0);
        EXPECT_EQ(canvas.CountOther(content, RGB(255, 0, 255)), (w - 10) * (h - 10))
            << "content left unpainted";
        if (titled) {
            // The icon's column holds more than background; the title starts 20 pixels in.
            EXPECT_GT(canvas.CountOther({5, 1, 21, 30}, back), 0);
            EXPECT_GT(canvas.CountOther({25, 5, w - 5, 25}, back), 0);
        }
    }
}

TEST_F(TipWindowTest, WideTextsReadBackWholeAndDrawAsTheirSystemsCallDraws) {
    for (int wide : {1, 0}) {
        SetWideLabelsForTesting(wide);
        for (const std::wstring& name : OutsideCodePageNames()) {
            SCOPED_TRACE(WideToAnsi(name) + (wide ? ", wide" : ", code page"));
            // The 9x family shows the code page's reading of the name.
            const std::wstring shown = wide ? name : AnsiToWide(WideToAnsi(name));
            const std::wstring body = name + L"\n" + name;
            CSpyTitledTip tip;
            ASSERT_TRUE(tip.Create());
            tip.SetMargins(4, 4);
            tip.SetDelay(kLongDelay);
            tip.SetTitle(name.c_str(), -1);
            tip.Show(body.c_str(), -1);
            EXPECT_EQ(tip.GetTitle(), name);
            EXPECT_EQ(tip.GetText(), shown + L"\n" + shown);

            RECT client = {};
            GetClientRect(tip, &client);
            CCanvas drawn(client.right, client.bottom);
            CCanvas reference(client.right, client.bottom);
            CCanvas other(client.right, client.bottom);
            ASSERT_TRUE(drawn.Valid() && reference.Valid() && other.Valid());
            SendMessageA(tip, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(drawn.Dc()), PRF_CLIENT);
            PaintTitledReference(reference, tip.GetFont(), wide, name, body);
            EXPECT_EQ(DifferentPixels(drawn, reference), 0);
            // The other call draws otherwise: the comparison can tell the two apart.
            PaintTitledReference(other, tip.GetFont(), !wide, name, body);
            EXPECT_GT(DifferentPixels(reference, other), 0);
        }
    }
}

TEST_F(TipWindowTest, WrappingAndTheCutKeepSurrogatePairsWhole) {
    const std::wstring smile = L"\U0001F600";
    const std::wstring a1021(1021, L'a');
    struct Case {
        const char* what;
        std::wstring text;
        int wrap;
        std::wstring wrapped;
    } cases[] = {
        {"a pair straddling the width", std::wstring(49, L'a') + smile + L"b", 50,
         std::wstring(49, L'a') + L"\n" + smile + L"b"},
        {"pairs take two columns", smile + smile + smile, 4, smile + smile + L"\n" + smile},
        {"the cut falls inside a pair", a1021 + L"a" + smile, 5000, a1021 + L"a"},
        {"the cut just after a pair", a1021 + smile + L"b", 5000, a1021 + smile},
        {"not wrapped, not cut", std::wstring(3000, L'z'), -1, std::wstring(3000, L'z')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TipWindow::WrapText(c.text, c.wrap), c.wrapped) << c.what;
    }
    // Through the window: one double-width character per line, the emoji whole.
    CSpyPlainTip tip;
    ASSERT_TRUE(tip.Create());
    tip.SetDelay(kLongDelay);
    tip.Show(OutsideCodePageNames()[2].c_str(), 3);
    EXPECT_EQ(tip.GetText(), L"\u65E5\n\u672C\n\u8A9E\n\u3068\n\uD55C\n\uAD6D\n\uC5B4\n" + smile);
}

TEST_F(TipWindowTest, WrapsTheAnsiTextThroughUtf16) {
    if (IsJapaneseRun()) {
        // 30 full-width characters at 50 columns: 25 + 5. The trail byte of 表 is 0x5C.
        const std::wstring thirty = std::wstring(14, L'あ') + L'表' + std::wstring(15, L'ア');
        const std::string wrapped = TipWindow::WrapText(ToAnsi(thirty).c_str(), 50);
        EXPECT_EQ(wrapped, ToAnsi(thirty.substr(0, 25)) + "\n" + ToAnsi(thirty.substr(25)));
        ASSERT_GE(wrapped.size(), 2u);
        EXPECT_EQ(static_cast<unsigned char>(wrapped[0]), 0x82); // Shift-JIS あ
        EXPECT_EQ(static_cast<unsigned char>(wrapped[1]), 0xA0);
        // Half-width katakana are single bytes but lie above U+0100: two columns each.
        const std::string kana = ToAnsi(std::wstring(60, L'ｱ'));
        ASSERT_EQ(kana.size(), 60u);
        EXPECT_EQ(TipWindow::WrapText(kana.c_str(), 50),
                  kana.substr(0, 25) + "\n" + kana.substr(25, 25) + "\n" + kana.substr(50));
        // Straddling: 49 half-width columns, then a double-width character.
        const std::wstring straddle = std::wstring(49, L'a') + L"漢字";
        EXPECT_EQ(TipWindow::WrapText(ToAnsi(straddle).c_str(), 50),
                  std::string(49, 'a') + "\n" + ToAnsi(L"漢字"));
        // Cut to 1023 bytes without splitting a character.
        const std::string cut = TipWindow::WrapText(ToAnsi(std::wstring(700, L'あ')).c_str(), 50);
        EXPECT_LE(cut.size(), 1023u);
        EXPECT_GT(cut.size(), 1000u);
        EXPECT_NE(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, cut.c_str(),
                                      static_cast<int>(cut.size()), nullptr, 0),
                  0);
        EXPECT_EQ(static_cast<unsigned char>(cut.back()), 0xA0);

        // The window lays the two lines out.
        CSpyPlainTip tip;
        ASSERT_TRUE(tip.Create());
        tip.SetDelay(kLongDelay);
        tip.Show(ToAnsi(thirty).c_str(), 50);
        EXPECT_EQ(tip.GetText(), ToWide(wrapped));
        const SIZE lines =
            DrawTextExtent(tip.GetFont(), wrapped, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        const SIZE one = DrawTextExtent(tip.GetFont(), "a", DT_LEFT | DT_NOPREFIX);
        EXPECT_EQ(lines.cy, 2 * one.cy);
        EXPECT_EQ(WindowRect(tip).bottom - WindowRect(tip).top, lines.cy + 4);
    } else {
        const std::string sixty(60, 'a');
        EXPECT_EQ(TipWindow::WrapText(sixty.c_str(), 50),
                  std::string(50, 'a') + "\n" + std::string(10, 'a'));
        // Latin-1 letters are single columns (below U+0100), as bytes of code page 1252.
        const std::string accented(30, '\xE9');
        EXPECT_EQ(TipWindow::WrapText(accented.c_str(), 20),
                  std::string(20, '\xE9') + "\n" + std::string(10, '\xE9'));
        // A character from U+0100 up counts 2 even where it is one byte (the euro sign).
        const std::string euros(30, '\x80');
        EXPECT_EQ(TipWindow::WrapText(euros.c_str(), 50),
                  std::string(25, '\x80') + "\n" + std::string(5, '\x80'));
        const std::string cut = TipWindow::WrapText(std::string(3000, 'b').c_str(), 50);
        EXPECT_EQ(cut.size(), 1023u);
    }
    // Both systems: no wrap, empty and null texts.
    const std::string long300(300, 'z');
    EXPECT_EQ(TipWindow::WrapText(long300.c_str(), -1), long300);
    EXPECT_EQ(TipWindow::WrapText("", 50), "");
    EXPECT_EQ(TipWindow::WrapText(nullptr, 50), "");
}

TEST_F(TipWindowTest, FontRecreatedOnSettingChangeWithoutLeaking) {
    CSpyPlainTip tip;
    ASSERT_TRUE(tip.Create());
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    ASSERT_EQ(sizeof(metrics), 340u);
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));

    const HFONT first = tip.GetFont();
    ASSERT_EQ(GetObjectType(first), DWORD(OBJ_FONT));
    LOGFONTA font = {};
    ASSERT_EQ(GetObjectA(first, sizeof(font), &font), int(sizeof(font)));
    EXPECT_STREQ(font.lfFaceName, metrics.lfStatusFont.lfFaceName);
    EXPECT_EQ(font.lfHeight, metrics.lfStatusFont.lfHeight);
    EXPECT_NE(first, GetStockObject(DEFAULT_GUI_FONT));
    {
        // Japanese bodies need a font of the system's own character set.
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, first);
        EXPECT_EQ(GetTextCharset(dc), GetACP() == 932 ? SHIFTJIS_CHARSET : ANSI_CHARSET);
        SelectObject(dc, old);
        DeleteDC(dc);
    }

    SendMessageA(tip, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    const HFONT second = tip.GetFont();
    EXPECT_NE(second, first);
    EXPECT_EQ(GetObjectType(first), 0u) << "the old font was not deleted";
    ASSERT_EQ(GetObjectType(second), DWORD(OBJ_FONT));
    ASSERT_EQ(GetObjectA(second, sizeof(font), &font), int(sizeof(font)));
    EXPECT_STREQ(font.lfFaceName, metrics.lfStatusFont.lfFaceName);

    SendMessageA(tip, WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(GetObjectType(tip.GetFont()), DWORD(OBJ_FONT));
}

TEST_F(TipWindowTest, DestroyingWhilePendingStopsTheDelay) {
    CSpyPlainTip tip;
    ASSERT_TRUE(tip.Create());
    tip.SetDelay(10);
    tip.Show("pending", -1);
    ASSERT_TRUE(tip.IsPending());
    const HWND window = tip.GetHwnd();
    ASSERT_TRUE(tip.DestroyWindow());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(tip.IsPending());
    EXPECT_FALSE(tip.IsVisible());
    // Showing and hiding without a window does nothing harmful.
    tip.Show("no window", -1);
    EXPECT_FALSE(tip.IsPending());
    tip.Hide();

    // An owner deleting its tip while a show is pending: no timer outlives it.
    auto* owned = new CSpyTitledTip;
    ASSERT_TRUE(owned->Create());
    owned->SetDelay(10);
    owned->Show("pending", -1);
    const HWND ownedWindow = owned->GetHwnd();
    delete owned;
    EXPECT_FALSE(IsWindow(ownedWindow));
    PumpFor(200);
}

} // namespace
