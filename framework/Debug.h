// Debug-only reporting of failures that should not happen. In release builds nothing is
// logged and the macros only evaluate their argument.
#pragma once

#include <windows.h>

// Writes "file(line): expression failed: 0x........" to the debugger output. Debug builds
// only; returns FAILED(hr) so it can stand in an if statement.
bool ReportFailure(HRESULT hr, const char* expression, const char* file, int line);
// printf-style line to the debugger output; nothing in release builds.
void DebugTrace(const char* format, ...);

#ifdef CORVINA_DEBUG
#define FAILED_UNEXPECTEDLY(hr) ReportFailure((hr), #hr, __FILE__, __LINE__)
#define TRACE_DEBUG(...) DebugTrace(__VA_ARGS__)
#else
#define FAILED_UNEXPECTEDLY(hr) FAILED(hr)
#define TRACE_DEBUG(...) ((void)0)
#endif
