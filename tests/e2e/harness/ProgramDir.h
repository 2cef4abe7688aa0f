#pragma once
// A fresh program folder for one test: copies of Stickwell.exe and Renewick.exe in a new temporary
// folder. Every process started from it is ended, and the folder removed, when the test ends.
#include <string>
#include <vector>

#include "harness/Process.h"

namespace e2e {

// The folder that holds the test binary and the programs under test.
const std::wstring& BuildBinFolder();

class ProgramDir {
 public:
  // `programs`: the files copied from the build's bin folder.
  explicit ProgramDir(const std::vector<std::wstring>& programs = {L"Stickwell.exe", L"Renewick.exe"});
  ~ProgramDir();
  ProgramDir(const ProgramDir&) = delete;
  ProgramDir& operator=(const ProgramDir&) = delete;

  // The folder, without a trailing backslash.
  const std::wstring& path() const { return path_; }
  std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }

  Process startNote() const { return StartProgram(file(L"Stickwell.exe")); }
  Process startUpdater() const { return StartProgram(file(L"Renewick.exe")); }

  // Copies a file from the build's bin folder into this folder under `asName`.
  bool copyFromBuild(const std::wstring& buildFile, const std::wstring& asName) const;

  // Names of the files in the folder that match `pattern` (e.g. L"*.txt"), sorted.
  std::vector<std::wstring> files(const std::wstring& pattern = L"*") const;

 private:
  std::wstring path_;
};

}  // namespace e2e
