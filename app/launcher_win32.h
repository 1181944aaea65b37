// Starting another program without waiting for it.
#pragma once

#include <windows.h>

// Looks the name up as given, then along PATH (adding ".exe" when it has no extension), and
// starts it with the argument vector {name, "", ""}, quoted so that a path with blanks arrives
// whole. Returns false when nothing was started.
bool StartProgramNoWait(const wchar_t* name);
