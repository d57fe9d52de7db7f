// Waiting for what another thread, process or the message loop does.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Dispatches this thread's pending messages.
void PumpMessages();

enum class Pumping { Messages, None };

// Polls predicate until it holds or timeoutMs pass (generous: the machine may be slow),
// dispatching this thread's messages between polls unless told not to. The last result.
bool WaitFor(const std::function<bool()>& predicate, DWORD timeoutMs = 30000,
             Pumping pumping = Pumping::Messages);
// Pumps messages for about ms.
void PumpFor(DWORD ms);
// Polls for a file, without pumping.
bool WaitForFile(const std::string& path, DWORD timeoutMs = 30000);
