// Shell names outside the code page: asked wide of the shell, kept in the entry data, measured
// and drawn with the wide text calls, matched by typed characters; and the code page's path
// of the 9x family, forced.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Canvas.h"
#include "WideNames.h"
#include "common/MenuItemDraw.h"
#include "common/MenuKeys.h"
#include "common/ShellMenuItemData.h"
#include "common/ShellQueries.h"
#include "common/WideLabels.h"
#include "common/core/MenuItemLayout.h"
#include "framework/AnsiWide.h"
#include "framework/ComPtr.h"
#include "framework/Handles.h"
#include "ScratchFolder.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 24;

class WideLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        for (const std::wstring& name : OutsideCodePageNames()) {
            const std::wstring path = CreateWideFolder(m_folder.Path(), name);
            ASSERT_FALSE(path.empty()) << "the file system here cannot hold the name";
            m_paths.push_back(path);
        }
        m_font = CreateMenuFont();
        ASSERT_TRUE(m_font);
    }
    void TearDown() override {
        SetWideLabelsForTesting(-1);
        // The scratch folder's own clean-up goes by code-page names, which these lack.
        for (const std::wstring& path : m_paths) {
            RemoveDirectoryW(path.c_str());
        }
        CoUninitialize();
    }

    // The text as the wide call draws it where the entry puts its text, over an entry
    // painted without a label.
    void PaintReference(CCanvas& canvas, const std::wstring& text) {
        const RECT rect = {0, 0, kWidth, kHeight};
        MenuEntryLook look{};
        look.label = "";
        look.iconIndex = -1;
        PaintMenuEntry(canvas.Dc(), rect, look, m_font.Get(), true);
        const corvina::LayoutRect box = corvina::MenuTextRect({0, 0, kWidth, kHeight});
        RECT textRect = {box.left, box.top, box.right, box.bottom};
        CSelectObject font(canvas.Dc(), m_font.Get());
        SetBkMode(canvas.Dc(), TRANSPARENT);
        SetTextColor(canvas.Dc(), GetSysColor(COLOR_MENUTEXT));
        DrawTextW(canvas.Dc(), text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    }

    static int DifferentPixels(const CCanvas& a, const CCanvas& b) {
        int different = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                different += a.Pixel(x, y) != b.Pixel(x, y);
            }
        }
        return different;
    }

    CScratchFolder m_folder{"wide"};
    std::vector<std::wstring> m_paths;
    CFontHandle m_font;
};

TEST_F(WideLabelTest, ShellNamesArriveWholeAndDrawAsTheWideCallDrawsThem) {
    ASSERT_TRUE(UseWideLabels()) << "Wine plays the NT family";
    const RECT rect = {0, 0, kWidth, kHeight};
    for (size_t i = 0; i < m_paths.size(); ++i) {
        const std::wstring& name = OutsideCodePageNames()[i];
        SCOPED_TRACE(WideToAnsi(name));
        CItemIdList list = ParseWidePath(m_paths[i]);
        ASSERT_TRUE(list);
        std::wstring label;
        int icon = -2;
        ASSERT_TRUE(QueryWideLabelAndIcon(list.Get(), &label, &icon));
        EXPECT_EQ(label, name);
        EXPECT_GE(icon, 0);
        CComPtr<IShellFolder> parent;
        LPCITEMIDLIST child = nullptr;
        ASSERT_TRUE(
            SUCCEEDED(SHBindToParent(list.Get(), IID_IShellFolder,
                                     reinterpret_cast<void**>(parent.GetAddressOf()), &child)));
        std::wstring childLabel;
        ASSERT_TRUE(QueryChildWideLabel(parent.Get(), child, &childLabel));
        EXPECT_EQ(childLabel, name);

        ShellMenuItemData data;
        data.SetKind(MenuItemKind::Command);
        data.SetWideLabel(label.c_str());
        ASSERT_NE(data.GetWideLabel(), nullptr);
        EXPECT_EQ(std::wstring(data.GetWideLabel()), name);
        EXPECT_EQ(std::string(data.GetLabel()), WideToAnsi(name)); // the code page's reading

        CCanvas drawn(kWidth, kHeight);
        CCanvas reference(kWidth, kHeight);
        ASSERT_TRUE(drawn.Valid() && reference.Valid());
        DrawMenuItem(drawn.Dc(), rect, 0, data, m_font.Get(), true);
        PaintReference(reference, name);
        EXPECT_EQ(DifferentPixels(drawn, reference), 0);
        // The code page's reading would look otherwise: the check can tell them apart.
        CCanvas lossy(kWidth, kHeight);
        PaintReference(lossy, AnsiToWide(WideToAnsi(name)));
        EXPECT_GT(DifferentPixels(lossy, reference), 0);

        SIZE extent = {};
        {
            CWindowDC screen(nullptr);
            CSelectObject font(screen, m_font.Get());
            GetTextExtentPoint32W(screen, name.c_str(), static_cast<int>(name.size()), &extent);
        }
        EXPECT_EQ(MeasureMenuItem(data, m_font.Get(), kExtensionMenuExtraWidth).cx,
                  extent.cx + kExtensionMenuExtraWidth);
    }
}

