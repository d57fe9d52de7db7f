// The browser-window operations against the automation doubles (tests/hosts/
// automation_doubles), which play the shell's window collection and Internet Explorer and
// record every call. Registering them takes over the system's class ids: this program only
// runs in a throwaway copy of the prefix.
#include "serversetup/BrowserWindows.h"
#include "serversetup/ServerLoading.h"

#include "automation_doubles/DoublesControl.h"
#include "framework/CRegKey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

const char kBand[] = "{9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}";

class BrowserDoublesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* copy = std::getenv("CORVINA_PREFIX_COPY");
        s_registered = copy && std::string(copy) == "1" && RegisterServerByLoading(DOUBLES_DLL);
    }

    void SetUp() override {
        ASSERT_TRUE(s_registered) << "the doubles are registered only in a copy of the prefix";
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    }
    void TearDown() override {
        CoFreeUnusedLibraries();
        CoUninitialize();
    }

    static void Play(const std::string& script) { ASSERT_TRUE(doubles::Play(script)); }

    static Calls Recorded() { return doubles::Recorded(); }

    static size_t CountOf(const Calls& calls, const std::string& call) {
        return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
    }
    static size_t CountStarting(const Calls& calls, const std::string& prefix) {
        return static_cast<size_t>(std::count_if(calls.begin(), calls.end(), [&](const auto& c) {
            return c.compare(0, prefix.size(), prefix) == 0;
        }));
    }

    // No double is still alive: the doubles' module is locked by every live object.
    static void ExpectAllReleased(const std::string& context) {
        using CanUnload = HRESULT(STDAPICALLTYPE*)();
        HMODULE doubles = GetModuleHandleA("automation_doubles.dll");
        ASSERT_NE(doubles, nullptr) << context;
        const auto canUnload =
            reinterpret_cast<CanUnload>(GetProcAddress(doubles, "DllCanUnloadNow"));
        ASSERT_NE(canUnload, nullptr) << context;
        EXPECT_EQ(canUnload(), S_OK) << context;
    }

    static bool s_registered;
};

bool BrowserDoublesTest::s_registered = false;

TEST_F(BrowserDoublesTest, CloseHidesAndStopsAllBeforeQuittingInOrder) {
    struct Case {
        const char* name;
        const char* windows;
        BOOL result;
        Calls calls;
    };
    const Case cases[] = {
        {"no window", "", TRUE, {"windows.get_Count", "windows.released"}},
        {"count unreadable", "nocount", FALSE, {"windows.get_Count", "windows.released"}},
        {"three windows",
         "browser,browser,browser",
         TRUE,
         {"windows.get_Count", "windows.Item vt3=0", "window0.put_Visible 0", "window0.Stop",
          "windows.Item vt3=1", "window1.put_Visible 0", "window1.Stop", "windows.Item vt3=2",
          "window2.put_Visible 0", "window2.Stop", "window0.Quit", "window0.released",
          "window1.Quit", "window1.released", "window2.Quit", "window2.released",
          "windows.released"}},
        // Items that are no browser, and items that cannot be fetched or queried, are passed
        // over; the browsers after them are still ended.
        {"others left alone",
         "other,browser,fail,qifail,browser",
         TRUE,
         {"windows.get_Count", "windows.Item vt3=0", "windows.Item vt3=1", "window1.put_Visible 0",
          "window1.Stop", "windows.Item vt3=2", "windows.Item vt3=3", "window3.released",
          "windows.Item vt3=4", "window4.put_Visible 0", "window4.Stop", "window1.Quit",
          "window1.released", "window4.Quit", "window4.released", "windows.released"}},
    };
    for (const Case& c : cases) {
        Play(std::string("windows=") + c.windows);
        EXPECT_EQ(CloseShellBrowserWindows(), c.result) << c.name;
        EXPECT_EQ(Recorded(), c.calls) << c.name;
        ExpectAllReleased(c.name);
    }
}

TEST_F(BrowserDoublesTest, OpenWindowIsTheFirstBrowserAndNothingChanges) {
    struct Case {
        const char* windows;
        bool open;
        size_t fetches;
    };
    const Case cases[] = {
        {"", false, 0},
        {"nocount", false, 0},
        {"other,fail,qifail", false, 3},
        {"other,browser,browser", true, 2},
        {"browser", true, 1},
    };
    for (const Case& c : cases) {
        Play(std::string("windows=") + c.windows);
        EXPECT_EQ(IsShellBrowserWindowOpen(), c.open) << c.windows;
        const Calls calls = Recorded();
        EXPECT_EQ(CountStarting(calls, "windows.Item "), c.fetches) << c.windows;
        for (const std::string& call : calls) {
            EXPECT_EQ(call.find(".put_Visible"), std::string::npos) << c.windows;
            EXPECT_EQ(call.find(".Stop"), std::string::npos) << c.windows;
            EXPECT_EQ(call.find(".Quit"), std::string::npos) << c.windows;
        }
        ExpectAllReleased(c.windows);
    }
}

