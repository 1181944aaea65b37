// Drives the simulated camera through its control tool, as a person would from a terminal.
#pragma once

#include <string>
#include <vector>

namespace sim {
// Runs camctl.exe with `arguments`; returns its standard output. `ok` receives exit code == 0.
std::string Camctl(const std::string& arguments, bool* ok = nullptr);
void Reset();  // both devices unplugged, default sensor, empty journal, no pending press
std::vector<std::string> Journal();
// Journal lines that start with `prefix`.
std::vector<std::string> JournalLines(const std::string& prefix);
unsigned Status();
}  // namespace sim
