#include "tools/PageReport.h"

#include "shared/Manifest.h"
#include "shared/PageMarkers.h"
#include "shared/PagePositions.h"
#include "shared/PushMessage.h"
#include "shared/UpdatePage.h"
#include "tools/Utf8Out.h"

namespace stickwell::page {
namespace {

// What the note's message dialog shows on a connected machine; a message that cannot be read is empty.
std::u16string DialogText(const std::optional<std::u16string>& message) {
  return PushDialogText(true, message.value_or(u""));
}

std::string JsonOrNull(const std::optional<std::u16string>& text) { return text ? JsonString(*text) : "null"; }
std::string JsonBool(bool value) { return value ? "true" : "false"; }

std::string Quoted(std::u16string_view marker) {
  std::string quoted = TextToUtf8(marker);
  quoted.insert(quoted.begin(), '"');
  quoted.push_back('"');
  return quoted;
}

// A field on one line: line breaks and other control characters shown as escapes.
std::string OneLine(std::u16string_view text) {
  std::string out;
  std::size_t plainFrom = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] >= 0x20) continue;
    AppendUtf8(out, text.substr(plainFrom, i - plainFrom));
    AppendJsonEscape(out, text[i]);
    plainFrom = i + 1;
  }
  AppendUtf8(out, text.substr(plainFrom));
  return out;
}

// A multi-line text, each line indented, added to `out`; CR LF and a lone LF both end a line.
void AppendIndented(std::string& out, std::u16string_view text, std::string_view indent) {
  if (text.empty()) {
    out += indent;
    out += "(empty)\n";
    return;
  }
  while (true) {
    const std::size_t end = text.find(u'\n');
    std::u16string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    if (!line.empty()) {
      out += indent;
      out += OneLine(line);
    }
    out += '\n';
    if (end == std::u16string_view::npos) return;
    text.remove_prefix(end + 1);
  }
}

std::string WhyNoChangeLog(std::u16string_view page) {
  const Position start = Find(page, kChangeLogMarker);
  const Position end = Find(page, kDownloadsHeading);
  if (start == 0) return "no " + Quoted(kChangeLogMarker) + " on the page";
  if (end == 0) return "no " + Quoted(kDownloadsHeading) + " on the page to end it";
  if (end < start) return Quoted(kDownloadsHeading) + " stands before " + Quoted(kChangeLogMarker);
  return "nothing after the heading: it needs <p> paragraphs";
}

std::string WhyNoDownloadList(std::u16string_view page) {
  const Position start = Find(page, kDownloadsMarker);
  const Position end = Find(page, kPushMarker);
  if (end == 0) return "no " + Quoted(kPushMarker) + " on the page to end it";
  if (end - start - static_cast<Position>(kDownloadsMarker.size()) < 0) {
    return start == 0 ? "no " + Quoted(kDownloadsMarker) + " on the page"
                      : Quoted(kPushMarker) + " stands before the end of " + Quoted(kDownloadsMarker);
  }
  return "the section is shorter than three characters, or a file's paragraph holds no address between two "
         "double quotes";
}

std::string WhyNoFileName(std::u16string_view entryText) {
  const Position quote = Find(entryText, kQuote);
  if (quote < 3) return "its first double quote stands before the third character";
  const auto name = Cut(entryText, 3, quote - 3).value_or(u"");
  return "the name " + JsonString(name) + " " + Describe(CheckPlainFileName(name));
}

std::string WhyNoPushMessage(std::u16string_view page) {
  if (Find(page, kPushEndMarker) == 0) return "no " + Quoted(kPushEndMarker) + " on the page";
  return Quoted(kPushEndMarker) + " stands before the end of " + Quoted(kPushMarker) + " and its switch";
}

// What a build with a public key makes of the page's signed list.
struct SignedFindings {
  manifest::Manifest list;
  std::optional<bool> verifies;  // nothing when no key was given
  bool sameVersion = false;      // names the version the page announces
  bool sameNames = false;        // names exactly the files of the download list
};

