#pragma once
// Where the note window's controls go for a window size, in twips. The window keeps a mirror of its
// controls' places here; the shell turns them into pixels.

namespace stickwell::note {

struct TwipRect {
  float left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

struct NoteGeometry {
  float width = 0, height = 0;  // the window: it has no frame, so this is also its client area
  TwipRect plusButton;   // "+"
  TwipRect closeButton;  // "x"
  TwipRect title;        // the title
  TwipRect titleEditor;  // the title editor
  TwipRect bodyFrame;    // the body's frame; the body counts from its corner
  TwipRect body;         // the body
  TwipRect grip;         // the resize grip
  TwipRect startTime;    // the start-time strip along the bottom
  TwipRect sideStrip;    // the strip right of the body
  friend bool operator==(const NoteGeometry&, const NoteGeometry&) = default;
};

// The window and its controls as they are created, before start-up places them.
NoteGeometry CreationGeometry();

// The layout pass, run on every change of the window's size. Keeps the window at least 3000 x 3000:
// a smaller width or height is raised to 3000, and a size too small to lay out at all (a control would
// get a negative size: narrower than 665 or lower than 635) returns the window to 3000 x 3000. A size
// change made inside the pass runs a complete nested pass first, as the window would; when the
// outermost pass returns, `geometry.width` and `geometry.height` are the window's new size and every
// control is where the pass puts it for that size. Returns how many passes ran, nested ones included.
int FormResize(NoteGeometry& geometry);

// Start-up's own placement: "+" to the left edge, the title right after it, and a body frame that
// leaves the right strip wholly inside the window.
void PlaceAtStartup(NoteGeometry& geometry);

}  // namespace stickwell::note
