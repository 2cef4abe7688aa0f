#pragma once
// Control ids of the updater's windows (the end-to-end tests find the controls by them).

namespace stickwell::updater::ids {

// The offer window.
inline constexpr int kPrompt = 1;
inline constexpr int kVersion = 2;
inline constexpr int kChangeLog = 3;
inline constexpr int kUpdate = 4;
inline constexpr int kCancel = 5;
inline constexpr int kSiteLink = 6;
inline constexpr int kProduct = 7;
inline constexpr int kLogo = 8;

// The download window.
inline constexpr int kStatus = 1;
inline constexpr int kProgress = 2;

}  // namespace stickwell::updater::ids
