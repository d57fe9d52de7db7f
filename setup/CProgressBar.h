// The progress bar of both dialogs: a window of the program's own that paints itself in place
// of a static control. It draws a sunken frame, the filled part in the highlight colour and
// the position as "%d%%", centred, in the highlight-text colour over the filled part and in
// the highlight colour over the rest, double-buffered.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/CSubclassWnd.h"
#include "setup/core/InstallRules.h"

class CProgressBar {
public:
    CProgressBar();
    CProgressBar(const CProgressBar&) = delete;
    CProgressBar& operator=(const CProgressBar&) = delete;
    ~CProgressBar();

    // Takes over the painting of the static control; false when it cannot.
    bool Attach(HWND control);
    HWND GetHwnd() const;

    void SetRange(int low, int high);
    // Sets the position (clamped) and repaints when it changed.
    void SetPosition(int position);
    int GetPosition() const { return m_position; }
    // Steps one unit at a time from the current position up to position, repainting after
    // each step; a lower position does nothing.
    void AdvanceTo(int position);

    // Showing the bar also paints it at once.
    void Show(bool visible);
    // Paints into dc at the control's client rectangle (also used for tests).
    void Paint(HDC dc);

private:
    class CHook;
    // Paints the control now rather than when the dialog's loop next gets to it: the steps
    // that advance the bar run on the dialog's own thread.
    void Repaint();
    void PaintContents(HDC dc, const RECT& client);

    std::unique_ptr<CHook> m_hook;
    corvina::ProgressRange m_range;
    int m_position = 0;
};
