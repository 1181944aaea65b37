// After a crash (the camera driver's filter runs inside this process), the program has a new
// copy of itself write a minidump of the crashed one and, unless it crashed too often, carry on
// as the program; see crash_restart.h.
#pragma once

// Installs the unhandled-exception filter. Call first thing in WinMain.
void InstallCrashRestart();

// In a copy started by a crashed one: writes the crashed copy's dump, then waits (at most
// kCrashedCopyWaitMs) for it to end, so that its single-instance mutex is gone. False when this
// copy was started only for the dump and must end now. True at once in any other start.
bool HandleCrashedCopy();
