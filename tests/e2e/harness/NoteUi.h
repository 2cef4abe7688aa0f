#pragma once
// Looking at a running note: its controls by id, the colours it shows, its files.
#include <windows.h>

#include <string>
#include <vector>

#include "harness/ProgramDir.h"

namespace e2e {

// A child control of the note window by its id (the body is found inside its frame).
HWND NoteControl(HWND note, int id);

// The colour the screen shows at a pixel.
COLORREF ScreenPixel(int x, int y);

// Starts a note from `dir` and waits for its window; nullptr when none appears.
HWND StartNote(const ProgramDir& dir, Process& process);

// The note files in the folder: the text files except the program's four documents.
std::vector<std::wstring> NoteFiles(const ProgramDir& dir);

// The bytes a note file holds for this title and body in the Chinese code page.
std::string GbkRecord(const std::wstring& title, const std::wstring& body);

// A window of the test's own: clicking it takes the focus away from a note, as a user clicking
// another program does.
class FocusSink {
 public:
  FocusSink();
  ~FocusSink();
  FocusSink(const FocusSink&) = delete;
  FocusSink& operator=(const FocusSink&) = delete;

  HWND hwnd() const { return window_; }
  // Clicks the window and waits until it is the active one.
  bool click() const;

 private:
  HWND window_ = nullptr;
};

}  // namespace e2e
