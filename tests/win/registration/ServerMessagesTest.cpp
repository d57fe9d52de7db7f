#include "RegistrationTestSupport.h"

#include "serversetup/ServerMessages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

// Written out here rather than taken from the code under test, so that a wrong text shows.
const wchar_t kJapaneseExtension[] = L"『Corvina』の実行に必要なファイルがありません。\n(";
const wchar_t kJapaneseBand[] = L"『Corvina Bar』の実行に必要なファイルがありません。\n(";
const char kEnglish[] = "ERROR : dll file required for a setup is not found.\n(";

// A path with format directives and, on the Japanese run, a 0x5C trail byte.
std::string TrickyPath() {
    if (IsJapaneseRun()) {
        return ToAnsi(L"C:\\100%s\\%d%n\\表示\\Corvina.dll");
    }
    return "C:\\100%s\\%d%n%%\\Corvina.dll";
}

TEST(ServerMessages, MissingServerTextsCarryThePathAsItIs) {
    const std::string path = TrickyPath();
    const struct {
        ServerDll dll;
        const wchar_t* japanese;
    } cases[] = {{ServerDll::Extension, kJapaneseExtension}, {ServerDll::Band, kJapaneseBand}};
    for (const auto& c : cases) {
        const std::string start = IsJapaneseRun() ? ToAnsi(c.japanese) : kEnglish;
        EXPECT_EQ(BuildMissingServerText(c.dll, path.c_str()), start + path + ")");
    }
    if (IsJapaneseRun()) {
        // Shift-JIS bytes, not UTF-8: 『 is 0x81 0x77.
        EXPECT_EQ(BuildMissingServerText(ServerDll::Extension, "x").substr(0, 2), "\x81\x77");
    }
    EXPECT_EQ(BuildMissingServerText(ServerDll::Band, nullptr).back(), ')');
}

struct BoxSeen {
    std::string text;
    int buttons = 0;
    bool okButton = false;
    HICON icon = nullptr;
};

BOOL CALLBACK InspectChild(HWND child, LPARAM param) {
    auto* seen = reinterpret_cast<BoxSeen*>(param);
    char className[64] = {};
    GetClassNameA(child, className, sizeof(className));
    const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
    if (lstrcmpiA(className, "Button") == 0) {
        ++seen->buttons;
        seen->okButton = seen->okButton || GetDlgCtrlID(child) == IDOK;
    } else if (lstrcmpiA(className, "Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON) {
            seen->icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        } else {
            char text[1024] = {};
            GetWindowTextA(child, text, sizeof(text));
            if (*text) {
                seen->text = text;
            }
        }
    }
    return TRUE;
}

TEST(ServerMessages, MissingServerBoxHasTheExclamationIconOkAndTheCaption) {
    const std::string caption = "Corvina registration test " + RunLocale();
    const std::string path = TrickyPath();
    BoxSeen seen;
    std::atomic<bool> found{false};
    std::thread answerer([&] {
        // The box is modal in this thread's caller; find it by its caption and answer it.
        for (int i = 0; i < 600 && !found; ++i) {
            HWND box = FindWindowA("#32770", caption.c_str());
            if (box && IsWindowVisible(box)) {
                EnumChildWindows(box, InspectChild, reinterpret_cast<LPARAM>(&seen));
                found = true;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(50);
        }
    });
    const int result =
        ShowMissingServerMessage(nullptr, ServerDll::Band, path.c_str(), caption.c_str());
    answerer.join();

    ASSERT_TRUE(found);
    EXPECT_EQ(result, IDOK);
    // Static controls turn "\n" into a line break but keep the text as given.
    EXPECT_EQ(seen.text, BuildMissingServerText(ServerDll::Band, path.c_str()));
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_TRUE(seen.okButton);
    EXPECT_EQ(seen.icon, LoadIcon(nullptr, IDI_EXCLAMATION));
}

} // namespace
