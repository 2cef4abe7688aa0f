#pragma once
// What the offer window shows in each of its states.
#include <string>
#include <string_view>

#include "updater/core/TrustCheck.h"

namespace stickwell::updater {

struct OfferView {
  std::u16string prompt;     // the line above the version
  std::u16string version;    // the version line
  std::u16string changeLog;  // the change-log box
  bool canUpdate = false;    // "确定" enabled
  bool showSiteLink = false; // the line that leads to the official site
  friend bool operator==(const OfferView&, const OfferView&) = default;
};

// While the page is being fetched.
OfferView OpeningView();
// The machine is not connected.
OfferView OfflineView();
// The page could not be fetched or read.
OfferView FailedView();
// The page arrived: the offer, "up to date", or the failed state when the version or the change log
// cannot be read, or the page may not be acted on (`trust`): then nothing is offered.
OfferView ViewForPage(std::u16string_view page, std::u16string_view ownVersion, const TrustCheck& trust);

// How the fetch of the update page ended.
enum class PageFetch { NotConnected, Failed, Arrived };

// The view once the fetch has ended; `page` counts only when it arrived.
OfferView ViewForFetch(PageFetch fetch, std::u16string_view page, std::u16string_view ownVersion,
                       const TrustCheck& trust);

}  // namespace stickwell::updater