std::optional<SignedFindings> ReadSigned(std::u16string_view page, const std::optional<std::u16string>& version,
                                        const std::optional<std::vector<DownloadEntry>>& downloads,
                                        const manifest::SignatureCheck& check) {
  auto list = manifest::ReadManifest(page);
  if (!list) return std::nullopt;
  SignedFindings findings;
  findings.list = std::move(*list);
  if (check) findings.verifies = check(findings.list.signedPart, findings.list.signature);
  findings.sameVersion = findings.list.version == version;
  std::vector<std::u16string> names;
  for (const DownloadEntry& entry : downloads.value_or(std::vector<DownloadEntry>{})) {
    names.push_back(ReadEntryFileName(entry.entryText).value_or(u""));
  }
  findings.sameNames = downloads && manifest::ListsSameNames(findings.list, names);
  return findings;
}

// Every field read once, for either report.
struct PageReading {
  std::optional<std::u16string> version;
  std::optional<std::u16string> changeLog;
  std::optional<std::vector<DownloadEntry>> downloads;
  std::optional<std::u16string> pushSwitch;
  std::optional<std::u16string> pushMessage;
  std::optional<SignedFindings> signedList;
};

PageReading ReadPage(std::u16string_view page, const manifest::SignatureCheck& check) {
  PageReading reading{ReadPageVersion(page), ReadChangeLog(page), ReadDownloadList(page), ReadPushSwitch(page),
                      ReadPushMessage(page), std::nullopt};
  reading.signedList = ReadSigned(page, reading.version, reading.downloads, check);
  return reading;
}

std::string Hex(const manifest::Sha256Digest& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const std::uint8_t byte : digest) hex += {kDigits[byte >> 4], kDigits[byte & 0x0F]};
  return hex;
}

std::string SignedJson(const std::optional<SignedFindings>& findings) {
  if (!findings) return "null";
  std::string json = "{\"version\": " + JsonString(findings->list.version) + ", \"files\": [";
  for (std::size_t i = 0; i < findings->list.files.size(); ++i) {
    const manifest::FileEntry& file = findings->list.files[i];
    json += (i > 0 ? ", " : "") + std::string("{\"name\": ") + JsonString(file.name) +
            ", \"length\": " + std::to_string(file.length) + ", \"sha256\": \"" + Hex(file.sha256) + "\"}";
  }
  json += "], \"signature\": ";
  json += !findings->verifies ? "\"unchecked\"" : *findings->verifies ? "\"verified\"" : "\"bad\"";
  json += ", \"sameVersion\": " + JsonBool(findings->sameVersion);
  json += ", \"sameNames\": " + JsonBool(findings->sameNames) + "}";
  return json;
}

std::string SignedSummary(std::u16string_view page, const std::optional<SignedFindings>& findings) {
  const std::string refused = ": a build with a public key refuses the page\n";
  if (!findings) {
    const bool marked = page.find(manifest::kMarker) != std::u16string_view::npos;
    return marked ? "Signed list: cannot be read: the paragraph after " + Quoted(kPushEndMarker) +
                        " must be the one stickwell-page sign printed, unchanged" + refused
                  : "Signed list: none after " + Quoted(kPushEndMarker) + refused;
  }
  const manifest::Manifest& list = findings->list;
  std::string out = "Signed list: version " + OneLine(list.version) + ", " + std::to_string(list.files.size()) +
                    (list.files.size() == 1 ? " file\n" : " files\n");
  for (std::size_t i = 0; i < list.files.size(); ++i) {
    out += "  " + std::to_string(i + 1) + ". " + OneLine(list.files[i].name) + ", " +
           std::to_string(list.files[i].length) + (list.files[i].length == 1 ? " byte" : " bytes") + ", SHA-256 " + Hex(list.files[i].sha256) + "\n";
  }
  if (!findings->verifies) {
    out += "  signature: not checked: give --public-key with the build's key\n";
  } else {
    out += *findings->verifies ? "  signature: verifies with the given public key\n"
                               : "  signature: does not verify with the given public key" + refused;
  }
  out += findings->sameVersion ? "  version: the page's own\n" : "  version: not the page's" + refused;
  out += findings->sameNames ? "  files: the download list's\n" : "  files: not the download list's" + refused;
  return out;
}

}  // namespace

