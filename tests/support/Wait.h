// Waiting for what another thread, process or the message loop does.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Dispatches this thread's pending messages.
void PumpMessages();

enum class Pumping { Messages, None };

// Polls predicate every intervalMs until it holds or timeoutMs pass (generous: the machine
// may be slow), dispatching this thread's messages before each poll unless told not to.
bool WaitFor(const std::function<bool()>& predicate, DWORD timeoutMs = 30000,
             Pumping pumping = Pumping::Messages, DWORD intervalMs = 10);
// Pumps messages for about ms.
void PumpFor(DWORD ms);
// Polls for a file, without pumping.
bool WaitForFile(const std::string& path, DWORD timeoutMs = 30000);

// Runs a command line and waits for it to end: its exit code, or -1 when it could not be
// started or did not end in time. Wine starts programs of the build host too, but does not
// report their exit codes.
int RunAndWait(const std::string& commandLine, DWORD timeoutMs = 120000, DWORD creationFlags = 0);
// Runs a program of the prefix without a window and waits for it: its exit code (-1 when it
// could not be started), and what it wrote to stdout and stderr in output.
int RunAndCapture(const std::string& commandLine, std::string* output);
