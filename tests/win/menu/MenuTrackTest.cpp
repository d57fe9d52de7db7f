// The menu shown and tracked on the desktop, an entry picked with the keyboard.
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "MenuTestSupport.h"

namespace {

HWND FindShownMenu() {
    HWND menu = FindWindowA("#32768", nullptr);
    return menu != nullptr && IsWindowVisible(menu) ? menu : nullptr;
}

// Drives the first menu shown, from its own thread: runs whenShown there, then presses keys.
// Whatever is still open when Finish is called is closed, so no test hangs in a menu loop.
class CMenuDriver {
public:
    explicit CMenuDriver(std::vector<UINT> keys, std::function<void()> whenShown = nullptr)
        : m_thread([this, keys, whenShown] { Run(keys, whenShown); }) {}
    CMenuDriver(const CMenuDriver&) = delete;
    CMenuDriver& operator=(const CMenuDriver&) = delete;
    ~CMenuDriver() { Finish(); }

    void Finish() {
        m_done = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }
    bool Found() const { return m_found; }

private:
    void Run(const std::vector<UINT>& keys, const std::function<void()>& whenShown) {
        HWND menu = nullptr;
        for (int wait = 0; wait < 600 && !m_done && (menu = FindShownMenu()) == nullptr; ++wait) {
            Sleep(50);
        }
        if (menu == nullptr) {
            return;
        }
        m_found = true;
        if (whenShown) {
            whenShown();
            menu = FindShownMenu();
        }
        for (UINT key : keys) {
            PostMessageA(menu, WM_KEYDOWN, key, 0);
            Sleep(100);
        }
        for (int wait = 0; wait < 300 && !m_done; ++wait) {
            Sleep(50);
        }
        while (!m_done && (menu = FindShownMenu()) != nullptr) {
            PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            Sleep(200);
        }
    }

    std::atomic<bool> m_done{false};
    std::atomic<bool> m_found{false};
    std::thread m_thread;
};

// A list of two files whose openings are recorded in launched instead of started; returns
// the second file's path.
class MenuTrackTest : public MenuTest {
protected:
    std::string SaveTwoFilesAndRecordLaunches() {
        const std::string first = MakeFile("first.txt");
        const std::string second = MakeFile("second.txt");
        SaveList({{first, ""}, {second, ""}});
        m_menu.SetLaunchHook([this](LPCITEMIDLIST item) {
            launched.push_back(PathOf(item));
            return true;
        });
        return second;
    }

