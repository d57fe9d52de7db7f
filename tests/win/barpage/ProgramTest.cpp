// Corvset.exe as a separate process beside a copy of the real CorvinaBar.dll, against Wine's
// own shell window collection and Internet Explorer: Wine lists no browser window, so no
// question is asked, and its hidden browser never reports being idle, so unregistering waits
// out every round before it goes on. Also the "Text" option read at start and written on
// apply, and the bands told of it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "BarPageTestSupport.h"

using namespace barpage_test;

namespace {

constexpr char kOptionsKey[] = "Software\\Velmora\\Corvina Bar";
// Two switch-offs of up to ten rounds of about 1.5 seconds each, on a slow machine.
constexpr DWORD kUnregisterTimeoutMs = 180000;

// A band toolbar of this test on a thread of its own, counting the band notices it gets.
class BandWindowSpy {
public:
    BandWindowSpy() {
        m_thread = std::thread([this] { Run(); });
        WaitFor([this] { return m_ready.load(); }, 30000, Pumping::None);
    }
    BandWindowSpy(const BandWindowSpy&) = delete;
    BandWindowSpy& operator=(const BandWindowSpy&) = delete;
    ~BandWindowSpy() {
        PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }

    bool Ready() const { return m_window != nullptr; }
    int Notices() const { return s_notices.load(); }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == s_message && wParam == 0 && lParam == 0) {
            ++s_notices;
        }
        return CallWindowProcA(s_toolbarProc, window, message, wParam, lParam);
    }

    void Run() {
        m_threadId = GetCurrentThreadId();
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_BAR_CLASSES};
        InitCommonControlsEx(&init);
        s_message = RegisterWindowMessageA("Velmora-Changed-Button");
        s_notices = 0;
        HWND host = CreateWindowExA(0, "STATIC", "band host", WS_POPUP, 0, 0, 100, 30, nullptr,
                                    nullptr, nullptr, nullptr);
        HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD, 0, 0, 100, 30, host,
                                       nullptr, nullptr, nullptr);
        if (toolbar) {
            // A toolbar ignores its creation text; the band sets it afterwards.
            SetWindowTextA(toolbar, "Velmora:CorvinaBar");
            s_toolbarProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                toolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BandWindowSpy::Proc)));
            m_window = toolbar;
        }
        m_ready = true;
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        DestroyWindow(host);
    }

    static UINT s_message;
    static WNDPROC s_toolbarProc;
    static std::atomic<int> s_notices;
    std::thread m_thread;
    DWORD m_threadId = 0;
    std::atomic<bool> m_ready{false};
    HWND m_window = nullptr;
};

UINT BandWindowSpy::s_message = 0;
WNDPROC BandWindowSpy::s_toolbarProc = nullptr;
std::atomic<int> BandWindowSpy::s_notices{0};

void DeleteOption() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kOptionsKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Text");
        RegCloseKey(key);
    }
}

void StoreOption(DWORD type, const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kOptionsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Text", 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

bool ReadOption(DWORD* type, std::vector<BYTE>* data) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kOptionsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    BYTE buffer[16] = {};
    DWORD size = sizeof buffer;
    const bool read = RegQueryValueExA(key, "Text", nullptr, type, buffer, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    data->assign(buffer, buffer + (read ? size : 0));
    return read;
}

using ProgramTest = ProgramBesideBand;

TEST_F(ProgramTest, RegistersAndUnregistersWithoutAskingWhenNoBrowserIsOpen) {
    ASSERT_FALSE(BandClassRegistered());
    struct Step {
        const char* name;
        int button;
        DWORD timeoutMs;
        std::wstring text;
        bool registered;
    };
    const Step steps[] = {
        {"register", kRegisterButton, 30000, CompletionText(false), true},
        {"register again", kRegisterButton, 30000, CompletionText(false), true},
        {"unregister", kUnregisterButton, kUnregisterTimeoutMs, UnregisteredText(), false},
    };
    BarSettingsProcess run(program);
    ASSERT_TRUE(run.Start());
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        run.Click(step.button);
        const ProgramBox box = WaitForProgramBox(run.Id(), step.timeoutMs);
        ASSERT_NE(box.window, nullptr);
        EXPECT_FALSE(box.asksYesNo);
        EXPECT_EQ(box.text, step.text);
        EXPECT_EQ(BandClassRegistered(), step.registered);
        EXPECT_EQ(BandToolbarListed(), step.registered);
        ASSERT_TRUE(basicpage_test::AnswerMessageBox(box.window));
        ASSERT_TRUE(run.Settled());
        EXPECT_FALSE(ProgramBoxOpen(run.Id()));
    }
}

