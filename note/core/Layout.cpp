#include "note/core/Layout.h"

namespace stickwell::note {
namespace {

constexpr float kMinimumSide = 3000;
constexpr float kHeaderHeight = 435;  // where the body frame starts
constexpr float kStripSize = 200;     // the bottom strip's height, the grip's room below the frame

// A size change of the window: like the real window, only a change runs a (nested) pass.
class Sizer {
 public:
  explicit Sizer(NoteGeometry& geometry) : g_(geometry) {}

  void setWidth(float width) {
    if (width == g_.width) return;
    g_.width = width;
    pass();
  }
  void setHeight(float height) {
    if (height == g_.height) return;
    g_.height = height;
    pass();
  }

  void pass() {
    ++passes_;
    // Nesting is at most a few levels deep; the bound only keeps controls that no longer fit even the
    // default size from recursing for ever.
    if (++depth_ > kMaximumDepth) {
      --depth_;
      return;
    }
    struct Leave {
      int& depth;
      ~Leave() { --depth; }
    } leave{depth_};
    if (placeControls()) {
      if (g_.width < kMinimumSide) setWidth(kMinimumSide);
      if (g_.height < kMinimumSide) setHeight(kMinimumSide);
      return;
    }
    // A control would have got a negative size: the controls after it keep their old places, and the
    // window goes back to the default size, which always lays out.
    setWidth(kMinimumSide);
    setHeight(kMinimumSide);
    pass();
  }

  int passes() const { return passes_; }

 private:
  // The steps in their order; false at the first size that would be negative.
  bool placeControls() {
    const float w = g_.width;
    const float h = g_.height;
    g_.grip.left = w - g_.grip.width;
    g_.grip.top = h - g_.grip.height;
    g_.closeButton.left = w - g_.closeButton.width;
    if (!size(g_.title.width, w - g_.closeButton.width - g_.plusButton.width)) return false;
    if (!size(g_.title.height, g_.bodyFrame.top)) return false;
    g_.titleEditor.left = g_.plusButton.width + 200;
    if (!size(g_.titleEditor.width, w - g_.closeButton.width - g_.plusButton.width - 200)) return false;
    g_.bodyFrame.left = 0;
    g_.bodyFrame.top = kHeaderHeight;
    if (!size(g_.bodyFrame.height, h - kHeaderHeight - kStripSize)) return false;
    if (!size(g_.bodyFrame.width, w - 100)) return false;
    g_.body.left = g_.bodyFrame.left + 100;
    g_.body.top = 100;
    if (!size(g_.body.width, g_.bodyFrame.width - 100)) return false;
    if (!size(g_.body.height, g_.bodyFrame.height)) return false;
    g_.startTime.left = 0;
    g_.startTime.top = g_.bodyFrame.top + g_.bodyFrame.height;
    if (!size(g_.startTime.height, kStripSize)) return false;
    if (!size(g_.startTime.width, w - kStripSize)) return false;
    g_.sideStrip.left = g_.bodyFrame.width;
    g_.sideStrip.top = g_.bodyFrame.top;
    if (!size(g_.sideStrip.width, kStripSize)) return false;
    return size(g_.sideStrip.height, g_.bodyFrame.height);
  }

  static bool size(float& property, float value) {
    if (value < 0) return false;
    property = value;
    return true;
  }

  static constexpr int kMaximumDepth = 8;
  NoteGeometry& g_;
  int passes_ = 0;
  int depth_ = 0;
};

}  // namespace

NoteGeometry CreationGeometry() {
  NoteGeometry g;
  g.width = 3840;
  g.height = 3990;
  g.plusButton = {75, 0, 255, 375};
  g.closeButton = {3510, 0, 210, 360};
  g.title = {555, 90, 2580, 255};
  g.titleEditor = {555, 75, 2760, 285};
  g.bodyFrame = {0, 435, 3615, 3375};
  g.body = {135, 120, 3285, 2895};
  g.grip = {1650, 3495, 375, 330};
  g.startTime = {0, 3825, 3645, 180};
  g.sideStrip = {3630, 420, 210, 3405};
  return g;
}

int FormResize(NoteGeometry& geometry) {
  Sizer sizer(geometry);
  sizer.pass();
  return sizer.passes();
}

void PlaceAtStartup(NoteGeometry& g) {
  const float w = g.width;
  const float h = g.height;
  g.grip = {w - kStripSize, h - kStripSize, kStripSize, kStripSize};
  g.bodyFrame = {0, kHeaderHeight, w - kStripSize, h - kHeaderHeight - kStripSize};
  g.body = {g.bodyFrame.left + 100, 100, g.bodyFrame.width - 100, g.bodyFrame.height};
  g.plusButton.left = 0;
  g.closeButton.left = w - g.closeButton.width;
  g.title.left = g.plusButton.width;
  g.title.height = g.bodyFrame.top;
  g.title.width = w - g.closeButton.width - g.plusButton.width;
  g.titleEditor.left = g.plusButton.width + 200;
  g.titleEditor.width = w - g.closeButton.width - g.plusButton.width - 200;
  g.startTime = {0, g.bodyFrame.height + g.bodyFrame.top, w - kStripSize, kStripSize};
  g.sideStrip = {g.bodyFrame.width, g.bodyFrame.top, kStripSize, g.bodyFrame.height};
}

}  // namespace stickwell::note
