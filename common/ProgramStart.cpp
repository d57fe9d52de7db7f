#include "common/ProgramStart.h"

#include "common/core/StartCommandLine.h"
#include "framework/Handles.h"

namespace {

constexpr DWORD kInputIdleTimeoutMs = 65535;

} // namespace

bool StartProgram(std::string_view programPath, std::string_view arguments,
                  const ProgramStartOptions& options) {
    return StartCommandLine(corvina::BuildStartCommandLine(programPath, arguments), options);
}

bool StartCommandLine(std::string commandLine, const ProgramStartOptions& options) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!options.busyCursor) {
        startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
    }
    PROCESS_INFORMATION process{};
    // CreateProcessA may write into the command line: it gets the string's own buffer.
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        options.currentFolder, &startup, &process)) {
        return false;
    }
    const CHandle thread(process.hThread);
    const CHandle processHandle(process.hProcess);
    if (options.waitUntilIdle) {
        WaitForInputIdle(processHandle, kInputIdleTimeoutMs);
    }
    return true;
}
