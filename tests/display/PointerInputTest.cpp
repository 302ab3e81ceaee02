// The pointer and keyboard over a paint box, with focus, pointer and clock driven by hand.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "display/MeasureHooks.h"
#include "display/PointerInput.h"
#include "platform/Clock.h"

namespace {

struct FakeWindow {
  bool focus = true;
  int focusTaken = 0;
  QPoint pointer;
  TPointerInput::TWindow seams() {
    return {[this] { return focus; }, [this] { ++focusTaken, focus = true; },
            [this] { return pointer; }, [this](QPoint p) { pointer = p; }};
  }
};

struct FakeMeasure : IMeasureHooks {
  std::optional<QPointF> answer;
  std::vector<QPointF> clicks;
  int moves = 0;
  int redraws = 0;
  std::optional<QPointF> PointerMoved(Qt::KeyboardModifiers, QPointF) override {
    ++moves;
    return answer;
  }
  void Clicked(int, QPointF p) override { clicks.push_back(p); }
  void RedrawOverlay() override { ++redraws; }
};

class PointerInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_clock::setSource([this] { return now_; });
  }
  void TearDown() override { platform_clock::setSource({}); }

  // A 50 x 40 frame at 200 %.
  TPointerInput::TContext context(bool reticleShown = true) {
    return {TImageMapping::Full(49, 39, {100, 80}), &measure_, true, 7, false, reticleShown};
  }

  std::uint32_t now_ = 1000;
  FakeWindow window_;
  FakeMeasure measure_;
  TPointerInput input_{window_.seams()};
};

TEST_F(PointerInputTest, KeysMoveThePointerInsideThePaintBoxOnly) {
  const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier;
  const struct {
    QPoint from;
    int key;
    Qt::KeyboardModifiers modifiers;
    bool reticleShown;
    bool consumed;
    QPoint to;
  } cases[] = {
      {{50, 40}, Qt::Key_Right, none, false, false, {50, 40}},  // reticle hidden: keys pass
      {{100, 40}, Qt::Key_Left, none, true, false, {100, 40}},  // pointer off the image
      {{50, 40}, Qt::Key_A, none, true, false, {50, 40}},
      {{50, 40}, Qt::Key_Right, none, true, true, {51, 40}},
      {{50, 40}, Qt::Key_Right, shift, true, true, {60, 40}},
      {{95, 40}, Qt::Key_Right, shift, true, true, {99, 40}},  // stops at the right edge
      {{3, 3}, Qt::Key_Up, shift, true, true, {3, 0}},
      {{50, 40}, Qt::Key_Home, none, true, true, {49, 39}},
      {{50, 40}, Qt::Key_PageUp, none, true, true, {51, 39}},
      {{50, 40}, Qt::Key_End, none, true, true, {49, 41}},
      {{50, 40}, Qt::Key_PageDown, shift, true, true, {60, 50}},
      {{0, 79}, Qt::Key_End, shift, true, true, {0, 79}},
  };
  for (const auto& c : cases) {
    window_.pointer = c.from;
    EXPECT_EQ(input_.Key(c.key, c.modifiers, context(c.reticleShown)), c.consumed) << c.key;
    EXPECT_EQ(window_.pointer, c.to) << c.key << " from " << c.from.x() << "," << c.from.y();
  }
  // The reticle follows a keyboard move even where the platform reports no pointer move.
  window_.pointer = {98, 0};
  input_.Key(Qt::Key_Right, none, context());
  EXPECT_FLOAT_EQ(input_.Reticle().x, 49.25f);
  EXPECT_FLOAT_EQ(input_.Reticle().y, 39.25f);
}

TEST_F(PointerInputTest, AMoveWithoutFocusOnlyTakesTheFocus) {
  ASSERT_TRUE(input_.PointerMove({20, 20}, Qt::NoModifier, context()));
  const TImagePoint before = input_.Reticle();
  window_.focus = false;
  EXPECT_FALSE(input_.PointerMove({60, 60}, Qt::NoModifier, context()));
  EXPECT_EQ(window_.focusTaken, 1);
  EXPECT_EQ(measure_.moves, 1);
  EXPECT_EQ(input_.Reticle().x, before.x);
  EXPECT_EQ(input_.Reticle().y, before.y);
  // Enter without focus clicks where the pointer is, not where the last move left the reticle.
  window_.focus = false;
  window_.pointer = {60, 79};
  EXPECT_TRUE(input_.Key(Qt::Key_Enter, Qt::NoModifier, context()));
  EXPECT_EQ(window_.focusTaken, 2);
  ASSERT_EQ(measure_.clicks.size(), 1u);
  EXPECT_FLOAT_EQ(measure_.clicks[0].x(), 29.75f);  // pixel 60's centre at 200 %
  EXPECT_FLOAT_EQ(measure_.clicks[0].y(), -0.25f);  // the bottom row
}

TEST_F(PointerInputTest, SnappingEndsAfterAPauseOfMoreThan200Ms) {
  measure_.answer = QPointF(10, 5);  // shown at paint-box pixel (21, 69)
  const QPoint snapped(21, 69);
  const struct {
    std::uint32_t at;
    QPoint pointer;
    bool snaps;
    int state;
  } steps[] = {
      {1000, {2, 2}, true, 2},    // the first answer after the activation snaps
      {1150, {4, 4}, true, 2},    // 150 ms later: still snapping
      {1160, snapped, false, 2},  // already there: the pointer is left alone
      {1350, {5, 5}, true, 2},    // 200 ms after the last snap is no pause yet
      {1551, {6, 6}, false, 0},   // 201 ms: snapping ends
      {1560, {7, 7}, false, 0},
  };
  input_.Activated();
  for (const auto& s : steps) {
    now_ = s.at;
    window_.pointer = s.pointer;
    input_.PointerMove(s.pointer, Qt::NoModifier, context());
    EXPECT_EQ(window_.pointer, s.snaps ? snapped : s.pointer) << s.at;
    EXPECT_EQ(input_.SnapState(), s.state) << s.at;
  }
  // A click arms it again, and the move that follows the click snaps at once.
  window_.pointer = {8, 8};
  input_.Click({8, 8}, Qt::NoModifier, context());
  EXPECT_EQ(window_.pointer, snapped);
  EXPECT_FLOAT_EQ(input_.Reticle().x, 10.0f);
  // A snap point off the image puts the pointer on the paint box's last pixel, not beyond.
  measure_.answer = QPointF(500, -50);
  input_.Activated();
  input_.PointerMove({8, 8}, Qt::NoModifier, context());
  EXPECT_EQ(window_.pointer, QPoint(99, 79));
}

}  // namespace
