#include "note/core/NoteRecord.h"

#include "shared/Text.h"

namespace stickwell::note {

std::u16string NoteRecordText(std::u16string_view title, std::u16string_view body) {
  std::u16string record;
  record.reserve(title.size() + body.size() + 12);
  record += u"标题:";
  record += title;
  record += u"\r\n\r\n内容:\r\n";
  record += body;
  record += u"\r\n";
  return record;
}

std::string NoteFileBytes(std::u16string_view record, const AnsiEncoder& ansi) {
  if (std::optional<std::string> bytes = ansi.encode(record)) return std::move(*bytes);
  std::string bytes(kUtf8ByteOrderMark);
  bytes += TextToUtf8(record);  // a lone surrogate becomes U+FFFD
  return bytes;
}

}  // namespace stickwell::note
