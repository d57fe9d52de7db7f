// The menu shown and tracked on the desktop, an entry picked with the keyboard.
#include <atomic>
#include <thread>

#include "MenuTestSupport.h"

namespace {

HWND FindShownMenu() {
    HWND menu = FindWindowA("#32768", nullptr);
    return menu != nullptr && IsWindowVisible(menu) ? menu : nullptr;
}

TEST_F(MenuTest, ShowAtTracksOpensTheChosenEntryAndDestroysTheMenu) {
    const std::string first = MakeFile("first.txt");
    const std::string second = MakeFile("second.txt");
    SaveList({{first, ""}, {second, ""}});
    std::vector<std::string> launched;
    m_menu.SetLaunchHook([&](LPCITEMIDLIST item) {
        launched.push_back(PathOf(item));
        return true;
    });

    std::atomic<bool> done{false};
    std::atomic<bool> found{false};
    std::thread driver([&] {
        HWND menu = nullptr;
        for (int wait = 0; wait < 600 && !done && (menu = FindShownMenu()) == nullptr; ++wait) {
            Sleep(50);
        }
        if (menu == nullptr) {
            return;
        }
        found = true;
        for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
            PostMessageA(menu, WM_KEYDOWN, key, 0);
            Sleep(100);
        }
        // Never leave the test hanging in the menu loop.
        for (int wait = 0; wait < 300 && !done; ++wait) {
            Sleep(50);
        }
        while (!done && (menu = FindShownMenu()) != nullptr) {
            PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            Sleep(200);
        }
    });
    m_menu.ShowAt(100, 100, TPM_LEFTALIGN);
    done = true;
    driver.join();

    ASSERT_TRUE(found) << "the popup never appeared";
    EXPECT_EQ(launched, std::vector<std::string>{second});
    EXPECT_EQ(m_menu.GetRootMenu(), nullptr) << "destroyed after the showing";
    EXPECT_TRUE(m_menu.GetCreatedSubmenus().empty());
    EXPECT_FALSE(m_menu.IsTipShowing());
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
