#include "framework/Debug.h"

#include <cstdarg>
#include <cstdio>

bool ReportFailure(HRESULT hr, const char* expression, const char* file, int line) {
    if (FAILED(hr)) {
        DebugTrace("%s(%d): %s failed: 0x%08lX\n", file, line, expression,
                   static_cast<unsigned long>(hr));
        return true;
    }
    return false;
}

void DebugTrace(const char* format, ...) {
#ifdef CORVINA_DEBUG
    char text[1024];
    va_list args;
    va_start(args, format);
    _vsnprintf(text, sizeof(text) - 1, format, args);
    va_end(args);
    text[sizeof(text) - 1] = '\0';
    OutputDebugStringA(text);
#else
    (void)format;
#endif
}
