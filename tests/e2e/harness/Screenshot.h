#pragma once
#include <string>

namespace e2e {

// Saves what the screen shows as <build bin folder>\screenshots\<name>.bmp, for a person to look at
// (the test script turns them into PNG files). Returns the path, or an empty string on failure.
std::wstring SaveScreenshot(const std::wstring& name);

}  // namespace e2e
