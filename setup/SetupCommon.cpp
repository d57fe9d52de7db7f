#include "setup/SetupCommon.h"

#include "common/ModulePaths.h"
#include "common/WindowMessages.h"
#include "framework/Handles.h"
#include "serversetup/Privileges.h"

const BilingualText kInstallCaption = {L"インストール", "Install"};
const BilingualText kUninstallCaption = {L"アンインストール", "Uninstall"};
const BilingualText kInstallNeedsAdministrator = {
    L"インストールを行うには、管理者権限が必要です。\n管理者としてログオンしてください。",
    "ERROR : Administrators authority is required."};
const BilingualText kUninstallNeedsAdministrator = {
    L"アンインストールを行うには、管理者権限が必要です。\n管理者としてログオンしてください。",
    "ERROR : Administrators authority is required."};

const char kUninstallEntryKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvina";

bool IsSystemLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

namespace {

// The framework's exit command, which the resident program's frame answers by closing.
constexpr WPARAM kResidentExitCommand = 0xE141;

std::string& MessageCaption() {
    static std::string caption;
    return caption;
}

SetupProgram& Program() {
    static SetupProgram program;
    return program;
}

} // namespace

void SetSetupMessageCaption(const BilingualText& caption) {
    MessageCaption() = BuildText(caption);
}

const std::string& GetSetupMessageCaption() {
    return MessageCaption();
}

int SetupMessageBox(HWND owner, const std::string& text, UINT type) {
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
        case MB_YESNO:
        case MB_YESNOCANCEL:
            type |= MB_ICONEXCLAMATION;
            break;
        default:
            break;
        }
    }
    return MessageBoxA(owner, text.c_str(), MessageCaption().c_str(), type);
}

int SetupMessageBox(HWND owner, const BilingualText& text, UINT type) {
    return SetupMessageBox(owner, BuildText(text), type);
}

namespace {

// How long an ended program may take to be gone; its files stay in use until then.
constexpr DWORD kProgramEndTimeoutMs = 15000;

// The process behind a window, opened to wait for its end; empty when it cannot be had.
CHandle OpenWindowProcess(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return CHandle(id != 0 && id != GetCurrentProcessId() ? OpenProcess(SYNCHRONIZE, FALSE, id)
                                                          : nullptr);
}

// Sends the command and waits until the window's process has ended: the sent message only
// says that the program began to close, while its program file is still in use.
void EndProgramOf(HWND window, WPARAM command) {
    const CHandle process = OpenWindowProcess(window);
    SendMessageA(window, WM_COMMAND, command, 0);
    if (process) {
        WaitForSingleObject(process, kProgramEndTimeoutMs);
    }
}

} // namespace

void EndSuitePrograms() {
    // The sheet is made by the wide calls, so its title is asked for in its wide form.
    const wchar_t* sheetTitle =
        IsJapaneseUi() ? kJapaneseSettingsSheetTitle : kEnglishSettingsSheetTitle;
    if (HWND sheet = FindWindowW(L"#32770", sheetTitle)) {
        EndProgramOf(sheet, IDCANCEL);
    }
    if (HWND frame = FindWindowA(nullptr, kResidentFrameTitle)) {
        EndProgramOf(frame, kResidentExitCommand);
    }
}

const SetupProgram& GetSetupProgram() {
    return Program();
}

void InitSetupProgram(HINSTANCE instance) {
    SetupProgram& program = Program();
    program.instance = instance;
    program.folder = GetModuleFolder(instance);
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        program.path.assign(path, length);
    }
    program.administrator = IsAdministrator() != FALSE;
}
