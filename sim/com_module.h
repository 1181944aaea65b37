// The DLL's module-wide state: its instance handle and the count of live objects and server
// locks that DllCanUnloadNow answers from.
#pragma once

#include <windows.h>

class ComModule {
public:
    static void SetInstance(HINSTANCE instance);
    static HINSTANCE Instance();

    static void Lock();
    static void Unlock();
    static bool CanUnload();
};

// Holds a module lock for the lifetime of one COM object.
class ModuleLock {
public:
    ModuleLock() { ComModule::Lock(); }
    ~ModuleLock() { ComModule::Unlock(); }
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;
};
