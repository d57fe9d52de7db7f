// Corvset.exe as a separate process, run from a folder of its own beside a copy of the real
// Corvina.dll: apply registers or unregisters the extension, and the check box of the next
// start shows the handler key; without the DLL apply names the missing file.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BasicPageTestSupport.h"

using namespace settings_test;
using namespace basicpage_test;

namespace {

constexpr int kExtensionCheckBox = 1003;
constexpr char kHandlerKey[] =
    "Directory\\Background\\shellex\\ContextMenuHandlers\\CorvinaExtention";
constexpr char kExtensionClassId[] = "{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}";

bool HandlerRegistered() {
    char value[128] = {};
    LONG size = sizeof value;
    return RegQueryValueA(HKEY_CLASSES_ROOT, kHandlerKey, value, &size) == ERROR_SUCCESS &&
           lstrcmpiA(value, kExtensionClassId) == 0;
}

// Puts the extension's registration back as it was, with the build's own DLL.
class SavedRegistration {
public:
    SavedRegistration() : m_registered(HandlerRegistered()) {}
    ~SavedRegistration() {
        HMODULE dll = LoadLibraryA(HostPath(CORVINA_DLL).c_str());
        if (!dll) {
            return;
        }
        using Entry = HRESULT(STDAPICALLTYPE*)();
        auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(
            GetProcAddress(dll, m_registered ? "DllRegisterServer" : "DllUnregisterServer")));
        if (entry) {
            entry();
        }
        FreeLibrary(dll);
    }

private:
    bool m_registered;
};

// The sheet with the extension's check box of the editor page.
class SettingsProcess : public settings_test::SettingsProcess {
public:
    using settings_test::SettingsProcess::SettingsProcess;

    HWND CheckBox() const { return GetDlgItem(Page(), kExtensionCheckBox); }
    bool Checked() const { return SendMessageW(CheckBox(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // Clicks the check box until it shows the state wanted.
    void SetChecked(bool checked) {
        if (Checked() != checked) {
            SendMessageW(CheckBox(), BM_CLICK, 0, 0);
        }
    }
};

// The program and the extension's server copied into a scratch folder.
class ProgramBesideServer : public testing::Test {
protected:
    void SetUp() override {
        program = folder.Path() + "Corvset.exe";
        server = folder.Path() + "Corvina.dll";
        ASSERT_TRUE(CopyFileA(HostPath(CORVSET_EXE).c_str(), program.c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(HostPath(CORVINA_DLL).c_str(), server.c_str(), FALSE));
        item = folder.CreateEmptyFile("listed.txt");
        WriteStoredList({item}, {""});
    }

    SavedRegistration registration;
    SavedListKey savedList;
    CScratchFolder folder{"basicpage"};
    std::string program, server, item;
};

TEST_F(ProgramBesideServer, ApplyRegistersAndUnregistersAndTheCheckBoxFollows) {
    {
        SettingsProcess run(program);
        ASSERT_TRUE(run.Start());
        EXPECT_EQ(run.Checked(), HandlerRegistered());
        run.SetChecked(true);
        ASSERT_TRUE(run.Checked());
        run.PressApply();
        ASSERT_TRUE(WaitFor([&] { return !run.ApplyEnabled(); }));
        EXPECT_TRUE(HandlerRegistered());
        // Registering says nothing.
        EXPECT_TRUE(FindOwnedDialog(run.Sheet(), ExpectedMessageCaption()) == nullptr);
        // The list went out with the shell's name for the record that had none.
        const std::vector<StoredRecord> stored = ReadStoredList();
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0].itemIdList, ItemIdListBytes(item));
        EXPECT_EQ(stored[0].name, ShellDisplayName(item));
        EXPECT_FALSE(stored[0].name.empty());
    }
    {
        SettingsProcess run(program);
        ASSERT_TRUE(run.Start());
        EXPECT_TRUE(run.Checked());
        run.SetChecked(false);
        run.PressApply();
        HWND box = WaitForMessageBox(run.Id());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), ToWide(ToAnsi(ForRun(L"『Corvina』の登録を解除しました。",
                                                            L"Registration was canceled."))));
        EXPECT_FALSE(HandlerRegistered());
        ASSERT_TRUE(AnswerMessageBox(box));
    }
    {
        SettingsProcess run(program);
        ASSERT_TRUE(run.Start());
        EXPECT_FALSE(run.Checked());
        // Unregistering what is not registered still reports it.
        run.PressApply();
        HWND box = WaitForMessageBox(run.Id());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), ToWide(ToAnsi(ForRun(L"『Corvina』の登録を解除しました。",
                                                            L"Registration was canceled."))));
        ASSERT_TRUE(AnswerMessageBox(box));
    }
}

TEST_F(ProgramBesideServer, WithoutTheServerApplyNamesTheMissingFileAndOkStays) {
    ASSERT_TRUE(DeleteFileA(server.c_str()));
    // A folder of that name is no server either.
    ASSERT_TRUE(CreateDirectoryA(server.c_str(), nullptr));
    const bool registered = HandlerRegistered();
    SettingsProcess run(program);
    ASSERT_TRUE(run.Start());
    run.SetChecked(!registered);
    PostMessageW(run.Sheet(), WM_COMMAND, IDOK, 0);
    HWND box = WaitForMessageBox(run.Id());
    ASSERT_NE(box, nullptr);
    std::wstring expected =
        ToWide(ToAnsi(ForRun(L"『Corvina』の実行に必要なファイルがありません。\n(",
                             L"ERROR : dll file required for a setup is not found.\n(")));
    EXPECT_EQ(MessageBoxText(box), expected + ToWide(server) + L")");
    ASSERT_TRUE(AnswerMessageBox(box));
    // The sheet stays open on the editor, and the registration is untouched.
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(run.Sheet()) != FALSE; }));
    EXPECT_TRUE(IsWindow(run.Sheet()));
    EXPECT_EQ(HandlerRegistered(), registered);
    RemoveDirectoryA(server.c_str());
}

} // namespace
