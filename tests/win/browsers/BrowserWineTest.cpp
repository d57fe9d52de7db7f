// The browser-window operations against Wine's own shell window collection and Internet
// Explorer, whose automation answers most calls with E_NOTIMPL, and the message pump the
// waits are made of.
#include "serversetup/BrowserWindows.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

class BrowserWineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(BrowserWineTest, SystemClassesEndWithNoWindowOpen) {
    EXPECT_FALSE(IsShellBrowserWindowOpen());
    // The collection cannot be counted here, so nothing may have been touched.
    EXPECT_EQ(CloseShellBrowserWindows(), FALSE);
    EXPECT_FALSE(IsShellBrowserWindowOpen());
    // Its browser never reports a ready state: every wait runs out and the switch-off still
    // ends, with the browser quit.
    corvina::BrowserWaitTimes times;
    times.pumpMs = 20;
    times.limitMs = 30;
    EXPECT_EQ(HideToolbarBand("{9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}", "about:blank", times),
              TRUE);
    EXPECT_FALSE(IsShellBrowserWindowOpen());
}

// Records the messages of one window of this thread.
struct PumpWindow {
    static constexpr UINT kPosted = WM_APP + 1;
    static constexpr UINT kSent = WM_APP + 2;
    static constexpr UINT kRepost = WM_APP + 3;
    static std::vector<UINT> seen;
    static std::atomic<DWORD> dispatchThread;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message >= kPosted && message <= kRepost) {
            seen.push_back(message);
            dispatchThread = GetCurrentThreadId();
            if (message == kRepost) {
                PostMessageA(window, kRepost, 0, 0); // never lets the queue run dry
            }
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
};
std::vector<UINT> PumpWindow::seen;
std::atomic<DWORD> PumpWindow::dispatchThread{0};

TEST_F(BrowserWineTest, PumpDispatchesWhatArrivesAndLastsItsTime) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &PumpWindow::Proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "CorvinaPumpTest";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "CorvinaPumpTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);

    // Queued before, posted and sent from another thread while the pump sleeps.
    PumpWindow::seen.clear();
    PostMessageA(window, PumpWindow::kPosted, 0, 0);
    std::thread other([window] {
        Sleep(100);
        PostMessageA(window, PumpWindow::kPosted, 0, 0);
        SendMessageA(window, PumpWindow::kSent, 0, 0);
    });
    const DWORD start = GetTickCount();
    PumpMessages(600);
    const DWORD elapsed = GetTickCount() - start;
    other.join();
    // Sent messages are served before posted ones, whatever came first.
    std::sort(PumpWindow::seen.begin(), PumpWindow::seen.end());
    EXPECT_EQ(PumpWindow::seen,
              (std::vector<UINT>{PumpWindow::kPosted, PumpWindow::kPosted, PumpWindow::kSent}));
    EXPECT_EQ(PumpWindow::dispatchThread.load(), GetCurrentThreadId());
    EXPECT_GE(elapsed, 600u); // it does not return once the queue is empty

    // A window that keeps posting to itself does not hold the pump past its time.
    PumpWindow::seen.clear();
    PostMessageA(window, PumpWindow::kRepost, 0, 0);
    PumpMessages(50);
    EXPECT_GT(PumpWindow::seen.size(), 1u);
    DestroyWindow(window);
    ::PumpMessages(); // the last repost
}

TEST_F(BrowserWineTest, PumpLeavesAQuitForTheProgramsOwnLoop) {
    PostQuitMessage(7);
    PumpMessages(200);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

} // namespace
