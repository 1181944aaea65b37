// The driver's call journal: one text line per call it receives, appended to the file named by
// SimSettings::JournalPath() and on disk before the call returns, so that a test can follow
// what the program under test asked of its camera while the program runs.
//
// Lines end in "\n" and are one of:
//   get <id>
//   set <id> <w0> <w1> <w2> <w3>        (the block's four words, signed decimal)
//   still <mode>                        (IAMVideoControl::SetMode on the still pin)
//   pages                               (ISpecifyPropertyPages::GetPages)
//   filter-created / filter-released    (the camera filter object's lifetime)
//   plain-created / plain-released      (the plain filter object's lifetime)
#pragma once

#include <windows.h>

#include <string>

class Journal {
public:
    // Appends `line` and a line break. Safe from any thread and any process.
    static void Append(const std::string& line);
    // The whole journal; empty when there is none.
    static std::string Read();
    // Removes the journal file; a missing file counts as cleared. Returns a Win32 error code.
    static LONG Clear();
};
