// Objects hooked onto an existing window: chained in order, each unhooked when the window
// goes, and nothing thrown reaches the system.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/CSubclassWnd.h"
#include "framework/CWnd.h"

namespace {

const UINT WM_TEST_PING = WM_APP + 7;

std::vector<std::string> g_seen;

class COwnWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TEST_PING) {
            g_seen.push_back("window");
            return 0x77;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

enum class Throw { Never, BeforeDefault, AfterDefault };

class CHook : public CSubclassWnd {
public:
    explicit CHook(std::string name) : m_name(std::move(name)) {}
    Throw throwing = Throw::Never;
    int detached = 0;
    int afterDestroy = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (m_destroyed) {
            ++afterDestroy;
        }
        if (message == WM_NCDESTROY) {
            m_destroyed = true;
        }
        if (message == WM_TEST_PING) {
            g_seen.push_back(m_name);
            if (throwing == Throw::BeforeDefault) {
                throw std::runtime_error("before");
            }
            const LRESULT result = Default(message, wParam, lParam);
            if (throwing == Throw::AfterDefault) {
                throw std::runtime_error("after");
            }
            return result;
        }
        return Default(message, wParam, lParam);
    }

protected:
    void OnDetached() override { ++detached; }

private:
    std::string m_name;
    bool m_destroyed = false;
};

class SubclassTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen.clear();
        ASSERT_TRUE(m_window.Create("subclassed", WS_OVERLAPPEDWINDOW));
    }
    LRESULT Ping() { return SendMessageA(m_window.GetHwnd(), WM_TEST_PING, 0, 0); }

    COwnWnd m_window;
};

TEST_F(SubclassTest, HooksChainAndThrowsCountAsTheDefault) {
    struct Case {
        const char* what;
        Throw outer;
        std::vector<std::string> seen;
        LRESULT result;
    };
    const Case cases[] = {
        {"both pass on", Throw::Never, {"outer", "inner", "window"}, 0x77},
        {"outer throws first", Throw::BeforeDefault, {"outer", "inner", "window"}, 0x77},
        {"outer throws after passing on", Throw::AfterDefault, {"outer", "inner", "window"}, 0},
    };
    CHook inner("inner");
    CHook outer("outer");
    ASSERT_TRUE(inner.Attach(m_window.GetHwnd()));
    ASSERT_TRUE(outer.Attach(m_window.GetHwnd()));
    EXPECT_FALSE(outer.Attach(m_window.GetHwnd()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_seen.clear();
        outer.throwing = c.outer;
        EXPECT_EQ(Ping(), c.result);
        EXPECT_EQ(g_seen, c.seen);
    }
    outer.throwing = Throw::Never;
    outer.Detach();
    g_seen.clear();
    EXPECT_EQ(Ping(), 0x77);
    EXPECT_EQ(g_seen, (std::vector<std::string>{"inner", "window"}));
}

TEST_F(SubclassTest, DestroyedWindowUnhooksEveryObject) {
    CHook first("first");
    CHook second("second");
    ASSERT_TRUE(first.Attach(m_window.GetHwnd()));
    ASSERT_TRUE(second.Attach(m_window.GetHwnd()));
    ASSERT_TRUE(second.DestroyWindow());
    for (CHook* hook : {&first, &second}) {
        EXPECT_EQ(hook->GetHwnd(), nullptr);
        EXPECT_EQ(hook->detached, 1);
        EXPECT_EQ(hook->afterDestroy, 0);
    }
    EXPECT_EQ(m_window.GetHwnd(), nullptr);
}

} // namespace
