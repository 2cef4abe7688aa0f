// The updater where an update cannot be made: a page it cannot offer or trust, and every way the
// download can fail. Whatever happens, the folder stays as it was: the old files untouched, no file of
// the update left.
#include <gtest/gtest.h>

#include "harness/Input.h"
#include "harness/Note.h"
#include "harness/Pages.h"
#include "harness/Reader.h"
#include "harness/Update.h"
#include "harness/Wait.h"
#include "harness/Windows.h"
#include "updater/win/ControlIds.h"

namespace e2e {

namespace ids = stickwell::updater::ids;

// A page it cannot offer shows the failed state, whose link line opens the official site on a left click
// only, and nothing is downloaded. 取消, which has the keyboard, ends the updater on Enter, and so does
// Esc. Readers hear the link line as a link.
TEST(UpdaterFaults, APageItCannotOfferShowsTheWayToTheSite) {
  TestServer server;
  ProgramDir dir;
  const std::string build = ServedBuildOf(L"Stickwell.exe");
  const struct { const char* what; Signing signing; int status; } rows[] = {
      {"an error status", {}, 500},
      {"no signed paragraph", {false}, 200},
      {"signed with another key", {true, "other.key"}, 200},
      {"signed for another version", {true, "test.key", L"13.04.22"}, 200},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const PageContent page = ServeUpdate(server, {}, {{L"Stickwell.exe", Response(build)}}, row.signing);
    if (row.status != 200) server.route(UpdatePagePath(), Response::Status(row.status, BuildUpdatePage(page)));
    const Process updater = dir.start(L"Renewick.exe");
    HWND offer = WaitForWindow(kFormClass, kUpdaterCaption, updater.id), link = nullptr;
    ASSERT_TRUE(offer && WaitUntil([&] { return IsShown(link = ::GetDlgItem(offer, ids::kSiteLink)); }));
    EXPECT_TRUE(TextOf(::GetDlgItem(offer, ids::kPrompt)) == L"在线升级失败" && !::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)));
    ClearOpenedPages();
    Click(CenterOf(WindowRectOf(link)), Button::Right);
    EXPECT_TRUE((Pause(300), OpenedPages().empty())) << "a right click opened the site";
    Click(CenterOf(WindowRectOf(link)));
    EXPECT_TRUE(WaitForOpenedPage(UpdatePageAddress()));
    EXPECT_EQ(ReadAsReader(link), (ReaderView{L"点此进入官网下载最新版本。", ROLE_SYSTEM_LINK}));
    ASSERT_TRUE(Activate(offer) && WaitUntil([&] { return FocusIn(offer) == ::GetDlgItem(offer, ids::kCancel); })) << "取消 does not have the keyboard";
    KeyChord({static_cast<WORD>((&row - rows) % 2 ? VK_RETURN : VK_ESCAPE)});
    EXPECT_TRUE(updater.waitForExit()) << "取消 did not end the updater";
    EXPECT_EQ(server.requestsFor("/share/1") + server.requestsFor("/files/Stickwell.exe"), 0u) << "something was downloaded";
  }
}

// Two files, the second of which cannot be installed: the folder stays as it was, byte for byte, with no
// file of the update left, and the failure question follows.
TEST(UpdaterFaults, AFailedUpdateLeavesTheFolderAsItWas) {
  TestServer server;
  ProgramDir dir;
  const std::string note = ServedBuildOf(L"Stickwell.exe"), updater = ServedBuildOf(L"Renewick.exe");
  std::string oneByteOff = updater;
  oneByteOff[oneByteOff.size() / 2] ^= 1;
  const ReleaseFiles release = {{L"Stickwell.exe", note}, {L"Renewick.exe", updater}};
  const auto before = std::make_pair(ReadBytes(dir.file(L"Stickwell.exe")), ReadBytes(dir.file(L"Renewick.exe")));
  // What goes wrong; the second file's response; how the page is signed; the answer to the question.
  const struct { const char* what; Response response; Signing signing; int answer; } rows[] = {
      {"a body cut short", Response(updater, Fault::ShortBody, updater.size() / 2), {true, "test.key", {}, release}, IDNO},
      {"an error status", Response::Status(404, "gone"), {true, "test.key", {}, release}, IDYES},
      {"a stalled transfer", Response(updater, Fault::StallBody, 1000), {true, "test.key", {}, release}, IDNO},
      {"a share page without its link", Response(updater), {}, IDNO},
      {"a download list other than the signed one", Response(updater), {true, "test.key", {}, {release.front()}}, IDNO},
      {"a file one byte off the signed one", Response(oneByteOff), {true, "test.key", {}, release}, IDNO},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    ServeUpdate(server, {}, {{L"Stickwell.exe", Response(note)}, {L"Renewick.exe", row.response}}, row.signing);
    if (row.what == rows[3].what) server.route("/share/2", Response("<html>文件已过期</html>"));
    ClearOpenedPages();
    const size_t shares = server.requestsFor("/share/1");
    EXPECT_FALSE(RunUpdate(dir, row.answer));
    EXPECT_TRUE(std::make_pair(ReadBytes(dir.file(L"Stickwell.exe")), ReadBytes(dir.file(L"Renewick.exe"))) == before) << "a file was touched";
    EXPECT_EQ(UpdateLeftovers(dir), std::vector<std::wstring>{});
    EXPECT_TRUE(row.signing.files.size() != 1 || server.requestsFor("/share/1") == shares) << "a list other than the signed one was fetched";
    EXPECT_TRUE(row.answer == IDYES ? WaitForOpenedPage(UpdatePageAddress()) : OpenedPages().empty());
  }
}

}  // namespace e2e
