// The band object's decisions that need no Windows call: which host it runs in, whether it
// starts on a new rebar row, what it reports as band information, and how showing and
// closing move the per-host new-row value.
#pragma once

#include <cstdint>
#include <string>

namespace corvina {

// The host program's name as the band stores it: the text after the last backslash of the
// executable's path, exactly as reported (the whole path when it has no backslash).
std::string HostNameFromModulePath(const std::string& modulePath);

// The new-row flag from the per-host value: a value that cannot be read counts as set.
bool NewRowFlagFromStoredValue(bool readable, uint32_t value);

// Band-information mask bits and the one mode flag the band reports (the shell's values).
constexpr uint32_t kBandInfoMinSize = 0x0001;
constexpr uint32_t kBandInfoMaxSize = 0x0002;
constexpr uint32_t kBandInfoIntegral = 0x0004;
constexpr uint32_t kBandInfoActual = 0x0008;
constexpr uint32_t kBandInfoTitle = 0x0010;
constexpr uint32_t kBandInfoModeFlags = 0x0020;
constexpr uint32_t kBandInfoBackgroundColor = 0x0040;
constexpr uint32_t kBandModeVariableHeight = 0x0008;

// Fills only what info.dwMask asks for: minimum (5, h), maximum (-1, h), integral (1, 1),
// actual (0, 0), mode flags variable height alone. The background-colour bit is taken out
// of the mask so that the host paints its own background; the title is never filled, so
// the band shows none. Info is anything laid out with the shell's band-information member
// names (the shell's structure in the band, a stand-in in tests).
template <class Info> void FillBandInfo(Info& info, int barHeight) {
    if (info.dwMask & kBandInfoMinSize) {
        info.ptMinSize.x = 5;
        info.ptMinSize.y = barHeight;
    }
    if (info.dwMask & kBandInfoMaxSize) {
        info.ptMaxSize.x = -1;
        info.ptMaxSize.y = barHeight;
    }
    if (info.dwMask & kBandInfoIntegral) {
        info.ptIntegral.x = 1;
        info.ptIntegral.y = 1;
    }
    if (info.dwMask & kBandInfoActual) {
        info.ptActual.x = 0;
        info.ptActual.y = 0;
    }
    if (info.dwMask & kBandInfoModeFlags) {
        info.dwModeFlags = kBandModeVariableHeight;
    }
    info.dwMask &= ~kBandInfoBackgroundColor;
}

// What one ShowDW call does.
struct ShowStep {
    bool breakRow;    // put RBBS_BREAK on the band's rebar band and store 0 for the host
    bool showWindow;  // show the toolbar window (else hide it, when there is one)
    bool clearNewRow; // forget the new-row flag
};
// show is the host's BOOL as passed: only exactly 1 shows the window.
ShowStep PlanShow(bool newRowFlag, bool hasWindow, int32_t show);

// CloseDW stores 1 for the host only when the window exists and is hidden: the user switched
// the band off, and the host hid it before closing. Closing a visible band (the browser
// window goes) leaves the stored value alone.
bool ClosingStoresNewRow(bool hasWindow, bool visible);

} // namespace corvina
