// The button's event table as sequences of events with the expected state, paints and
// clicks.
#include <sstream>

#include <gtest/gtest.h>

#include "saver/controls/command.h"
#include "tests/saver/controls/recording_painter.h"

namespace sorvanta::controls {
namespace {

constexpr int kWidth = 1200;  // 80 x 25 pixels
constexpr int kHeight = 375;

// Runs space-separated events: init focus blur ldown lup rdown rup mdown mup move
// lupoff rupoff (releases away from the button)
// over (tick with the pointer over the button) away (tick with it elsewhere)
// enable disable.
void RunEvents(Command& button, const std::string& events) {
  std::istringstream in(events);
  std::string event;
  while (in >> event) {
    if (event == "init")
      button.Initialize();
    else if (event == "focus")
      button.focusArrived();
    else if (event == "blur")
      button.focusLeft();
    else if (event == "ldown")
      button.mouseDown(MouseButton::Left);
    else if (event == "lup")
      button.mouseUp(MouseButton::Left);
    else if (event == "lupoff")
      button.mouseUp(MouseButton::Left, false);
    else if (event == "rupoff")
      button.mouseUp(MouseButton::Right, false);
    else if (event == "rdown")
      button.mouseDown(MouseButton::Right);
    else if (event == "rup")
      button.mouseUp(MouseButton::Right);
    else if (event == "mdown")
      button.mouseDown(MouseButton::Middle);
    else if (event == "mup")
      button.mouseUp(MouseButton::Middle);
    else if (event == "move")
      button.mouseMove();
    else if (event == "over")
      button.timerTick(true);
    else if (event == "away")
      button.timerTick(false);
    else if (event == "enable")
      button.setEnabled(true);
    else if (event == "disable")
      button.setEnabled(false);
    else
      ADD_FAILURE() << "unknown event " << event;
  }
}

struct SequenceCase {
  const char* name;
  const char* setup;   // events before recording starts
  const char* events;  // recorded events
  int state;
  const char* paints;
  int clicks;
};

class CommandSequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(CommandSequence, EndsInExpectedStateWithExpectedPaintsAndClicks) {
  const SequenceCase& c = GetParam();
  RecordingPainter painter;
  Command button(painter);
  button.resize(kWidth, kHeight);
  RunEvents(button, c.setup);
  painter.forget();
  RunEvents(button, c.events);
  EXPECT_EQ(button.ButtonState(), c.state) << c.name << ": state";
  EXPECT_EQ(painter.paintedSkins(), c.paints) << c.name << ": paints";
  EXPECT_EQ(painter.clicks, c.clicks) << c.name << ": clicks";
}

INSTANTIATE_TEST_SUITE_P(
    EventTable, CommandSequence,
    ::testing::Values(
        SequenceCase{"HoverThenLeave", "init", "move over away away", 1, "HighLight Normal", 0},
        SequenceCase{"SecondMoveDoesNotRepaint", "init", "move move move", 2, "HighLight", 0},
        SequenceCase{"FocusWithoutHover", "init", "focus", 3, "Selected", 0},
        SequenceCase{"FocusDuringHoverShowsPressed", "init move", "focus", 4, "Pressed", 0},
        SequenceCase{"FocusLeavesFromHoverSelect", "init move focus", "blur", 1, "Normal", 0},
        SequenceCase{"FocusLeavesInNormalDoesNothing", "init", "blur", 1, "", 0},
        SequenceCase{"MoveOverFocusedButton", "init focus", "move", 4, "HighLightSelect", 0},
        SequenceCase{"LeaveFocusedHoveredButton", "init focus move", "away", 3, "Selected", 0},
        SequenceCase{"LeftClickOnHoveredUnfocused", "init move", "ldown lup", 2, "Pressed Normal",
                     1},
        SequenceCase{"LeftClickOnHoveredFocused", "init focus move", "ldown lup", 4,
                     "Pressed HighLightSelect", 1},
        SequenceCase{"PressWandersOffFocusedButton", "init focus move", "ldown away lup", 3,
                     "Pressed Selected", 0},
        SequenceCase{"PressWandersOffReleasedBeforeTheTick", "init focus move", "ldown lupoff", 3,
                     "Pressed Selected", 0},
        SequenceCase{"RightReleaseAwayFromUnfocusedRaisesNoClick", "init move", "rdown rupoff", 1,
                     "Normal", 0},
        SequenceCase{"ReleaseAwayInNormalRaisesNoClick", "init", "ldown lupoff", 1, "Pressed", 0},
        SequenceCase{"HeldPressOverSelectedStaysSelected", "init focus move ldown away", "move", 3,
                     "", 0},
        SequenceCase{"ReleaseInState2PaintsNormalButKeepsState", "init move", "lup", 2, "Normal",
                     1},
        SequenceCase{"State2AfterReleaseLeavesNormally", "init move lup", "away", 1, "Normal", 0},
        SequenceCase{"RightReleaseOnHoveredRaisesClick", "init move", "rdown rup", 2, "", 1},
        SequenceCase{"MiddleReleaseOnUnfocusedRaisesClick", "init", "mdown mup", 1, "", 1},
        SequenceCase{"RightReleaseOnHoverSelectRaisesClick", "init focus move", "rdown rup", 4, "",
                     1},
        SequenceCase{"RightReleaseOnSelectedRaisesNoClick", "init focus", "rdown rup", 3, "", 0},
        SequenceCase{"RightButtonLeavesMouseHeldAlone", "init focus move ldown away", "rup move", 3,
                     "", 0},
        SequenceCase{"DisabledIgnoresEverything", "init disable",
                     "focus move ldown lup rdown rup away blur", 1, "", 0},
        SequenceCase{"DisabledKeepsHoverStateOnTick", "init move disable", "away", 2, "", 0},
        SequenceCase{"EnabledAgainKeepsStaleState", "init move disable", "enable away", 1,
                     "Normal Normal", 0},
        SequenceCase{"BeforeInitializeMovesChangeNothing", "", "move move", 0, "", 0},
        SequenceCase{"BeforeInitializeTimerDoesNotRun", "", "move focus away", 3, "Selected", 0},
        SequenceCase{"BeforeInitializeFocusGivesSelected", "", "focus", 3, "Selected", 0},
        SequenceCase{"TickWithPointerOverChangesNothing", "init move", "over over", 2, "", 0}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CommandInitialize, SetsNormalAndStartsTimerWithoutPainting) {
  RecordingPainter painter;
  Command button(painter);
  button.resize(kWidth, kHeight);
  painter.forget();
  EXPECT_EQ(button.ButtonState(), 0);
  EXPECT_FALSE(button.timerRunning());
  button.Initialize();
  EXPECT_EQ(button.ButtonState(), 1);
  EXPECT_TRUE(button.timerRunning());
  EXPECT_EQ(painter.timerInterval, 100);
  EXPECT_TRUE(painter.paints.empty());
}

TEST(CommandMouseHeld, SetByLeftPressClearedByLeftReleaseOnly) {
  RecordingPainter painter;
  Command button(painter);
  RunEvents(button, "init move ldown");
  EXPECT_TRUE(button.MouseHeld());
  RunEvents(button, "rup mup");
  EXPECT_TRUE(button.MouseHeld()) << "right or middle release cleared MouseHeld";
  RunEvents(button, "lup");
  EXPECT_FALSE(button.MouseHeld());
}

TEST(CommandKeyboard, HasNoKeyboardWayToClick) {
  // The control has no key events at all: focus changes are the only keyboard effect.
  RecordingPainter painter;
  Command button(painter);
  RunEvents(button, "init focus blur focus");
  EXPECT_EQ(painter.clicks, 0);
}

struct GradientCase {
  const char* name;
  const char* events;
  bool topDark;  // the last paint's gradient starts lavender-grey at the top
};

class CommandGradient : public ::testing::TestWithParam<GradientCase> {};

TEST_P(CommandGradient, LastPaintRunsInExpectedDirection) {
  const GradientCase& c = GetParam();
  RecordingPainter painter;
  Command button(painter);
  button.resize(kWidth, kHeight);
  RunEvents(button, c.events);
  ASSERT_FALSE(painter.paints.empty()) << c.name;
  const GradientFill& fill = painter.paints.back().gradient;
  const Colour16 light{0xFF00, 0xFF00, 0xFF00};
  const Colour16 dark{0xC600, 0xC500, 0xD700};
  EXPECT_TRUE(fill.top == (c.topDark ? dark : light)) << c.name << ": top colour";
  EXPECT_TRUE(fill.bottom == (c.topDark ? light : dark)) << c.name << ": bottom colour";
}

INSTANTIATE_TEST_SUITE_P(
    Direction, CommandGradient,
    ::testing::Values(GradientCase{"Normal", "init", false},
                      GradientCase{"HighLightReversed", "init move", true},
                      GradientCase{"Selected", "init focus", false},
                      GradientCase{"HighLightSelectAfterSelectedByMove", "init focus move", false},
                      GradientCase{"HighLightSelectAfterFocusDuringHover", "init move focus", true},
                      GradientCase{"PressedInState2KeepsReversed", "init move ldown", true},
                      GradientCase{"ReleaseInState4AfterHoverFocus", "init move focus ldown lup",
                                   true},
                      GradientCase{"BackToNormalAfterLeave", "init move away", false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CommandPaint, RunsItsStepsInOrder) {
  RecordingPainter painter;
  Command button(painter);
  button.resize(kWidth, kHeight);
  ASSERT_EQ(painter.paints.size(), 1u);
  const RecordedPaint& paint = painter.paints.front();
  EXPECT_TRUE(paint.cleared);
  EXPECT_TRUE(paint.gradientDone);
  EXPECT_EQ(paint.skins.size(), 8u);
  EXPECT_EQ(paint.refreshes, 2) << "one refresh after the gradient, one after the pieces";
  EXPECT_EQ(paint.caption, (PixelRect{0, 5, 80, 13}));
}

TEST(CommandEnabled, ShowEnabledStatePaintsDisableWithGreyCaptionKeepingState) {
  RecordingPainter painter;
  Command button(painter);
  button.resize(kWidth, kHeight);
  RunEvents(button, "init focus");
  painter.forget();
  button.setEnabled(false);
  EXPECT_EQ(painter.paintedSkins(), "Disable");
  EXPECT_FALSE(painter.captionEnabled);
  EXPECT_EQ(button.ButtonState(), 3);
  EXPECT_EQ(button.enabledValue(), kFalse);
  button.setEnabled(true);
  EXPECT_TRUE(painter.captionEnabled);
  EXPECT_EQ(button.enabledValue(), kTrue) << "True is stored as -1";
  EXPECT_EQ(painter.propertyChanges, 2) << "both writes mark the properties changed";
}

TEST(CommandEnabled, ResizeRunsShowEnabledState) {
  RecordingPainter painter;
  Command button(painter);
  button.setEnabled(false);
  painter.forget();
  button.resize(kWidth, kHeight);
  EXPECT_EQ(painter.paintedSkins(), "Disable");
}

// At a change of scale the face is painted at its new size with the look it had, where a
// resize would show Normal: a focused button stays Selected, a hovered one keeps its
// reversed gradient, a disabled one stays Disable with its grey caption.
TEST(CommandRescale, RepaintsTheLookItShowedAtTheNewSize) {
  const struct {
    const char* events;
    const char* skin;
    bool reversed;
  } cases[] = {{"init focus", "Selected", false},
               {"init move", "HighLight", true},
               {"init move focus", "Pressed", true},
               {"init disable", "Disable", false}};
  for (const auto& c : cases) {
    RecordingPainter painter;
    Command button(painter);
    button.resize(kWidth, kHeight);
    RunEvents(button, c.events);
    const int state = button.ButtonState();
    const bool captionEnabled = painter.captionEnabled;
    painter.forget();
    button.rescale(kWidth * 3 / 2, kHeight * 3 / 2);
    EXPECT_EQ(painter.paintedSkins(), c.skin) << c.events;
    ASSERT_EQ(painter.paints.size(), 1u) << c.events;
    EXPECT_EQ(painter.paints[0].gradient.y1, 37 - 1) << c.events << ": 375 x 1.5 twips high";
    EXPECT_EQ(painter.paints[0].gradient.top.red == 0xFF00, !c.reversed) << c.events;
    EXPECT_EQ(painter.paints[0].caption, CaptionArea(kWidth * 3 / 2, kHeight * 3 / 2));
    EXPECT_EQ(button.ButtonState(), state) << c.events;
    EXPECT_EQ(painter.captionEnabled, captionEnabled) << c.events;
  }
}

}  // namespace
}  // namespace sorvanta::controls
