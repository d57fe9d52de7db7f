#include "serversetup/ServerMessages.h"

#include "common/UiText.h"
#include "serversetup/core/ServerPaths.h"

namespace {

const BilingualText kMissingExtension = {
    L"『Corvina』の実行に必要なファイルがありません。\n(%s)",
    "ERROR : dll file required for a setup is not found.\n(%s)"};
const BilingualText kMissingBand = {L"『Corvina Bar』の実行に必要なファイルがありません。\n(%s)",
                                    "ERROR : dll file required for a setup is not found.\n(%s)"};

} // namespace

std::string BuildMissingServerText(ServerDll dll, const char* dllPath) {
    const BilingualText& text = dll == ServerDll::Band ? kMissingBand : kMissingExtension;
    return corvina::FillPathPlaceholder(BuildText(text), dllPath ? dllPath : "");
}

int ShowMissingServerMessage(HWND owner, ServerDll dll, const char* dllPath, const char* caption) {
    std::string text;
    try {
        text = BuildMissingServerText(dll, dllPath);
    } catch (...) {
        return 0;
    }
    return MessageBoxA(owner, text.c_str(), caption, MB_OK | MB_ICONEXCLAMATION);
}
