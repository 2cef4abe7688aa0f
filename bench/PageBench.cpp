// The page readers over a 1 MiB update page (and a 1 MiB share page), each timed against one
// std::u16string::find pass of a marker over the same page in the same run. The ratios are printed at
// the end: "how many plain searches of the page does this reader cost".
//   cmake --preset bench && cmake --build --preset bench && build/bench/bin/stickwell-page-bench
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "shared/PageMarkers.h"
#include "shared/Text.h"
#include "shared/UpdatePage.h"

namespace {

using namespace stickwell;
using namespace stickwell::page;

constexpr std::size_t kPageBytes = 1 << 20;

// An update page as the blog editor writes it, its three sections each about a quarter of the page and
// the blog's comments filling the rest.
std::string MakeUpdatePageBytes() {
  std::string page =
      "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>Stickwell 便签 Ver13.04.21 发布"
      "</title></head><body><div class=\"entry\"><p><strong>更新日志：</strong></p>";
  const std::size_t quarter = kPageBytes / 4;
  for (int line = 1; page.size() < quarter; ++line) {
    page += "<p><span style=\"color: #ff0000;\">" + std::to_string(line) +
            ".&nbsp;修复了便签停靠在屏幕顶端时无法弹出的问题</span>，<strong>优化</strong>&nbsp;字体颜色</p>";
  }
  page += "<p><strong>更新文件及地址：</strong></p>";
  for (int file = 1; page.size() < 2 * quarter; ++file) {
    page += "<p>" + std::to_string(file % 10) + ".Stickwell" + std::to_string(file) +
            ".exe(<a href=\"http://pan.example.com/share/link?shareid=" + std::to_string(1000 + file) +
            "&amp;uk=42\" target=\"_blank\">点击下载</a>)</p>";
  }
  page += "<p><strong>消息推送：开</strong></p>";
  while (page.size() < 3 * quarter) {
    page += "<p><span style=\"color: #000000;\">新版本 13.04.21 已发布，</span>请在菜单中选择&nbsp;“检查更新”。</p>";
  }
  page += "<p>最新完整版下载：<a href=\"http://pan.example.com/s/1000\" target=\"_blank\">Stickwell.zip</a></p></div>";
  while (page.size() < kPageBytes) {
    page += "<div class=\"comment\"><p>谢谢作者，便签很好用！请问能不能加上同步功能？</p></div>";
  }
  return page;
}

std::string MakeSharePageBytes() {
  std::string page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Stickwell.exe_免费高速下载</title>";
  while (page.size() < kPageBytes / 2) page += "<script>var x = \"分享的文件\"; window.track(x);</script>";
  page += "<a class=\"btn-save\" href=\"javascript:;\">保存至网盘</a><a class=\"btn-download\" href=\" "
          "http://dl.example.com/file/Stickwell.exe?sign=ab12&amp;expires=8h&amp;uk=42 \" id=\"downloadButton\">";
  while (page.size() < kPageBytes) page += "<div class=\"ad\">热门推荐：高速下载器</div>";
  return page;
}

const std::string& UpdatePageBytes() {
  static const std::string bytes = MakeUpdatePageBytes();
  return bytes;
}
const std::u16string& UpdatePage() {
  static const std::u16string page = Utf8ToText(UpdatePageBytes());
  return page;
}
const std::u16string& SharePage() {
  static const std::u16string page = Utf8ToText(MakeSharePageBytes());
  return page;
}

template <typename T>
T Require(std::optional<T> value) {
  if (!value) {
    std::fprintf(stderr, "a reader failed on the benchmark page\n");
    std::abort();
  }
  return std::move(*value);
}

// Everything the two programs read from the update page: the note program the version, the switch and
// the message for its dialog; the updater the version, the change log and the download list with its
// file names.
std::size_t ReadEverything(const std::u16string& page) {
  std::size_t size = Require(ReadPageVersion(page)).size();
  size += Require(ReadChangeLog(page)).size();
  for (const DownloadEntry& entry : Require(ReadDownloadList(page))) {
    size += Require(ReadEntryFileName(entry.entryText)).size() + entry.shareAddress.size();
  }
  size += IsPushOn(ReadPushSwitch(page)) ? 1 : 0;
  size += Require(ParagraphText(Require(ReadPushMessage(page)))).size();
  return size;
}

// The reference: one full pass of a search for a marker the page does not hold.
void FindPass(benchmark::State& state) {
  const std::u16string& page = UpdatePage();
  for (auto _ : state) benchmark::DoNotOptimize(page.find(kShareSaveMarker));
}

void Decode(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Utf8ToText(UpdatePageBytes()));
}

template <typename Reader>
void Measure(benchmark::State& state, const std::u16string& page, Reader reader) {
  for (auto _ : state) benchmark::DoNotOptimize(reader(page));
}

