// Starting another program without waiting for it.
#pragma once

#include <windows.h>

// Looks the name up as given, then along PATH (adding ".exe" when it has no extension), and
// starts it with the argument vector {name, "", ""}, quoted so that a path with blanks arrives
// whole. A program that needs an administrator is handed to the shell, which asks the user for
// consent on a thread of its own and puts the found path first in the vector. Returns false when
// nothing was started or asked for.
bool StartProgramNoWait(const wchar_t* name);
