#pragma once
// The test script puts a stand-in browser on the PATH: every page the programs open is written to a log
// instead (one line per address).
#include <string>
#include <vector>

namespace e2e {

// The addresses opened so far in this run, oldest first.
std::vector<std::string> OpenedPages();
// Forgets what was opened so far.
void ClearOpenedPages();
// Waits until `address` has been opened (after the last clear).
bool WaitForOpenedPage(const std::string& address, unsigned timeoutMs = 10000);

}  // namespace e2e
