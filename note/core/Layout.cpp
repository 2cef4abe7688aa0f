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
    g_.label4.left = w - g_.label4.width;
    g_.label4.top = h - g_.label4.height;
    g_.label2.left = w - g_.label2.width;
    if (!size(g_.label3.width, w - g_.label2.width - g_.label1.width)) return false;
    if (!size(g_.label3.height, g_.frame2.top)) return false;
    g_.text2.left = g_.label1.width + 200;
    if (!size(g_.text2.width, w - g_.label2.width - g_.label1.width - 200)) return false;
    g_.frame2.left = 0;
    g_.frame2.top = kHeaderHeight;
    if (!size(g_.frame2.height, h - kHeaderHeight - kStripSize)) return false;
    if (!size(g_.frame2.width, w - 100)) return false;
    g_.text1.left = g_.frame2.left + 100;
    g_.text1.top = 100;
    if (!size(g_.text1.width, g_.frame2.width - 100)) return false;
    if (!size(g_.text1.height, g_.frame2.height)) return false;
    g_.label5.left = 0;
    g_.label5.top = g_.frame2.top + g_.frame2.height;
    if (!size(g_.label5.height, kStripSize)) return false;
    if (!size(g_.label5.width, w - kStripSize)) return false;
    g_.label6.left = g_.frame2.width;
    g_.label6.top = g_.frame2.top;
    if (!size(g_.label6.width, kStripSize)) return false;
    return size(g_.label6.height, g_.frame2.height);
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
  g.label1 = {75, 0, 255, 375};
  g.label2 = {3510, 0, 210, 360};
  g.label3 = {555, 90, 2580, 255};
  g.text2 = {555, 75, 2760, 285};
  g.frame2 = {0, 435, 3615, 3375};
  g.text1 = {135, 120, 3285, 2895};
  g.label4 = {1650, 3495, 375, 330};
  g.label5 = {0, 3825, 3645, 180};
  g.label6 = {3630, 420, 210, 3405};
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
  g.label4 = {w - kStripSize, h - kStripSize, kStripSize, kStripSize};
  g.frame2 = {0, kHeaderHeight, w - kStripSize, h - kHeaderHeight - kStripSize};
  g.text1 = {g.frame2.left + 100, 100, g.frame2.width - 100, g.frame2.height};
  g.label1.left = 0;
  g.label2.left = w - g.label2.width;
  g.label3.left = g.label1.width;
  g.label3.height = g.frame2.top;
  g.label3.width = w - g.label2.width - g.label1.width;
  g.text2.left = g.label1.width + 200;
  g.text2.width = w - g.label2.width - g.label1.width - 200;
  g.label5 = {0, g.frame2.height + g.frame2.top, w - kStripSize, kStripSize};
  g.label6 = {g.frame2.width, g.frame2.top, kStripSize, g.frame2.height};
}

}  // namespace stickwell::note
