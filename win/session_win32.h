// This process's Windows session as the notification of session changes sees it: whether it
// is the one attached to the console, whether it is locked. Every function is looked up at run
// time; where one is missing the answer is the one of a single-user machine (on the console,
// not locked).
#pragma once

#include <windows.h>

// Asks for WM_WTSSESSION_CHANGE of this session at `window`; false where it cannot be had.
bool RegisterSessionNotifications(HWND window);
void UnregisterSessionNotifications(HWND window);

// The session of this process is the active console session.
bool OwnSessionOnConsole();
// The session of this process is locked, where Windows says (Windows 8 and later).
bool OwnSessionLocked();
