#pragma once
#include <string>

namespace stickwell::win {

// Starts an executable in a normal window, with no arguments, without waiting for it. The path may be
// in the "\\?\" form.
bool LaunchProgram(const std::wstring& exePath);

// Opens a web page in the user's browser.
bool OpenWebPage(const std::wstring& address);

// Opens the official site, which is the update page itself.
bool OpenOfficialSite();

}  // namespace stickwell::win
