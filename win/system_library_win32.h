// The system folder, the libraries in it and the functions looked up in them at run time.
#pragma once

#include <windows.h>

#include <string>

#include "win/handles_win32.h"

// The system folder (C:\Windows\System32, or SysWOW64 for a 32-bit program on 64-bit Windows),
// without a trailing backslash; empty when the system does not say.
std::wstring SystemFolder();

// A library of the system folder, loaded by its full path so that a copy beside the program or
// in the current folder is never taken instead. Empty when it cannot be loaded.
UniqueModule LoadSystemLibrary(const wchar_t* fileName);

// A function looked up at run time, cast to its type (a pointer to function, e.g.
// BOOL(WINAPI*)(DWORD)); nullptr when the library is missing or lacks it, as an older Windows
// does.
template <typename FunctionPointer>
FunctionPointer LookUpFunction(HMODULE library, const char* name) {
    return library != nullptr ? reinterpret_cast<FunctionPointer>(
                                    reinterpret_cast<void*>(GetProcAddress(library, name)))
                              : nullptr;
}

// The same in a system library every copy of the program has loaded already (kernel32.dll,
// user32.dll): nothing is loaded by this.
template <typename FunctionPointer>
FunctionPointer LookUpLoadedFunction(const wchar_t* library, const char* name) {
    return LookUpFunction<FunctionPointer>(GetModuleHandleW(library), name);
}

// A function the library exports by number only, as system libraries do for functions they do
// not document; nullptr when it has no such number.
template <typename FunctionPointer>
FunctionPointer LookUpOrdinal(HMODULE library, WORD ordinal) {
    return LookUpFunction<FunctionPointer>(library, MAKEINTRESOURCEA(ordinal));
}