TEST_F(ProgramTest, BothButtonsNameTheMissingServer) {
    ASSERT_TRUE(DeleteFileA(band.c_str()));
    // A folder of that name is no server either.
    ASSERT_TRUE(CreateDirectoryA(band.c_str(), nullptr));
    BarSettingsProcess run(program);
    ASSERT_TRUE(run.Start());
    for (int button : {kRegisterButton, kUnregisterButton}) {
        SCOPED_TRACE(button);
        run.Click(button);
        const ProgramBox box = WaitForProgramBox(run.Id());
        ASSERT_NE(box.window, nullptr);
        EXPECT_FALSE(box.asksYesNo);
        EXPECT_EQ(box.text, MissingBandText(band));
        ASSERT_TRUE(basicpage_test::AnswerMessageBox(box.window));
        ASSERT_TRUE(run.Settled());
        EXPECT_FALSE(ProgramBoxOpen(run.Id()));
        EXPECT_FALSE(BandClassRegistered());
    }
    RemoveDirectoryA(band.c_str());
}

TEST_F(ProgramTest, CheckBoxShowsTheStoredOption) {
    struct Case {
        const char* name;
        bool stored;
        DWORD type;
        std::vector<BYTE> data;
        bool checked;
    };
    const Case cases[] = {
        {"missing", false, REG_DWORD, {}, false},
        {"zero", true, REG_DWORD, {0, 0, 0, 0}, false},
        {"one", true, REG_DWORD, {1, 0, 0, 0}, true},
        {"any other number", true, REG_DWORD, {0, 2, 0, 0}, true},
        {"type not looked at", true, REG_BINARY, {0, 0, 0, 1}, true},
        {"shorter data", true, REG_BINARY, {1}, true},
        {"longer than four bytes", true, REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteOption();
        if (c.stored) {
            StoreOption(c.type, c.data);
        }
        BarSettingsProcess run(program);
        ASSERT_TRUE(run.Start());
        EXPECT_EQ(run.TextChecked(), c.checked);
    }
    DeleteOption();
}

TEST_F(ProgramTest, ApplyStoresTheOptionAndTellsTheBandsOnce) {
    DeleteOption();
    BandWindowSpy bands;
    ASSERT_TRUE(bands.Ready());
    for (bool checked : {true, false}) {
        SCOPED_TRACE(checked ? "switched on" : "switched off");
        BarSettingsProcess run(program);
        ASSERT_TRUE(run.Start());
        ASSERT_EQ(run.TextChecked(), !checked);
        run.ClickShowText();
        ASSERT_EQ(run.TextChecked(), checked);
        const int before = bands.Notices();
        run.PressApply();
        // The menu list editor is applied first: it tells the bands once, then misses its own
        // server beside the program.
        const ProgramBox box = WaitForProgramBox(run.Id());
        ASSERT_NE(box.window, nullptr);
        EXPECT_TRUE(WaitFor([&] { return bands.Notices() == before + 1; }));
        ASSERT_TRUE(basicpage_test::AnswerMessageBox(box.window));
        ASSERT_TRUE(WaitFor([&] { return !run.ApplyEnabled(); }));
        // Then this page, once.
        EXPECT_TRUE(WaitFor([&] { return bands.Notices() == before + 2; }));
        run.Stop();
        EXPECT_EQ(bands.Notices(), before + 2);

        DWORD type = 0;
        std::vector<BYTE> data;
        ASSERT_TRUE(ReadOption(&type, &data));
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(data, (std::vector<BYTE>{checked ? BYTE{1} : BYTE{0}, 0, 0, 0}));
    }
    // The next start shows what the last apply stored.
    BarSettingsProcess run(program);
    ASSERT_TRUE(run.Start());
    EXPECT_FALSE(run.TextChecked());
    DeleteOption();
}

} // namespace
