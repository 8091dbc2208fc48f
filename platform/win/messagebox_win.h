#pragma once
// The message box modal to the whole program, for the message box service and its tests.
#include <windows.h>

namespace platform::win {

// MessageBoxW over owner (none: the box stands alone) with every other visible window of
// this thread disabled while it is up, so that no window of the program takes a click
// until it is answered. Returns MessageBoxW's answer.
int programModalBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags);

} // namespace platform::win
