// Shared by the toolbar band page's program tests: Corvset.exe copied beside the band's
// server, the page's controls, the band's registration as reg.exe sees it, and the texts and
// boxes the page shows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

namespace barpage_test {

constexpr int kBarPageIndex = 2;
constexpr int kShowTextCheckBox = 1006;
constexpr int kRegisterButton = 1007;
constexpr int kUnregisterButton = 1008;

// The sheet, seen from its toolbar band page.
class BarSettingsProcess : public settings_test::SettingsProcess {
public:
    using settings_test::SettingsProcess::SettingsProcess;

    HWND BarPage() const { return Page(kBarPageIndex); }
    bool TextChecked() const;
    void ClickShowText();
    // Posted: the page answers with modal boxes.
    void Click(int button);
    // True once the sheet has served a message sent now: whatever the page was doing when
    // the last box closed has run up to its next box or to its end.
    bool Settled() const;
};

// Corvset.exe and the built CorvinaBar.dll copied into a scratch folder of the test's own; the
// menu list editor's server is not there.
class ProgramBesideBand : public testing::Test {
protected:
    void SetUp() override;

    CScratchFolder folder{"barpage"};
    std::string program, band;
};

// The band's class key (HKCR\CLSID\{...}) and its Internet Explorer toolbar value, asked of
// reg.exe.
bool BandClassRegistered();
bool BandToolbarListed();

// A box of the program's process, its text and whether it asks Yes or No.
struct ProgramBox {
    HWND window = nullptr;
    std::wstring text;
    bool asksYesNo = false;
};
ProgramBox WaitForProgramBox(DWORD process, DWORD timeoutMs = 30000);
bool ProgramBoxOpen(DWORD process);

// The page's texts for this run, as the box shows them.
std::wstring CompletionText(bool withNote);
std::wstring QuestionText(bool registering);
std::wstring UnregisteredText();
std::wstring RegisterFailedText();
std::wstring UnregisterFailedText();
std::wstring MissingBandText(const std::string& path);

} // namespace barpage_test