void Version(benchmark::State& s) { Measure(s, UpdatePage(), [](auto& p) { return Require(ReadPageVersion(p)); }); }
void ChangeLog(benchmark::State& s) { Measure(s, UpdatePage(), [](auto& p) { return Require(ReadChangeLog(p)); }); }
void DownloadList(benchmark::State& s) {
  Measure(s, UpdatePage(), [](auto& p) { return Require(ReadDownloadList(p)).size(); });
}
void PushSwitch(benchmark::State& s) { Measure(s, UpdatePage(), [](auto& p) { return IsPushOn(ReadPushSwitch(p)); }); }
void PushMessage(benchmark::State& s) {
  Measure(s, UpdatePage(), [](auto& p) { return Require(ReadPushMessage(p)); });
}
void DirectAddress(benchmark::State& s) {
  Measure(s, SharePage(), [](auto& p) { return Require(ReadDirectAddress(p)); });
}
void AllReaders(benchmark::State& s) { Measure(s, UpdatePage(), ReadEverything); }
void DecodeAndAllReaders(benchmark::State& s) {
  for (auto _ : s) benchmark::DoNotOptimize(ReadEverything(Utf8ToText(UpdatePageBytes())));
}

// The headline figures, robust against a busy machine: each iteration times one find pass and then the
// work, so that both see the same load; the counter is the ratio of the summed times.
template <typename Work>
void AgainstFind(benchmark::State& state, Work work) {
  using Clock = std::chrono::steady_clock;
  const std::u16string& page = UpdatePage();
  Clock::duration find{}, worked{};
  for (auto _ : state) {
    const auto start = Clock::now();
    benchmark::DoNotOptimize(page.find(kShareSaveMarker));
    const auto found = Clock::now();
    benchmark::DoNotOptimize(work());
    worked += Clock::now() - found;
    find += found - start;
  }
  state.counters["x_find"] = static_cast<double>(worked.count()) / static_cast<double>(find.count());
}
void AllReadersVsFind(benchmark::State& s) {
  AgainstFind(s, [] { return ReadEverything(UpdatePage()); });
}
void DecodeAndAllReadersVsFind(benchmark::State& s) {
  AgainstFind(s, [] { return ReadEverything(Utf8ToText(UpdatePageBytes())); });
}

// Prints the usual table, and keeps each benchmark's CPU time (the median when repeated) for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool repeated = run.repetitions > 1;
      if (run.error_occurred) continue;
      if (repeated && !(run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")) continue;
      if (!repeated && run.run_type != Run::RT_Iteration) continue;
      if (!times_.count(run.run_name.function_name)) order_.push_back(run.run_name.function_name);
      times_[run.run_name.function_name] = run.GetAdjustedCPUTime();
      if (const auto ratio = run.counters.find("x_find"); ratio != run.counters.end()) {
        interleaved_[run.run_name.function_name] = ratio->second.value;
      }
    }
  }

  void PrintRatios() const {
    const auto reference = times_.find("FindPass");
    if (reference == times_.end() || reference->second <= 0) return;
    std::printf("\nPage: %zu bytes of UTF-8, %zu UTF-16 units. Time of each against one find pass (%.1f us):\n",
                UpdatePageBytes().size(), UpdatePage().size(), reference->second);
    for (const std::string& name : order_) {
      if (!interleaved_.count(name)) std::printf("  %-26s %9.4f x\n", name.c_str(), times_.at(name) / reference->second);
    }
    std::printf("Timed in turn with a find pass, iteration by iteration:\n");
    for (const auto& [name, ratio] : interleaved_) std::printf("  %-26s %9.4f x\n", name.c_str(), ratio);
  }

 private:
  std::map<std::string, double> times_;
  std::map<std::string, double> interleaved_;
  std::vector<std::string> order_;
};

}  // namespace

BENCHMARK(FindPass)->Unit(benchmark::kMicrosecond);
BENCHMARK(Decode)->Unit(benchmark::kMicrosecond);
BENCHMARK(Version)->Unit(benchmark::kMicrosecond);
BENCHMARK(ChangeLog)->Unit(benchmark::kMicrosecond);
BENCHMARK(DownloadList)->Unit(benchmark::kMicrosecond);
BENCHMARK(PushSwitch)->Unit(benchmark::kMicrosecond);
BENCHMARK(PushMessage)->Unit(benchmark::kMicrosecond);
BENCHMARK(DirectAddress)->Unit(benchmark::kMicrosecond);
BENCHMARK(AllReaders)->Unit(benchmark::kMicrosecond);
BENCHMARK(DecodeAndAllReaders)->Unit(benchmark::kMicrosecond);
BENCHMARK(AllReadersVsFind)->Unit(benchmark::kMicrosecond);
BENCHMARK(DecodeAndAllReadersVsFind)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
