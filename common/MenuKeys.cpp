#include "common/MenuKeys.h"

#include <vector>

#include "common/ShellMenuItemData.h"
#include "common/WideLabels.h"
#include "common/core/MenuCharMatch.h"
#include "framework/AnsiWide.h"

namespace {

bool IsSystemLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

corvina::MenuKeyCodePage SystemCodePage() {
    switch (GetACP()) {
    case 932:
        return corvina::MenuKeyCodePage::ShiftJis;
    case 1252:
        return corvina::MenuKeyCodePage::Western;
    default:
        return corvina::MenuKeyCodePage::Other;
    }
}

std::u16string FoldWideCharacter(std::u16string_view character) {
    std::wstring folded(AsWide(character));
    if (!folded.empty()) {
        CharUpperBuffW(&folded[0], static_cast<DWORD>(folded.size()));
    }
    return std::u16string(reinterpret_cast<const char16_t*>(folded.data()), folded.size());
}

// The typed character in UTF-16: a Unicode window's unit as it is, an ANSI window's
// code-page character converted.
std::wstring MenuCharWide(WPARAM wParam, bool unicode) {
    const WORD character = LOWORD(wParam);
    if (character == 0) {
        return std::wstring();
    }
    if (unicode) {
        return std::wstring(1, static_cast<wchar_t>(character));
    }
    return AnsiToWide(MenuCharText(wParam, false));
}

using GetGuiThreadInfoFunction = BOOL(WINAPI*)(DWORD, GUITHREADINFO*);

// The WM_MENUCHAR answer for a chooser's verdict.
LRESULT MenuCharResult(const corvina::MenuKeyChoice& choice) {
    switch (choice.action) {
    case corvina::MenuKeyAction::Execute:
        return MAKELRESULT(choice.index, MNC_EXECUTE);
    case corvina::MenuKeyAction::Select:
        return MAKELRESULT(choice.index, MNC_SELECT);
    case corvina::MenuKeyAction::Ignore:
        break;
    }
    return MAKELRESULT(0, MNC_IGNORE);
}

} // namespace

std::string MenuCharText(WPARAM wParam, bool unicode) {
    const WORD character = LOWORD(wParam);
    if (character == 0) {
        return std::string();
    }
    if (unicode) {
        const WCHAR wide = static_cast<WCHAR>(character);
        char bytes[4] = {};
        const int length =
            WideCharToMultiByte(CP_ACP, 0, &wide, 1, bytes, sizeof(bytes), nullptr, nullptr);
        return length > 0 ? std::string(bytes, static_cast<size_t>(length)) : std::string();
    }
    if (character > 0xFF) {
        return std::string{static_cast<char>(HIBYTE(character)),
                           static_cast<char>(LOBYTE(character))};
    }
    return std::string(1, static_cast<char>(character));
}

bool IsMenuOwnerUnicode() {
    // Not on the first Windows 95: asked for by name.
    static const auto getInfo = reinterpret_cast<GetGuiThreadInfoFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "GetGUIThreadInfo")));
    if (getInfo == nullptr) {
        return false;
    }
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return getInfo(GetCurrentThreadId(), &info) && info.hwndMenuOwner != nullptr &&
           IsWindowUnicode(info.hwndMenuOwner);
}

LRESULT AnswerMenuChar(HMENU menu, const std::string& typed, const MenuKeyLabel& labelOf,
                       MenuLabelPrefix prefix) {
    const int count = menu ? GetMenuItemCount(menu) : 0;
    std::vector<corvina::MenuKeyEntry> entries;
    entries.reserve(count > 0 ? static_cast<size_t>(count) : 0);
    int current = -1;
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA | MIIM_FTYPE | MIIM_STATE | MIIM_ID;
        corvina::MenuKeyEntry entry;
        entry.choosable = false;
        if (GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
            if (info.fState & MFS_HILITE) {
                current = position;
            }
            const char* label = (info.fType & MFT_SEPARATOR) ? nullptr : labelOf(info);
            if (label != nullptr) {
                entry.label = label;
                entry.choosable = true;
                entry.ampersandPrefix = prefix == MenuLabelPrefix::Ampersand;
            }
        }
        entries.push_back(entry);
    }
    const corvina::MenuKeyChoice choice = corvina::ChooseMenuEntryByKey(
        entries, typed, current, {IsSystemLeadByte, SystemCodePage()});
    return MenuCharResult(choice);
}

LRESULT AnswerShellMenuChar(HMENU menu, WPARAM wParam, bool unicode,
                            const MenuKeyEntryData& entryOf) {
    if (!UseWideLabels()) {
        return AnswerMenuChar(menu, MenuCharText(wParam, unicode),
                              [&entryOf](const MENUITEMINFOA& item) -> const char* {
                                  const ShellMenuItemData* data = entryOf(item);
                                  return data ? data->GetLabel() : nullptr;
                              });
    }
    const int count = menu ? GetMenuItemCount(menu) : 0;
    // The user's own names are code-page texts: converted here, and kept while matching.
    std::vector<std::wstring> converted(count > 0 ? static_cast<size_t>(count) : 0);
    std::vector<corvina::WideMenuKeyEntry> entries(converted.size());
    int current = -1;
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA | MIIM_FTYPE | MIIM_STATE | MIIM_ID;
        corvina::WideMenuKeyEntry& entry = entries[static_cast<size_t>(position)];
        entry.choosable = false;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
            continue;
        }
        if (info.fState & MFS_HILITE) {
            current = position;
        }
        const ShellMenuItemData* data = (info.fType & MFT_SEPARATOR) ? nullptr : entryOf(info);
        if (data == nullptr) {
            continue;
        }
        const wchar_t* wide = data->GetWideLabel();
        if (wide == nullptr) {
            converted[static_cast<size_t>(position)] = AnsiToWide(data->GetLabel());
            wide = converted[static_cast<size_t>(position)].c_str();
        }
        entry.label = AsUtf16(wide);
        entry.choosable = true;
    }
    const std::wstring typed = MenuCharWide(wParam, unicode);
    const corvina::MenuKeyChoice choice =
        corvina::ChooseWideMenuEntryByKey(entries, AsUtf16(typed), current, FoldWideCharacter);
    return MenuCharResult(choice);
}
