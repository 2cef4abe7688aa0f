#pragma once
#include <string>

namespace stickwell::note {

// Writes the program's four text documents, carried as resources, into `folder`: the licence and the
// advertisers' terms only when missing (the user may have kept or changed them), the introduction and
// the version history at every start, each replaced whole. A document that cannot be written is
// skipped.
void WriteTextDocuments(const std::wstring& folder);

}  // namespace stickwell::note
