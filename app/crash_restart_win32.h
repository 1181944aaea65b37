// After a crash (the camera driver's filter runs inside this process), the program writes a
// minidump and starts itself again; see crash_restart.h for how often.
#pragma once

// Installs the unhandled-exception filter. Call first thing in WinMain.
void InstallCrashRestart();

// In a copy started after a crash: waits (at most kCrashedCopyWaitMs) for the crashed copy to
// end, so that its single-instance mutex is gone. Returns at once in any other start.
void WaitForCrashedCopy();
