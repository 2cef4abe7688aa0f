#pragma once
// The program folder as the install sees it (shared/Install.h), through Win32. A step refused with an
// error that another program's brief hold explains (HeldFile.h) answers Held, and the install tries it
// again.
#include <windows.h>

#include <optional>
#include <string>

#include "shared/Install.h"

namespace stickwell::win {

class InstallFolder : public install::Folder {
 public:
  // `folder` without a trailing backslash, as ProgramFolder() gives it.
  explicit InstallFolder(std::wstring folder);

  // The path of an install's file in `folder`: every path of the install, its journal's and its lock's
  // among them, is formed here.
  static std::wstring PathIn(const std::wstring& folder, std::u16string_view name);

  std::optional<std::uint64_t> length(std::u16string_view name) override;
  bool sameFile(std::u16string_view a, std::u16string_view b) override;
  Link link(std::u16string_view existing, std::u16string_view newName) override;
  install::Answer copy(std::u16string_view from, std::u16string_view to) override;
  install::Answer move(std::u16string_view from, std::u16string_view to) override;
  install::Answer remove(std::u16string_view name) override;
  install::Answer write(std::u16string_view name, std::string_view bytes) override;
  std::optional<std::string> read(std::u16string_view name) override;
  install::Answer makeReplaceable(std::u16string_view name) override;
  bool isOwnProgram(std::u16string_view name) override;
  void pause() override;

  // A file's identity: its volume and its index on it, the same for every name of one file.
  struct FileId {
    DWORD volume = 0;
    ULONGLONG index = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
  };

 private:
  std::wstring path(std::u16string_view name) const { return PathIn(folder_, name); }
  std::optional<FileId> idOf(const std::wstring& path) const;

  std::wstring folder_;
  std::optional<FileId> ownProgram_;  // this process's executable, taken when the folder is first opened
};

}  // namespace stickwell::win
