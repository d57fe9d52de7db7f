// Finding the dialogs and message boxes a program shows, of this process or another, and
// reading and answering them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

std::wstring WindowTextW(HWND window);
std::wstring ClassNameW(HWND window);

// Every top-level window of class "#32770" titled exactly title (any title for nullptr), of
// any process.
std::vector<HWND> FindDialogs(const wchar_t* title);

// A top-level "#32770" window titled title (any title for nullptr) and owned by owner, or
// nullptr.
HWND FindOwnedDialog(HWND owner, const wchar_t* title);

// The visible top-level "#32770" windows of process.
std::vector<HWND> VisibleDialogsOf(DWORD process);

// The direct children of parent whose class is className, in z-order.
std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className);

// The icon of the first visible icon static of a message box, or nullptr.
HICON MessageBoxIcon(HWND box);
// Its text, as the box shows it.
std::wstring MessageBoxText(HWND box);
// Presses the box's only (or first) button and waits for it to go.
bool AnswerMessageBox(HWND box, int button = IDOK);
