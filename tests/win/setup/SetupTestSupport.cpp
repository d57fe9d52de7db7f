#include "SetupTestSupport.h"

#include <vector>

namespace setup_test {

namespace {

constexpr int kFolderField = 1002;
constexpr int kMessageBoxText = 0xFFFF;

} // namespace

std::wstring InstallCaption() {
    return ForRun(L"インストール", L"Install");
}

std::wstring UninstallCaption() {
    return ForRun(L"アンインストール", L"Uninstall");
}

std::wstring TextOf(HWND window) {
    // Asked of the window itself: for another process's edit control the system's own copy
    // of the text is not the control's.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length)) {
        return std::wstring();
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_NORMAL, 10000, &copied);
    text.resize(static_cast<size_t>(copied));
    return text;
}

void PostClick(HWND dialog, int id) {
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void SetFolderField(HWND dialog, const std::wstring& folder) {
    SendMessageW(GetDlgItem(dialog, kFolderField), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(folder.c_str()));
}

CPackage::CPackage() : m_folder("package") {
    const struct {
        const char* built;
        const char* name;
    } files[] = {
        {CORVSET_EXE, "Corvset.exe"},       {CORVINA_DLL, "Corvina.dll"},
        {CORVINABAR_DLL, "CorvinaBar.dll"}, {CORVINAPLUS_EXE, "CorvinaPlus.exe"},
        {UNINSTALL_EXE, "Uninstall.exe"},
    };
    m_complete = !m_folder.CreateTextFile("Readme.txt").empty();
    for (const auto& file : files) {
        m_complete =
            CopyFileA(HostPath(file.built).c_str(), File(file.name).c_str(), FALSE) && m_complete;
    }
}

namespace {

BOOL CALLBACK FirstLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
    *reinterpret_cast<WORD*>(param) = language;
    return FALSE;
}

} // namespace

bool SetFileVersion(const std::string& program, WORD a, WORD b, WORD c, WORD d) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(program.c_str(), &ignored);
    if (size == 0) {
        return false;
    }
    std::vector<BYTE> info(size);
    if (!GetFileVersionInfoA(program.c_str(), 0, size, info.data())) {
        return false;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
        !fixed) {
        return false;
    }
    fixed->dwFileVersionMS = MAKELONG(b, a);
    fixed->dwFileVersionLS = MAKELONG(d, c);
    // The block's own length: the system's copy may carry more after it.
    const WORD length = *reinterpret_cast<const WORD*>(info.data());
    WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    if (HMODULE image = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        EnumResourceLanguagesA(image, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1), FirstLanguage,
                               reinterpret_cast<LONG_PTR>(&language));
        FreeLibrary(image);
    }
    HANDLE update = BeginUpdateResourceA(program.c_str(), FALSE);
    if (!update) {
        return false;
    }
    const BOOL updated = UpdateResourceA(update, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1),
                                         language, info.data(), length);
    return EndUpdateResourceA(update, !updated) && updated;
}

CSetupProcess::~CSetupProcess() {
    if (m_process.hProcess) {
        if (!WaitForExit(0)) {
            for (HWND dialog : VisibleDialogsOf(m_process.dwProcessId)) {
                PostMessageW(dialog, WM_CLOSE, 0, 0);
            }
            if (!WaitForExit(5000)) {
                TerminateProcess(m_process.hProcess, 1);
                WaitForSingleObject(m_process.hProcess, 10000);
            }
        }
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }
}

bool CSetupProcess::Start(const std::string& program, const std::string& arguments,
                          const std::string& currentFolder) {
    std::string line = "\"" + program + "\" " + arguments;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup,
                          &m_process) != FALSE;
}

bool CSetupProcess::WaitForExit(DWORD timeoutMs) {
    return m_process.hProcess &&
           WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

HWND CSetupProcess::WaitForInstallDialog(DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND dialog : VisibleDialogsOf(m_process.dwProcessId)) {
                if (GetDlgItem(dialog, kFolderField)) {
                    found = dialog;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

HWND CSetupProcess::WaitForMessageBox(DWORD timeoutMs) {
    HWND found = nullptr;
    const std::wstring& caption = m_caption;
    WaitFor(
        [&] {
            for (HWND dialog : VisibleDialogsOf(m_process.dwProcessId)) {
                if (!GetDlgItem(dialog, kFolderField) && TextOf(dialog) == caption) {
                    found = dialog;
                    return true;
                }
            }
            return WaitForExit(0);
        },
        timeoutMs);
    return found;
}

std::wstring CSetupProcess::Answer(int button, DWORD timeoutMs) {
    return Answer([button](const std::wstring&) { return button; }, timeoutMs);
}

std::wstring CSetupProcess::Answer(const std::function<int(const std::wstring&)>& choose,
                                   DWORD timeoutMs) {
    HWND box = WaitForMessageBox(timeoutMs);
    if (!box) {
        return std::wstring();
    }
    const std::wstring text = TextOf(GetDlgItem(box, kMessageBoxText));
    PostClick(box, choose(text));
    // The box must be gone before the next one is looked for.
    WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, timeoutMs);
    return text;
}

} // namespace setup_test
