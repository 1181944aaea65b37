// Turning an argument vector into one Windows command line that the started program splits
// back into exactly the same arguments. Portable: no Windows headers.
#pragma once

#include <string>
#include <vector>

// Joins `argv` with blanks, quoting each argument the way the Microsoft C runtime and
// CommandLineToArgvW split a command line:
//  - argv[0], the program name, is split by the runtime's own rule (quotes toggle, backslashes
//    are literal): it is put in quotes when empty or when it holds a blank or a tab; a quote
//    character cannot be carried there (nor can a Windows file name hold one), so any is dropped.
//  - every later argument is left as it is unless it is empty or holds a blank, tab, newline,
//    vertical tab or quote; then it is put in quotes, each embedded quote is written as \" and
//    the backslashes before an embedded quote or before the closing quote are doubled.
// An argument ends at its first NUL character, as a C string would.
std::string BuildCommandLine(const std::vector<std::string>& argv);

// The arguments that follow a program name on its command line, quoted as BuildCommandLine
// quotes every argument after argv[0]: what the shell is given apart from the program.
std::string BuildArguments(const std::vector<std::string>& arguments);

// The argument vector a started program receives: its own name, then two empty arguments.
std::vector<std::string> LaunchArguments(const std::string& program);

// BuildCommandLine(LaunchArguments(program)).
std::string BuildLaunchCommandLine(const std::string& program);
