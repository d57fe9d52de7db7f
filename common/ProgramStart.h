// Starting another program: the one place that creates a process for the suite's programs
// (and for the browser a hyperlink falls back to).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

struct ProgramStartOptions {
    // The new program's current folder; null gives it the caller's.
    const char* currentFolder = nullptr;
    // Returns only once the program waits for input (65535 ms at most), so that its windows
    // exist when the caller goes on.
    bool waitUntilIdle = true;
    // The system's busy cursor while the program starts; off for the suite's own programs.
    bool busyCursor = false;
};

// Starts programPath with the command line of corvina::BuildStartCommandLine (the path quoted,
// the arguments after it). The new process inherits no handles. False when it could not be
// created.
bool StartProgram(std::string_view programPath, std::string_view arguments,
                  const ProgramStartOptions& options = {});

// The same with a command line that the caller composed whole (a registered open command).
bool StartCommandLine(std::string commandLine, const ProgramStartOptions& options = {});