TEST_F(WideLabelTest, AHangulInitialPicksItsEntries) {
    CMenuHandle menu(CreatePopupMenu());
    ASSERT_TRUE(menu);
    const std::vector<std::wstring> labels = {L"Open", L"\uD55C\uAE00", L"\U0001F600 smile",
                                              L"\u65E5\u672C", L"\uD55C.txt"};
    std::vector<ShellMenuItemData> data(labels.size());
    for (size_t i = 0; i < labels.size(); ++i) {
        data[i].SetKind(MenuItemKind::Command);
        if (i == 0) {
            data[i].SetLabel("Open"); // a code-page text among wide ones
        } else {
            data[i].SetWideLabel(labels[i].c_str());
        }
        AppendMenuA(menu.Get(), MF_OWNERDRAW, i + 1, reinterpret_cast<LPCSTR>(&data[i]));
    }
    const auto entryOf = [](const MENUITEMINFOA& item) {
        return reinterpret_cast<const ShellMenuItemData*>(item.dwItemData);
    };
    struct Case {
        const char* what;
        wchar_t typed;
        WORD command;
        int index;
    } cases[] = {
        {"two Hangul entries: the first is highlighted", L'\uD55C', MNC_SELECT, 1},
        {"the Japanese one alone is chosen", L'\u65E5', MNC_EXECUTE, 3},
        {"a code-page label still answers", L'o', MNC_EXECUTE, 0},
        {"nothing starts with it", L'\uC548', MNC_IGNORE, 0},
    };
    for (const Case& c : cases) {
        const LRESULT answer =
            AnswerShellMenuChar(menu.Get(), MAKEWPARAM(c.typed, MF_POPUP), true, entryOf);
        EXPECT_EQ(HIWORD(answer), c.command) << c.what;
        EXPECT_EQ(LOWORD(answer), c.index) << c.what;
    }
}

TEST_F(WideLabelTest, TheCodePagePathKeepsItsTexts) {
    // As on the 9x family: the shell's name in the code page, drawn with the ANSI call.
    SetWideLabelsForTesting(0);
    ASSERT_FALSE(UseWideLabels());
    CItemIdList list = ParseWidePath(m_paths[0]);
    ASSERT_TRUE(list);
    std::string label;
    ASSERT_TRUE(QueryLabelAndIcon(list.Get(), &label, nullptr));
    EXPECT_EQ(label, WideToAnsi(OutsideCodePageNames()[0]));
    ShellMenuItemData data;
    data.SetKind(MenuItemKind::Command);
    data.SetLabel(label.c_str());
    EXPECT_EQ(data.GetWideLabel(), nullptr);
    CMenuHandle menu(CreatePopupMenu());
    AppendMenuA(menu.Get(), MF_OWNERDRAW, 1, reinterpret_cast<LPCSTR>(&data));
    // The typed character goes through the code page as it always did.
    const LRESULT answer = AnswerShellMenuChar(
        menu.Get(), MAKEWPARAM(label[0], MF_POPUP), false, [](const MENUITEMINFOA& item) {
            return reinterpret_cast<const ShellMenuItemData*>(item.dwItemData);
        });
    EXPECT_EQ(answer, MAKELRESULT(0, MNC_EXECUTE));
}

} // namespace
