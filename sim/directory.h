// Folder helpers for the files the simulated driver writes (journal, stills).
#pragma once

#include <string>

// The folder part of a file path ("C:\a\b.txt" -> "C:\a"); empty when there is none.
std::wstring ParentDirectory(const std::wstring& path);

// Creates `folder` and any missing parents; true when it exists afterwards.
bool CreateDirectoryTree(const std::wstring& folder);
