#include "note/core/NoteRecord.h"

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
  bytes += EncodeUtf8(record);
  return bytes;
}

std::string EncodeUtf8(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 3);
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t point = text[i];
    if (point >= 0xD800 && point <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      point = 0x10000 + ((point - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (point >= 0xD800 && point <= 0xDFFF) {
      point = 0xFFFD;
    }
    if (point < 0x80) {
      bytes += static_cast<char>(point);
    } else if (point < 0x800) {
      bytes += static_cast<char>(0xC0 | (point >> 6));
      bytes += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
      bytes += static_cast<char>(0xE0 | (point >> 12));
      bytes += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (point & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | (point >> 18));
      bytes += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
      bytes += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (point & 0x3F));
    }
  }
  return bytes;
}

}  // namespace stickwell::note
