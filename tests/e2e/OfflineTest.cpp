// Without a connection (scripts/e2e.sh runs the Offline tests where the machine has loopback only) the
// programs ask the update page nothing and say so; the shared code still reaches loopback, which the
// updater's downloads from a direct address would use.
#include <gtest/gtest.h>

#include <cstdlib>

#include "BuildConfig.h"
#include "harness/Note.h"
#include "harness/Pages.h"
#include "harness/Wait.h"
#include "harness/Windows.h"
#include "shared/win/Connection.h"
#include "shared/win/HttpFetch.h"
#include "shared/win/UpdatePageFetch.h"
#include "updater/win/ControlIds.h"

namespace e2e {

namespace ids = stickwell::updater::ids;

TEST(Offline, NothingIsAskedAndEveryProgramSaysItIsNotConnected) {
  ASSERT_NE(std::getenv("STICKWELL_E2E_OFFLINE"), nullptr) << "run the Offline tests through scripts/e2e.sh";
  TestServer server;
  PageContent page;
  page.pushSwitch = L"开";
  ServeUpdate(server, page);
  EXPECT_FALSE(stickwell::win::IsConnected());
  EXPECT_EQ(stickwell::win::FetchUpdatePage().status, stickwell::win::FetchStatus::NotConnected);
  EXPECT_EQ(stickwell::win::FetchUrl(ServerUrl(UpdatePagePath())).status, stickwell::win::FetchStatus::Ok);

  ProgramDir dir;
  Note note(dir);
  ASSERT_TRUE(note.started());
  const ULONGLONG started = ::GetTickCount64();
  ASSERT_TRUE(note.pick(MenuItem::CheckForUpdates));
  HWND check = WaitForWindow(kFormClass, kCheckCaption, note.id());
  EXPECT_EQ(WatchTexts(FirstChild(check, L"Static"), [] { return false; }),
            (std::vector<std::wstring>{L"正在检查更新...", L"正在检测版本信息...", L"网络连接失败！"}));
  EXPECT_FALSE(::IsWindow(check)) << "the check window did not close by itself";

  const Process updater = dir.start(L"Renewick.exe");
  HWND offer = WaitForWindow(kFormClass, kUpdaterCaption, updater.id);
  EXPECT_TRUE(offer && WaitUntil([&] { return TextOf(::GetDlgItem(offer, ids::kPrompt)) == L"网络连接失败"; }));
  EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kVersion)), L"无法获取版本号");
  EXPECT_EQ(TextOf(::GetDlgItem(offer, ids::kChangeLog)), L"\r\n\r\n无法获取更新内容");
  EXPECT_TRUE(!::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)) && !IsShown(::GetDlgItem(offer, ids::kSiteLink)));

  // The push asked nothing either: no timer, no dialog.
  Pause(static_cast<DWORD>(std::max<LONGLONG>(0, 4 * stickwell::config::kPushIntervalMs - (::GetTickCount64() - started))));
  EXPECT_TRUE(note.pushTicks() == 0 && Windows(L"#32770", nullptr, note.id()).empty());
  EXPECT_EQ(server.requests().size(), 1u) << "only the test's own request reached the server";
}

}  // namespace e2e