std::string UpdatePageJson(std::u16string_view page, const manifest::SignatureCheck& check) {
  const auto [version, changeLog, downloads, pushSwitch, pushMessage, signedList] = ReadPage(page, check);

  std::string json = "{\"version\": " + JsonOrNull(version);
  json += ", \"newer\": " + (version ? JsonBool(IsNewerVersion(*version, OwnVersionText())) : "null");
  json += ", \"changeLog\": " + JsonOrNull(changeLog);
  json += ", \"downloads\": ";
  if (downloads) {
    json += "[";
    for (std::size_t i = 0; i < downloads->size(); ++i) {
      const DownloadEntry& entry = (*downloads)[i];
      if (i > 0) json += ", ";
      json += "{\"entry\": " + JsonString(entry.entryText);
      json += ", \"name\": " + JsonOrNull(ReadEntryFileName(entry.entryText));
      json += ", \"share\": " + JsonString(entry.shareAddress) + "}";
    }
    json += "]";
  } else {
    json += "null";
  }
  json += ", \"pushSwitch\": " + JsonOrNull(pushSwitch);
  json += ", \"pushOn\": " + JsonBool(IsPushOn(pushSwitch));
  json += ", \"pushMessage\": " + JsonOrNull(pushMessage);
  json += ", \"pushText\": " + JsonString(DialogText(pushMessage));
  json += ", \"signed\": " + SignedJson(signedList);
  return json + "}\n";
}

std::string UpdatePageSummary(std::u16string_view page, const manifest::SignatureCheck& check) {
  constexpr std::string_view indent = "    ";
  const std::u16string own = OwnVersionText();
  const auto [version, changeLog, downloads, pushSwitch, pushMessage, signedList] = ReadPage(page, check);
  std::string out;

  if (version) {
    out += "Version: " + OneLine(*version) + "\n";
    out += IsNewerVersion(*version, own)
               ? "  differs from " + TextToUtf8(own) + ": version " + TextToUtf8(own) + " offers the update\n"
               : "  same as " + TextToUtf8(own) + ": version " + TextToUtf8(own) + " offers no update\n";
  } else {
    out += "Version: cannot be read: no " + Quoted(kVersionMarker) + " on the page\n";
  }

  if (changeLog) {
    out += "Change log, as the updater shows it:\n";
    AppendIndented(out, *changeLog, indent);
  } else {
    out += "Change log: cannot be read: " + WhyNoChangeLog(page) + "\n";
  }

  if (downloads) {
    out += "Downloads: " + std::to_string(downloads->size()) + (downloads->size() == 1 ? " file\n" : " files\n");
    if (downloads->empty()) out += "  the updater fails on a list without files\n";
    for (std::size_t i = 0; i < downloads->size(); ++i) {
      const DownloadEntry& entry = (*downloads)[i];
      const auto name = ReadEntryFileName(entry.entryText);
      out += "  " + std::to_string(i + 1) + ". entry: " + OneLine(entry.entryText) + "\n";
      out += "     file:  " + (name ? OneLine(*name) : "cannot be read: " + WhyNoFileName(entry.entryText)) + "\n";
      out += "     share: " + OneLine(entry.shareAddress) + "\n";
    }
  } else {
    out += "Downloads: cannot be read: " + WhyNoDownloadList(page) + "\n";
  }

  if (pushSwitch) {
    out += "Push switch: " + OneLine(*pushSwitch) + (IsPushOn(pushSwitch) ? " (push on)\n" : " (push off)\n");
  } else {
    out += "Push switch: cannot be read: no " + Quoted(kPushMarker) + " on the page (push off)\n";
  }

  if (pushMessage) {
    out += "Push message, as stored: " + OneLine(*pushMessage) + "\n";
  } else {
    out += "Push message: cannot be read: " + WhyNoPushMessage(page) + " (stored empty)\n";
  }
  out += "Push message, as the dialog shows it:\n";
  AppendIndented(out, DialogText(pushMessage), indent);
  out += SignedSummary(page, signedList);
  return out;
}

std::string SharePageJson(std::u16string_view sharePage) {
  return "{\"direct\": " + JsonOrNull(ReadDirectAddress(sharePage)) + "}\n";
}

std::string SharePageSummary(std::u16string_view sharePage) {
  if (const auto direct = ReadDirectAddress(sharePage)) return "Direct address: " + OneLine(*direct) + "\n";
  return "Direct address: cannot be read: the page needs " + Quoted(kShareSaveMarker) +
         ", then href, a double quote and id=\" after it\n";
}

}  // namespace stickwell::page