TEST_F(BrowserDoublesTest, HideToolbarBandNavigatesHidesTheBandAndQuits) {
    Play("ready=4");
    ASSERT_EQ(HideToolbarBand(kBand, "about:blank"), TRUE);
    const Calls expected = {
        "ie.create",
        // The four optional arguments are one and the same empty VARIANT.
        "ie.Navigate about:blank vt0= vt0= vt0= vt0= same",
        "ie.ShowBrowserBar vt8={9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90} vt11=0 vt22=1",
        "ie.get_ReadyState 4",
        "ie.get_Document",
        "ie.doc.EnumObjects 1", // OLECONTF_EMBEDDINGS
        "ie.doc.get_readyState",
        "ie.doc.released",
        "ie.Quit",
        "ie.released",
    };
    EXPECT_EQ(Recorded(), expected);
    ExpectAllReleased("about:blank");
}

TEST_F(BrowserDoublesTest, HideToolbarBandWaitsUntilIdleAtMostTenTimes) {
    // Each wait checks once: it pumps longer than its limit. The count of ready-state queries
    // is then the count of waits.
    corvina::BrowserWaitTimes times;
    times.pumpMs = 10;
    times.limitMs = 5;
    struct Case {
        const char* name;
        std::string script;
        size_t waits;
    };
    const Case cases[] = {
        {"complete", "ready=4", 1},
        {"loading but no longer busy", "ready=1\nbusy=0", 1},
        {"stuck busy while loading", "ready=1\nbusy=1", 10},
        {"stuck interactive", "ready=3", 10},
        {"stuck uninitialised", "ready=0", 10},
        {"complete on the third check", "ready=3,2,4", 3},
        {"frames still loading", "ready=4\nframes=complete,loading", 10},
        {"frames complete", "ready=4\nframes=complete,Complete", 1},
        {"top document loading", "ready=4\ndocument=interactive", 10},
        {"top document unavailable", "ready=4\ndocument=fail", 10},
        {"top state unreadable", "ready=4\ndocument=unreadable", 10},
        {"frame state unreadable", "ready=4\nframes=complete,unreadable", 10},
        {"frame without a document passed over", "ready=4\nframes=fail,complete", 1},
        {"folder view without a document", "ready=4\ndocument=none", 1},
    };
    for (const Case& c : cases) {
        Play(c.script);
        EXPECT_EQ(HideToolbarBand(kBand, "C:\\", times), TRUE) << c.name;
        const Calls calls = Recorded();
        EXPECT_EQ(CountStarting(calls, "ie.get_ReadyState "), c.waits) << c.name;
        ASSERT_FALSE(calls.empty()) << c.name;
        // Quit comes after the last wait, once.
        EXPECT_EQ(CountOf(calls, "ie.Quit"), 1u) << c.name;
        const auto quit = std::find(calls.begin(), calls.end(), "ie.Quit");
        EXPECT_EQ(std::count_if(quit, calls.end(),
                                [](const std::string& call) {
                                    return call.find(".get_") != std::string::npos;
                                }),
                  0)
            << c.name;
        EXPECT_EQ(CountOf(calls, "ie.Navigate C:\\ vt0= vt0= vt0= vt0= same"), 1u) << c.name;
        ExpectAllReleased(c.name);
    }
}

TEST_F(BrowserDoublesTest, HideToolbarBandWithoutInternetExplorerReturnsAtOnce) {
    struct Case {
        const char* name;
        const char* script;
        bool removeProgId;
        Calls calls;
    };
    const Case cases[] = {
        {"class not registered", "ie=missing", false, {"ie.create"}},
        {"no IWebBrowser2", "ie=nobrowser2", false, {"ie.create", "ie.released"}},
        {"no programmatic identifier", "", true, {}},
    };
    for (const Case& c : cases) {
        Play(c.script);
        if (c.removeProgId) {
            CRegKey classes;
            ASSERT_EQ(classes.Open(HKEY_CLASSES_ROOT, "", KEY_ALL_ACCESS), ERROR_SUCCESS);
            ASSERT_EQ(classes.DeleteTree("InternetExplorer.Application"), ERROR_SUCCESS);
        }
        EXPECT_EQ(HideToolbarBand(kBand, "about:blank"), FALSE) << c.name;
        // Nothing navigated and no ready state asked: there was no wait.
        EXPECT_EQ(Recorded(), c.calls) << c.name;
        if (c.removeProgId) {
            ASSERT_TRUE(RegisterServerByLoading(DOUBLES_DLL));
        }
    }
}

} // namespace
