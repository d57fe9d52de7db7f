#include "BarPageTestSupport.h"

#include <commctrl.h>

namespace barpage_test {

namespace {

const char kBandClassId[] = "{9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}";

// reg.exe's exit code: 0 when it finds what it was asked for.
bool RegFinds(const std::string& arguments) {
    return RunAndWait("C:\\windows\\system32\\cmd.exe /c C:\\windows\\system32\\reg.exe query " +
                      arguments + " > NUL 2> NUL") == 0;
}

// As the box shows a text that went through the system code page.
std::wstring Shown(const wchar_t* japanese, const wchar_t* english) {
    return ToWide(ToAnsi(ForRun(japanese, english)));
}

} // namespace

bool BarSettingsProcess::TextChecked() const {
    return SendMessageW(GetDlgItem(BarPage(), kShowTextCheckBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void BarSettingsProcess::ClickShowText() {
    SendMessageW(GetDlgItem(BarPage(), kShowTextCheckBox), BM_CLICK, 0, 0);
}

void BarSettingsProcess::Click(int button) {
    PostMessageW(BarPage(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(BarPage(), button)));
}

bool BarSettingsProcess::Settled() const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(Sheet(), WM_NULL, 0, 0, SMTO_NORMAL, 120000, &result) != 0;
}

void ProgramBesideBand::SetUp() {
    program = folder.File("Corvset.exe");
    band = folder.File("CorvinaBar.dll");
    ASSERT_TRUE(CopyFileA(HostPath(CORVSET_EXE).c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(HostPath(CORVINA_BAR_DLL).c_str(), band.c_str(), FALSE));
}

bool BandClassRegistered() {
    return RegFinds(std::string("\"HKEY_CLASSES_ROOT\\CLSID\\") + kBandClassId + "\"");
}

bool BandToolbarListed() {
    return RegFinds(
        std::string("\"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar\" /v ") +
        kBandClassId);
}

ProgramBox WaitForProgramBox(DWORD process, DWORD timeoutMs) {
    ProgramBox box;
    box.window = basicpage_test::WaitForMessageBox(process, timeoutMs);
    if (box.window) {
        box.text = basicpage_test::MessageBoxText(box.window);
        box.asksYesNo = GetDlgItem(box.window, IDYES) && GetDlgItem(box.window, IDNO) &&
                        !GetDlgItem(box.window, IDOK);
    }
    return box;
}

bool ProgramBoxOpen(DWORD process) {
    for (HWND box : settings_test::FindDialogs(settings_test::ExpectedMessageCaption())) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        if (owner == process) {
            return true;
        }
    }
    return false;
}

std::wstring CompletionText(bool withNote) {
    std::wstring text =
        Shown(L"『Corvina Bar』の登録が完了しました。\n\nExplorer、またはInternet "
              L"Explorerを起動して、メニューから[表示]→[ツールバー]→[コルヴィナバー]を選択して"
              L"ください\n",
              L"Registration of Corvina was completed.\n\nPlease perform from the menu of "
              L"Explorer or Internet Explorer.\n[View]->[Toolbar]->[CorvinaBar]");
    if (withNote) {
        text +=
            Shown(L"ご注意：\nメニューに[コルヴィナバー]が表示されない場合は、ExplorerとIntetnet "
                  L"Explorerをすべて終了してください。",
                  L"When there is no menu, please end all Explorer and Internet Explorer.");
    }
    return text;
}

std::wstring QuestionText(bool registering) {
    if (registering) {
        return Shown(L"『Corvina Bar』の設定を有効にするには、起動中のExplorer、およびInternet "
                     L"Explorerを終了する必要があります。\n今すぐ終了しますか?\n\n[はい]を選択し"
                     L"た場合は、起動しているExplorer、およびInternet "
                     L"Explorerをすべて終了します。\n[いいえ]を選択した場合は、終了処理を行いませ"
                     L"ん。",
                     L"In order to register Corvina Bar, it is necessary to end Explorer and "
                     L"Internet Explorer running. Does it end?");
    }
    return Shown(L"『Corvina Bar』の設定を解除にするには、起動中のExplorer、およびInternet "
                 L"Explorerを終了する必要があります。\n今すぐ終了しますか?\n\n[はい]を選択した場"
                 L"合は、起動しているExplorer、およびInternet Explorerをすべて終了します。\n[いい"
                 L"え]を選択した場合は、解除処理を中止します。",
                 L"In order to unregister Corvina Bar, it is necessary to end Explorer and "
                 L"Internet Explorer running. Does it end?");
}

std::wstring UnregisteredText() {
    return Shown(L"『Corvina Bar』の登録を解除しました。", L"Registration was canceled.");
}

std::wstring RegisterFailedText() {
    return Shown(L"『Corvina Bar』の登録に失敗しました。", L"ERROR : Registration goes wrong.");
}

std::wstring UnregisterFailedText() {
    return Shown(L"『Corvina Bar』の登録解除に失敗しました。",
                 L"ERROR : Registration release goes wrong.");
}

std::wstring MissingBandText(const std::string& path) {
    return Shown(L"『Corvina Bar』の実行に必要なファイルがありません。\n(",
                 L"ERROR : dll file required for a setup is not found.\n(") +
           ToWide(path) + L")";
}

} // namespace barpage_test
