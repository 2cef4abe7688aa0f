#pragma once
// Whether the updater may act on a page: with the makers' key built in, only on a page whose signed
// list verifies and names the page's own version (manifest::TrustPage); without one, on any page. The
// program passes win::TrustUpdatePage, which holds the key.
#include <functional>
#include <string_view>

#include "shared/Manifest.h"

namespace stickwell::updater {

using TrustCheck = std::function<manifest::PageTrust(std::u16string_view page, std::u16string_view pageVersion)>;

}  // namespace stickwell::updater
