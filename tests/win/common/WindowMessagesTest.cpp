#include "TestSupport.h"

#include "common/WindowMessages.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

TEST(RegisteredMessages, AreObtainedByTheirNames) {
    const RegisteredMessages messages = RegisterCorvinaMessages();
    const std::pair<UINT, const char*> expected[] = {
        {messages.updateOption, "UpdateOption"},
        {messages.menuMessage, "MenuMessage"},
        {messages.hookMessage, "HookMessage"},
        {messages.changedButton, "Velmora-Changed-Button"},
        {messages.taskbarCreated, "TaskbarCreated"},
    };
    for (const auto& [number, name] : expected) {
        EXPECT_GE(number, 0xC000u) << name;
        EXPECT_EQ(number, RegisterWindowMessageA(name)) << name;
    }
}

TEST(ProgramNames, AreTheNamesTheProgramsFindEachOtherBy) {
    const std::pair<const char*, const char*> names[] = {
        {kResidentFrameTitle, "VLEMORA : CorvinaPlus"},
        {kResidentMutexName, "Velmora : Corvina Plus"},
        {kSettingsMutexName, "Velmora : Corvina"},
        {kSettingsSheetClass, "#32770"},
        {kBandToolbarClass, "ToolbarWindow32"},
        {kBandToolbarText, "Velmora:CorvinaBar"},
    };
    for (const auto& [name, expected] : names) {
        EXPECT_STREQ(name, expected);
    }
}

// The title is looked for through the ANSI functions and compared through the wide ones: both
// forms must name the same window on this system.
TEST(ProgramNames, SettingsSheetTitleReadsAsItsWideFormOnThisSystem) {
    const std::string title = BuildSettingsSheetTitle();
    HWND window = CreateWindowExA(0, "STATIC", title.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    WCHAR shown[64] = {};
    GetWindowTextW(window, shown, 64);
    EXPECT_EQ(FindWindowA("STATIC", title.c_str()), window);
    DestroyWindow(window);
    EXPECT_STREQ(shown, IsJapaneseRun() ? kJapaneseSettingsSheetTitle : kEnglishSettingsSheetTitle);
    EXPECT_EQ(std::wstring(kEnglishSettingsSheetTitle),
              std::wstring(kSettingsSheetTitle.english,
                           kSettingsSheetTitle.english + strlen(kSettingsSheetTitle.english)));
}

class BandNotification : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
        InitCommonControlsEx(&init);
        m_message = RegisterWindowMessageA("Velmora-Changed-Button");
        m_host = CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(m_host, nullptr);
    }
    void TearDown() override {
        DestroyWindow(m_host);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    HWND Make(HWND parent, const char* className, const char* text) {
        HWND window = CreateWindowExA(0, className, text, WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                                      nullptr, nullptr);
        EXPECT_NE(window, nullptr) << className;
        // A toolbar ignores its creation text; the band sets it afterwards.
        SetWindowTextA(window, text);
        return window;
    }

    // The windows that have the notice waiting, in the order it was first posted to each.
    // (The other language run of this program may be notifying at the same time.)
    std::vector<HWND> Notified() {
        std::vector<HWND> windows;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, m_message, m_message, PM_REMOVE)) {
            EXPECT_EQ(msg.wParam, 0u);
            EXPECT_EQ(msg.lParam, 0);
            if (std::find(windows.begin(), windows.end(), msg.hwnd) == windows.end()) {
                windows.push_back(msg.hwnd);
            }
        }
        return windows;
    }

    UINT m_message = 0;
    HWND m_host = nullptr;
};

TEST_F(BandNotification, PostsOnlyToToolbarsWithTheBandText) {
    const HWND band = Make(m_host, TOOLBARCLASSNAME, "Velmora:CorvinaBar");
    Make(m_host, "STATIC", "Velmora:CorvinaBar");
    Make(m_host, TOOLBARCLASSNAME, "velmora:corvinabar");
    Make(m_host, TOOLBARCLASSNAME, "Velmora:CorvinaBar ");
    Make(m_host, TOOLBARCLASSNAME, "Velmora:Corvina");
    Make(m_host, TOOLBARCLASSNAME, "");
    Notified();

    EXPECT_GE(NotifyBandWindows(), 1u);
    EXPECT_EQ(Notified(), std::vector<HWND>{band});
}

TEST_F(BandNotification, VisitsChildrenBeforeTheirParent) {
    // Nested bands: the walk reaches the inner ones before the outer.
    const HWND outer = Make(m_host, TOOLBARCLASSNAME, "Velmora:CorvinaBar");
    const HWND middle = Make(outer, "STATIC", "middle");
    const HWND inner = Make(middle, TOOLBARCLASSNAME, "Velmora:CorvinaBar");
    const HWND sibling = Make(m_host, TOOLBARCLASSNAME, "Velmora:CorvinaBar");
    Notified();

    NotifyBandWindows();
    const std::vector<HWND> order = Notified();
    ASSERT_EQ(order.size(), 3u);
    const auto innerAt = std::find(order.begin(), order.end(), inner);
    const auto outerAt = std::find(order.begin(), order.end(), outer);
    ASSERT_NE(innerAt, order.end());
    ASSERT_NE(outerAt, order.end());
    EXPECT_LT(innerAt, outerAt);
    EXPECT_NE(std::find(order.begin(), order.end(), sibling), order.end());
}

// A band in another thread of this process: its text is asked for by message. When the
// thread pumps, it is told; when it hangs, the walk still ends.
TEST_F(BandNotification, BandOfAnotherThreadIsToldAndAHungOneDoesNotBlock) {
    for (bool hung : {false, true}) {
        std::atomic<HWND> band{nullptr};
        std::atomic<int> received{0};
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::thread owner([&] {
            HWND window = CreateWindowExA(0, TOOLBARCLASSNAME, "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                          nullptr, nullptr, nullptr);
            SetWindowTextA(window, "Velmora:CorvinaBar");
            band = window;
            if (hung) {
                WaitForSingleObject(release, INFINITE);
            } else {
                while (WaitForSingleObject(release, 0) == WAIT_TIMEOUT) {
                    MSG msg;
                    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                        if (msg.message == m_message && msg.hwnd == window) {
                            ++received;
                        }
                        DispatchMessageA(&msg);
                    }
                    MsgWaitForMultipleObjects(1, &release, FALSE, 50, QS_ALLINPUT);
                }
            }
            DestroyWindow(window);
        });
        while (band.load() == nullptr) {
            Sleep(5);
        }
        NotifyBandWindows();
        if (!hung) {
            for (int i = 0; i < 2000 && received.load() == 0; ++i) {
                Sleep(5);
            }
            EXPECT_GE(received.load(), 1);
        }
        SetEvent(release);
        owner.join();
        CloseHandle(release);
    }
}

} // namespace
