#pragma once
// What each program reads from a page, written out for the makers before they publish it.
#include <string>
#include <string_view>

#include "shared/Manifest.h"

namespace stickwell::page {

// One JSON object, one line:
// {"version": S|null, "newer": B|null, "changeLog": S|null, "downloads": [{"entry": S, "name": S|null,
//  "share": S}]|null, "pushSwitch": S|null, "pushOn": B, "pushMessage": S|null, "pushText": S,
//  "signed": {"version": S, "files": [{"name": S, "length": N, "sha256": S}], "signature":
//  "verified"|"bad"|"unchecked", "sameVersion": B, "sameNames": B}|null}
// `check` verifies the signed list's signature; without one the signature is "unchecked".
std::string UpdatePageJson(std::u16string_view page, const manifest::SignatureCheck& check = {});
// The same for a person, with the reason wherever a reading fails.
std::string UpdatePageSummary(std::u16string_view page, const manifest::SignatureCheck& check = {});

// {"direct": S|null}
std::string SharePageJson(std::u16string_view sharePage);
std::string SharePageSummary(std::u16string_view sharePage);

}  // namespace stickwell::page
