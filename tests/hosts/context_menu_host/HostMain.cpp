// context_menu_host.exe: shows the desktop background's context menu as Explorer would build
// it from the registered handlers, on the (virtual) desktop.
//
//   context_menu_host [--register DLL] [--open-submenu] [--screenshot FILE.bmp]
//
// --register calls DllRegisterServer of DLL first. --open-submenu opens the first entry's
// submenu and highlights its first entry, as a user moving down and right would.
// --screenshot saves the screen as a 24-bit BMP once the menu is shown and then closes the
// menu. Prints the chosen command identifier; exits with 1 when no handler was loaded.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CContextMenuHost.h"

namespace {

struct Options {
    std::string registerPath;
    std::string screenshotPath;
    bool openSubmenu = false;
};

Options g_options;
int g_step = 0;

bool SaveScreenshot(const std::string& path) {
    HDC screen = GetDC(nullptr);
    const int width = GetDeviceCaps(screen, HORZRES);
    const int height = GetDeviceCaps(screen, VERTRES);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as BMP files store it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;
    bool saved = false;
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        saved = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                std::fwrite(bits, imageSize, 1, out) == 1;
        std::fclose(out);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return saved;
}

void PostKey(WPARAM key) {
    HWND menuWindow = FindWindowA("#32768", nullptr);
    HWND target = menuWindow ? menuWindow : GetFocus();
    PostMessageA(target, WM_KEYDOWN, key, 0);
    PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000000u));
}

// Runs inside the menu's own message loop, one step per tick.
void CALLBACK OnTick(HWND, UINT, UINT_PTR timer, DWORD) {
    const int step = g_step++;
    if (g_options.openSubmenu) {
        switch (step) {
        case 0:
            PostKey(VK_DOWN); // the first entry: the handler's submenu
            return;
        case 1:
            PostKey(VK_RIGHT);
            return;
        case 2:
            PostKey(VK_DOWN);
            return;
        default:
            break;
        }
    } else if (step < 2) {
        return;
    }
    if (!g_options.screenshotPath.empty()) {
        std::printf("screenshot %s: %s\n", g_options.screenshotPath.c_str(),
                    SaveScreenshot(g_options.screenshotPath) ? "saved" : "FAILED");
    }
    KillTimer(nullptr, timer);
    EndMenu();
}

bool ParseOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--register" && i + 1 < argc) {
            g_options.registerPath = argv[++i];
        } else if (arg == "--screenshot" && i + 1 < argc) {
            g_options.screenshotPath = argv[++i];
        } else if (arg == "--open-submenu") {
            g_options.openSubmenu = true;
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", arg.c_str());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (!ParseOptions(argc, argv)) {
        return 2;
    }
    OleInitialize(nullptr);
    if (!g_options.registerPath.empty()) {
        HMODULE server = LoadLibraryA(g_options.registerPath.c_str());
        auto reg = server ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
                                GetProcAddress(server, "DllRegisterServer"))
                          : nullptr;
        const HRESULT hr = reg ? reg() : E_FAIL;
        std::printf("DllRegisterServer: 0x%08lX\n", static_cast<unsigned long>(hr));
    }
    int exitCode = 0;
    {
        CContextMenuHost host;
        const size_t loaded = host.LoadRegistered();
        std::printf("handlers loaded: %u\n", static_cast<unsigned>(loaded));
        if (loaded == 0) {
            exitCode = 1;
        } else {
            host.QueryHandlers();
            // Interactive use just shows the menu; scripted use steps through it on a timer.
            if (g_options.openSubmenu || !g_options.screenshotPath.empty()) {
                SetTimer(nullptr, 0, 400, &OnTick);
            }
            const UINT chosen = host.Track(200, 150);
            std::printf("chosen: %u\n", chosen);
            if (chosen >= CContextMenuHost::kFirstHandlerId) {
                host.InvokeId(chosen);
            }
        }
    }
    OleUninitialize();
    return exitCode;
}
