#pragma once
// The note window: one note per process. Its state lives in its controls (the title is the
// title label's caption, the body the body box's text); the window adds only the note file's name.
#include <string>
#include <string_view>

#include "note/core/Layout.h"
#include "note/win/Colour.h"
#include "note/win/MenuHost.h"
#include "note/win/NoteControls.h"
#include "note/win/NoteKeys.h"
#include "note/win/NoteStore.h"
#include "note/win/PointerShape.h"
#include "note/win/PushTrigger.h"
#include "note/win/UpdateCheckWindow.h"
#include "note/win/Watcher.h"
#include "shared/win/Label.h"
#include "shared/win/PointerEvent.h"
#include "shared/win/Window.h"

namespace stickwell::note {

class NoteWindow : public win::Window, private win::PointerListener {
 public:
  // Start-up: makes the window at the top left of the screen, lays it out, stamps the start time,
  // writes the text documents, shows the window and claims the note file. What can wait follows once
  // the note takes input (see finishStartup). False when no window could be made.
  bool open(int showCommand);

  // Every message of the program passes here before it is dispatched (keys reach the form before the
  // focused control). True when the message was consumed.
  bool beforeDispatch(MSG& message);

  // The note.
  std::wstring title() const;  // the title label's caption
  void setTitle(std::wstring_view title);
  std::wstring body() const;  // the body box's text
  void setBody(std::wstring_view body);
  std::wstring titleEditorText() const;
  void setTitleEditorText(std::wstring_view text);
  const NoteStore& store() const { return store_; }

  // Writes the title and the body to the note file now (quietly does nothing when it cannot). True
  // when the note file holds them.
  bool saveNote();
  // The same, only when they differ from the last save or the file is no longer as that save left it.
  bool saveNoteIfChanged();
  // Shows the title editor with the text it last held and gives it the keyboard.
  void beginTitleEdit();
  // The title takes the editor's text and the editor hides; nothing is written.
  void commitTitle();
  // "+": starts another note process; this note stays as it is.
  void newNote();
  // "x": deletes this note's file and ends the process at once.
  [[noreturn]] void deleteNote();

  // The popup menu and its host. The note is locked (cannot be dragged or docked) while the menu's
  // lock item reads "解锁"; nothing else records it.
  MenuHost& menu() { return menu_; }
  bool isLocked() const { return menu_.isLocked(); }
  // The menu's 检查更新 and 官方网站.
  void checkForUpdates();
  void openOfficialSite();
  // The pointer shape over every control of the note.
  PointerShape& pointerShape() { return pointerShape_; }

  // The layout pass: places every control for the window's size, keeping the minimum size.
  void applyLayout();
  const NoteGeometry& geometry() const { return geometry_; }

  // The window's place and size in twips (screen pixels at the window's DPI).
  float left() const;
  float top() const;
  float width() const;
  float height() const;
  void moveTo(float left, float top);
  void setWidth(float width);   // runs the layout pass
  void setHeight(float height);  // runs the layout pass
  unsigned dpi() const { return dpi_; }

  // Controls and colours.
  win::Label* label(int id) { return controls_.label(id); }  // the labels and the body frame
  HWND control(int id) const { return controls_.window(id); }
  win::ColourValue backColour() const { return backColour_; }
  void setBackColour(win::ColourValue colour);  // the window's own background
  void setBodyColours(win::ColourValue back, win::ColourValue fore) { setEditColours(controls_.body, controls_.bodyColours, back, fore); }
  void setTitleEditorColours(win::ColourValue back, win::ColourValue fore) {
    setEditColours(controls_.titleEditor, controls_.titleEditorColours, back, fore);
  }
  const EditColours& bodyColours() const { return controls_.bodyColours; }
  const EditColours& titleEditorColours() const { return controls_.titleEditorColours; }
  float bodyFontSize() const { return controls_.bodyPoints(); }
  void setBodyFontSize(float points) { controls_.setBodyPoints(points); }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Pointer over a control (or the bare form, kFormId).
  void onPointer(int controlId, const win::PointerEvent& event) override;
  // Messages of the two text boxes before the boxes see them; true when handled (`result` answers).
  bool onTextBoxMessage(int controlId, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The context-menu key or Shift+F10 in a text box: the note's menu at the caret.
  void showMenuAtCaret(HWND box);
  static LRESULT CALLBACK TextBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR self);

  // The rest of start-up, once the note takes input: clearing away the temporary files that earlier
  // notes left behind (on a worker) and reading the message push's page.
  void finishStartup();
  void onActivate(bool active);
  void onCommand(int controlId, int code);
  void onDpiChanged(unsigned dpi, const RECT& suggested);
  void placeControls();
  void setEditColours(HWND box, EditColours& colours, win::ColourValue back, win::ColourValue fore);

  NoteControls controls_;
  MenuHost menu_{*this};
  NoteKeys keys_{*this};
  PointerShape pointerShape_;
  NoteGeometry geometry_ = CreationGeometry();
  NoteStore store_;
  unsigned dpi_ = 96;
  win::ColourValue backColour_ = kYellow;
  HWND lastFocus_ = nullptr;  // the control that had the keyboard when the window was last deactivated
  bool created_ = false;  // placed by start-up: the sizes the window takes before that need no layout
  bool started_ = false;  // finishStartup has run
  Watcher watcher_{*this};
  // The note writes itself before the update check hands over to the updater and the program ends.
  UpdateCheckWindow updateCheck_{[this] { return saveNote(); }};
  PushTrigger push_;
};

}  // namespace stickwell::note
