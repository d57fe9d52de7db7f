// The menu shown and tracked on the desktop, an entry picked with the keyboard.
#include <atomic>
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
