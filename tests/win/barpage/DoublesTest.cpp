// Corvset.exe as a separate process beside a copy of the real CorvinaBar.dll, with the
// automation doubles (tests/hosts/automation_doubles) playing the shell's window collection
// and Internet Explorer: the question when a browser window is open, what each answer ends
// and switches off, and the failure boxes of a server without the registration exports.
// Registering the doubles takes over the system's class ids: this program only runs in a
// throwaway copy of the prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "BarPageTestSupport.h"
#include "automation_doubles/DoublesControl.h"
#include "serversetup/ServerLoading.h"

using namespace barpage_test;

namespace {

using Calls = std::vector<std::string>;

// The calls that end, hide or switch something off, each cut after its first argument:
// "window0.Quit", "ie.Navigate about:blank", "ie.ShowBrowserBar vt8={...}".
Calls ActionsOf(const Calls& calls) {
    Calls actions;
    for (const std::string& call : calls) {
        const size_t dot = call.find('.');
        const size_t blank = call.find(' ');
        const std::string method =
            call.substr(dot + 1, blank == std::string::npos ? std::string::npos : blank - dot - 1);
        if (method == "put_Visible" || method == "Stop" || method == "Quit" ||
            method == "Navigate" || method == "ShowBrowserBar") {
            const size_t second = blank == std::string::npos ? blank : call.find(' ', blank + 1);
            actions.push_back(call.substr(0, second));
        }
    }
    return actions;
}

const char kShowBand[] = "ie.ShowBrowserBar vt8={9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}";

class DoublesTest : public ProgramBesideBand {
protected:
    static void SetUpTestSuite() {
        const char* copy = std::getenv("CORVINA_PREFIX_COPY");
        s_registered = copy && std::string(copy) == "1" && RegisterServerByLoading(DOUBLES_DLL);
    }

    void SetUp() override {
        ASSERT_TRUE(s_registered) << "the doubles are registered only in a copy of the prefix";
        ProgramBesideBand::SetUp();
    }

    static bool s_registered;
};

bool DoublesTest::s_registered = false;

TEST_F(DoublesTest, OpenBrowserWindowsAreOfferedToBeEndedFirst) {
    const Calls hideBoth = {"ie.Navigate about:blank", kShowBand, "ie.Quit",
                            "ie.Navigate C:\\",        kShowBand, "ie.Quit"};
    const Calls endWindow = {"window0.put_Visible 0", "window0.Stop", "window0.Quit"};
    Calls endThenHide = endWindow;
    endThenHide.insert(endThenHide.end(), hideBoth.begin(), hideBoth.end());

    struct Case {
        const char* name;
        const char* windows;
        bool brokenServer; // loads, but has no registration exports
        bool registeredBefore;
        int button;
        int answer;        // to the question; 0: none is asked
        std::wstring text; // the box after the question, or none
        bool registeredAfter;
        Calls actions;
    };
    const Case cases[] = {
        {"register, window kept",
         "browser",
         false,
         false,
         kRegisterButton,
         IDNO,
         CompletionText(true),
         true,
         {}},
        {"register, window ended",
         "other,browser",
         false,
         false,
         kRegisterButton,
         IDYES,
         CompletionText(false),
         true,
         {"window1.put_Visible 0", "window1.Stop", "window1.Quit"}},
        {"register, no browser among the windows",
         "other",
         false,
         false,
         kRegisterButton,
         0,
         CompletionText(false),
         true,
         {}},
        {"unregister refused", "browser", false, true, kUnregisterButton, IDNO, L"", true, {}},
        {"unregister, window ended", "browser", false, true, kUnregisterButton, IDYES,
         UnregisteredText(), false, endThenHide},
        {"unregister, no window", "", false, true, kUnregisterButton, 0, UnregisteredText(), false,
         hideBoth},
        {"unregister, collection not countable", "nocount", false, true, kUnregisterButton, 0,
         UnregisteredText(), false, hideBoth},
        {"register fails before anything is asked",
         "browser",
         true,
         false,
         kRegisterButton,
         0,
         RegisterFailedText(),
         false,
         {}},
        {"unregister fails after the windows went", "browser", true, true, kUnregisterButton, IDYES,
         UnregisterFailedText(), true, endThenHide},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(CopyFileA(HostPath(CORVINA_BAR_DLL).c_str(), band.c_str(), FALSE));
        ASSERT_TRUE(c.registeredBefore ? RegisterServerByLoading(band.c_str())
                                       : UnregisterServerByLoading(band.c_str()));
        ASSERT_EQ(BandClassRegistered(), c.registeredBefore);
        if (c.brokenServer) {
            ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\version.dll", band.c_str(), FALSE));
        }
        ASSERT_TRUE(doubles::Play(std::string("windows=") + c.windows + "\nready=4"));

        BarSettingsProcess run(program);
        ASSERT_TRUE(run.Start());
        run.Click(c.button);
        if (c.answer) {
            const ProgramBox question = WaitForProgramBox(run.Id());
            ASSERT_NE(question.window, nullptr);
            EXPECT_TRUE(question.asksYesNo);
            EXPECT_EQ(question.text, QuestionText(c.button == kRegisterButton));
            ASSERT_TRUE(basicpage_test::AnswerMessageBox(question.window, c.answer));
        }
        if (!c.text.empty()) {
            const ProgramBox box = WaitForProgramBox(run.Id());
            ASSERT_NE(box.window, nullptr);
            EXPECT_FALSE(box.asksYesNo);
            EXPECT_EQ(box.text, c.text);
            ASSERT_TRUE(basicpage_test::AnswerMessageBox(box.window));
        }
        ASSERT_TRUE(run.Settled());
        EXPECT_FALSE(ProgramBoxOpen(run.Id()));
        EXPECT_EQ(BandClassRegistered(), c.registeredAfter);
        EXPECT_EQ(ActionsOf(doubles::Recorded()), c.actions);
    }
}

} // namespace
