// Where this process looks for DLLs loaded by bare name.
#pragma once

// Limits the search to the system folder. Called first thing: a copy run from a downloads folder
// must not load a planted version.dll or uxtheme.dll that sits beside it, which Windows' own
// libraries would otherwise pick up when they load such a library on demand.
void LimitDllSearchToSystemFolder();
