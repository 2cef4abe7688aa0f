#include <gtest/gtest.h>

#include "tools/PageTool.h"
#include "tools/Utf8Out.h"

namespace stickwell::page {
namespace {

TEST(PageToolOutput, JsonStringsEscapeWhatJsonRequires) {
  const struct {
    std::u16string text;
    std::string json;
  } cases[] = {
      {u"a\"b\\c", "\"a\\\"b\\\\c\""},
      {std::u16string(u"\0\x1F\x7F", 3), "\"\\u0000\\u001f\x7F\""},
      {u"a\xD83D", "\"a\\ud83d\""},  // half of a pair, as a cut can leave it: kept, not replaced
      {u"\U0001F600\r\n", "\"\xF0\x9F\x98\x80\\r\\n\""},  // a whole pair, then escapes after it
  };
  for (const auto& c : cases) EXPECT_EQ(JsonString(c.text), c.json);
}

// What a command line asks for, in short, or "error".
std::string Parsed(std::vector<std::string> arguments) {
  const auto parsed = ParsePageToolArguments(arguments);
  if (std::holds_alternative<std::string>(parsed)) return "error";
  const auto& r = std::get<PageToolRequest>(parsed);
  std::string out = r.command == PageCommand::Report ? "report" : r.command == PageCommand::Keygen ? "keygen" : "sign";
  out += std::string(r.sharePage ? " share" : "") + (r.json ? " json" : "") + (r.publicKey ? " key" : "");
  out += " " + r.file + r.keyFile + (r.version.empty() ? "" : " " + TextToUtf8(r.version));
  for (const std::string& file : r.files) out += " [" + file + "]";
  return out;
}

TEST(PageToolArguments, CommandsOptionsAndFiles) {
  const std::string key = "BIGUG/kzZhmXhTMbI7L7KIcN+idKVSQr8YLRCfHpAIajwIcD4uMLUSPj1PL92Hn10lM88y2oR5Yzblou6pv/F/8=";
  EXPECT_EQ(Parsed({"--json", "--share", "s.html"}), "report share json s.html");
  EXPECT_EQ(Parsed({"-", "--public-key", key}), "report key -");
  EXPECT_EQ(Parsed({"keygen", "my key"}), "keygen my key");
  EXPECT_EQ(Parsed({"sign", "--version", "13.04.21", "--key", "k", "a b.exe", "--", "--c"}), "sign k 13.04.21 [a b.exe] [--c]");
  // Every wrong command line is one stderr line and exit 2: tests/unit/CMakeLists.txt runs those.
  EXPECT_EQ(Parsed({"sign", "--key", "k", "--version", "13.4.21", "a"}), "error");  // not the page's form
}

}  // namespace
}  // namespace stickwell::page