    std::vector<std::string> launched;
};

TEST_F(MenuTrackTest, ShowAtTracksOpensTheChosenEntryAndDestroysTheMenu) {
    const std::string second = SaveTwoFilesAndRecordLaunches();

    CMenuDriver driver({VK_DOWN, VK_DOWN, VK_RETURN});
    m_menu.ShowAt(100, 100, TPM_LEFTALIGN);
    driver.Finish();

    ASSERT_TRUE(driver.Found()) << "the popup never appeared";
    EXPECT_EQ(launched, std::vector<std::string>{second});
    EXPECT_EQ(m_menu.GetRootMenu(), nullptr) << "destroyed after the showing";
    EXPECT_TRUE(m_menu.GetCreatedSubmenus().empty());
    EXPECT_FALSE(m_menu.IsTipShowing());
}

// A folder of 10,000 files in the list: its submenu shows its first column and answers keys
// long before most of its entries could have asked for their icons, and every entry painted
// shows its icon.
TEST_F(MenuTest, HugeFolderSubmenuPaintsAndAnswersKeysWithFewIconQueries) {
    constexpr int kFiles = 10000;
    const std::string top = MakeFolder("Huge");
    for (int k = 0; k < kFiles; ++k) {
        char name[32];
        std::snprintf(name, sizeof(name), "Huge\\file-%05d.txt", k);
        CHandle file(CreateFileA(m_scratch.File(name).c_str(), GENERIC_WRITE, 0, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_NE(file.Get(), INVALID_HANDLE_VALUE) << name;
    }
    SaveList({{top, ""}});
    m_menu.SetOptions(true, false);
    std::vector<std::string> launched;
    m_menu.SetLaunchHook([&launched](LPCITEMIDLIST item) {
        launched.push_back(PathOf(item));
        return true;
    });
    const bool ja = IsJapaneseRun();
    struct Case {
        const char* what;
        // Characters typed once the submenu is painted. Only a unique one is typed here: the
        // menu loop of Wine acts on MNC_EXECUTE alone, so MNC_SELECT is checked through the
        // message itself (MenuBuildTest).
        std::string typed;
        std::vector<UINT> keys; // then these keys
        std::string opened;     // empty: nothing
    } cases[] = {
        {"Down and Return", "", {VK_DOWN, VK_RETURN}, top + "\\file-00000.txt"},
        // Only "Open" starts with o ("開く" in Japanese: no entry does).
        {"a unique letter opens", "o", {}, ja ? std::string() : top},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        launched.clear();
        m_menu.drawn = 0;
        m_menu.drawnWithoutIcon = 0;
        m_menu.iconQueries = 0;
        int shownQueries = -1;
        int shownDrawn = 0;
        int askedEntries = -1;
        HWND host = m_menu.GetHwnd();
        CMenuDriver driver(c.keys, [&] {
            for (UINT key : {VK_DOWN, VK_RIGHT}) {
                PostMessageA(FindShownMenu(), WM_KEYDOWN, key, 0);
                Sleep(100);
            }
            // The first column is painted once the paintings stop coming.
            int last = -1;
            for (int wait = 0; wait < 1200 && (m_menu.drawn < 10 || m_menu.drawn != last); ++wait) {
                last = m_menu.drawn;
                Sleep(250);
            }
            HMENU submenu = GetSubMenu(m_menu.GetPopupMenu(), 0);
            // Counted while the menu is open: a chosen entry closes it.
            shownDrawn = m_menu.drawn;
            shownQueries = m_menu.iconQueries;
            DWORD_PTR asked = 0;
            if (SendMessageTimeoutA(host, CTestMenu::kCountIconsAsked,
                                    reinterpret_cast<WPARAM>(submenu), 0, SMTO_BLOCK, 10000,
                                    &asked)) {
                askedEntries = static_cast<int>(asked);
            }
            for (char typed : c.typed) {
                PostMessageA(FindShownMenu(), WM_CHAR, static_cast<unsigned char>(typed), 0);
                Sleep(200);
            }
        });
        m_menu.ShowAt(100, 100, TPM_LEFTALIGN);
        driver.Finish();
        ASSERT_TRUE(driver.Found()) << "the popup never appeared";
        EXPECT_GE(shownDrawn, 10) << "the submenu's first column was not painted";
        EXPECT_EQ(m_menu.drawnWithoutIcon, 0) << "entries painted without their icon";
        EXPECT_GE(shownQueries, 1);
        EXPECT_LT(shownQueries, kFiles / 10) << "most entries must not have asked for an icon";
        // "Open" has its folder's icon from the start; every other entry asks once.
        EXPECT_EQ(askedEntries, shownQueries + 1) << "each entry asks once and keeps its icon";
        EXPECT_EQ(launched, c.opened.empty() ? std::vector<std::string>{}
                                             : std::vector<std::string>{c.opened});
    }
}

// Stands in for the resident frame: a posted request that shows the menu, dispatched by
// whatever message loop runs, the menu's own included.
class CShowRequestWindow : public CWnd {
public:
    static constexpr UINT kShowRequest = WM_APP + 7;

    explicit CShowRequestWindow(CTestMenu& menu) : m_menu(menu) {}

    std::atomic<int> handled{0};
    bool rootKept = true;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kShowRequest) {
            HMENU root = m_menu.GetRootMenu();
            const int entries = GetMenuItemCount(m_menu.GetPopupMenu());
            m_menu.ShowAt(120, 120, TPM_LEFTALIGN);
            rootKept = rootKept && root != nullptr && m_menu.GetRootMenu() == root &&
                       GetMenuItemCount(m_menu.GetPopupMenu()) == entries;
            ++handled;
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    CTestMenu& m_menu;
};

TEST_F(MenuTrackTest, ShowRequestsWhileTrackingLeaveTheOpenMenuAndItsPickAlone) {
    const std::string second = SaveTwoFilesAndRecordLaunches();
    CShowRequestWindow requests(m_menu);
    ASSERT_TRUE(requests.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr));

    // The second entry highlighted, then two requests, as from a hot key pressed twice while
    // the menu is open: a menu built afresh would have nothing highlighted for Return.
    CMenuDriver driver({VK_RETURN}, [&requests] {
        for (UINT key : {VK_DOWN, VK_DOWN}) {
            PostMessageA(FindShownMenu(), WM_KEYDOWN, key, 0);
            Sleep(100);
        }
        for (int k = 0; k < 2; ++k) {
            PostMessageA(requests.GetHwnd(), CShowRequestWindow::kShowRequest, 0, 0);
        }
        for (int wait = 0; wait < 200 && requests.handled < 2; ++wait) {
            Sleep(50);
        }
    });
    m_menu.ShowAt(100, 100, TPM_LEFTALIGN);
    EXPECT_FALSE(m_menu.IsTracking());
    driver.Finish();

    ASSERT_TRUE(driver.Found()) << "the popup never appeared";
    EXPECT_EQ(requests.handled, 2) << "the requests did not arrive while the menu was open";
    EXPECT_TRUE(requests.rootKept) << "a request rebuilt the open menu";
    EXPECT_EQ(launched, std::vector<std::string>{second});
    EXPECT_EQ(m_menu.GetRootMenu(), nullptr);
}

TEST_F(MenuTest, ShowAtWithNothingToShowReturnsAtOnce) {
    SaveList({});
    bool asked = false;
    m_menu.SetLaunchHook([&](LPCITEMIDLIST) { return asked = true; });
    m_menu.ShowAt(100, 100, 0);
    EXPECT_FALSE(asked);
    EXPECT_EQ(FindShownMenu(), nullptr);
    EXPECT_EQ(m_menu.GetRootMenu(), nullptr);
}

} // namespace
