#pragma once
// An update as a user runs it: the updater's offer, 更新, and how it ends.
#include "harness/Input.h"
#include "harness/System.h"
#include "harness/Windows.h"
#include "updater/win/ControlIds.h"

namespace e2e {

// Starts the updater, presses 更新 once the offer allows it, and waits for the countdown (true) or the
// failure question (false), which must read as it should and is answered `answer`. The updater has
// ended when this returns.
inline bool RunUpdate(const ProgramDir& dir, int answer = IDNO) {
  namespace ids = stickwell::updater::ids;
  const Process updater = dir.start(L"Renewick.exe");
  HWND offer = WaitForWindow(kFormClass, kUpdaterCaption, updater.id), question = nullptr;
  EXPECT_TRUE(offer && WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(offer, ids::kUpdate)); }) &&
              ClickUntil(CenterOf(WindowRectOf(::GetDlgItem(offer, ids::kUpdate))), [&] { return !::IsWindow(offer); }));
  bool counting = false;
  EXPECT_TRUE(WaitUntil([&] {
    for (HWND shown : Windows(kFormClass, kUpdaterCaption, updater.id))
      counting = counting || TextOf(::GetDlgItem(shown, ids::kStatus)).starts_with(L"更新完成");
    return counting || (question = WaitForWindow(L"#32770", L"提示", updater.id, 0)) != nullptr;
  }, 20000)) << "neither the countdown nor the failure question";
  EXPECT_TRUE(!question || DialogText(question) == L"更新失败，是否去官网下载最新版本");
  if (question) PressDialogButton(question, answer);
  EXPECT_TRUE(updater.waitForExit()) << "the updater did not end";
  return counting;
}

}  // namespace e2e
