// Stored properties (read and write orders, defaults) and the property accessors that
// repaint.
#include <gtest/gtest.h>

#include "saver/controls/command.h"
#include "tests/saver/controls/recording_painter.h"

namespace sorvanta::controls {
namespace {

CaptionFont Ambient() {
  CaptionFont font;
  font.faceName = "Tahoma";
  font.sizePoints = 8;
  font.charset = 0;
  return font;
}

std::vector<std::string> Names(const PropertyBag& bag) {
  std::vector<std::string> names;
  for (const auto& entry : bag.entries())
    names.push_back(entry.first);
  return names;
}

TEST(CommandStoredProperties, ReadOrderAndDefaultsOfAnEmptyBag) {
  RecordingPainter painter;
  Command button(painter);
  const RecordingBag bag;
  button.ReadProperties(bag, Ambient());
  EXPECT_EQ(bag.reads, (std::vector<std::string>{"Enabled", "Caption", "Font", "FirstRun",
                                                 "FontColour", "Visible"}));
  EXPECT_EQ(button.enabledValue(), kTrue);
  EXPECT_EQ(button.Caption(), "Command1");
  EXPECT_EQ(painter.captionText, "Command1");
  EXPECT_TRUE(button.Font() == Ambient()) << "the host's ambient font";
  EXPECT_EQ(button.FirstRun(), 1);
  EXPECT_EQ(button.captionColour(), 0u);
  EXPECT_TRUE(button.faceOpaque());
  EXPECT_EQ(painter.paintedSkins().substr(painter.paintedSkins().rfind(' ') + 1), "Normal")
      << "reading ends with ResetFace";
}

TEST(CommandStoredProperties, WriteOrderWithEveryValueChanged) {
  RecordingPainter painter;
  Command button(painter);
  PropertyBag in;
  in.WriteProperty("FirstRun", std::int32_t{0}, std::int32_t{1});
  button.ReadProperties(in, Ambient());
  button.setCaption("参照");
  CaptionFont bold = Ambient();
  bold.weight = 700;
  button.setFont(bold);
  // Disabled first: with FirstRun 0 an enabled button's ResetFace makes the colour black.
  button.setEnabled(false);
  button.setFontColour(0x0000FF);
  button.setVisible(false);
  PropertyBag out;
  button.WriteProperties(out, Ambient());
  EXPECT_EQ(Names(out), (std::vector<std::string>{"Enabled", "Caption", "FirstRun", "Font",
                                                  "FontColour", "Visible"}));
}

TEST(CommandStoredProperties, DefaultsAreNotWritten) {
  RecordingPainter painter;
  Command button(painter);
  button.ReadProperties(PropertyBag(), Ambient());
  button.setCaption("Command");
  PropertyBag out;
  button.WriteProperties(out, Ambient());
  EXPECT_TRUE(out.entries().empty()) << "first stored: " << Names(out).front();
}

TEST(CommandStoredProperties, CaptionCommandReadsBackAsCommand1) {
  RecordingPainter painter;
  Command writer(painter);
  writer.setCaption("Command");
  PropertyBag bag;
  writer.WriteProperties(bag, Ambient());
  Command reader(painter);
  reader.ReadProperties(bag, Ambient());
  EXPECT_EQ(reader.Caption(), "Command1");
}

TEST(CommandStoredProperties, RoundTripOfChangedValues) {
  RecordingPainter painter;
  Command writer(painter);
  writer.setCaption("参照...");
  writer.setFontColour(0x123456);
  writer.setVisible(false);
  writer.setEnabled(false);
  CaptionFont font = DefaultCaptionFont();
  writer.setFont(font);
  PropertyBag bag;
  writer.WriteProperties(bag, Ambient());

  RecordingPainter readerPainter;
  Command reader(readerPainter);
  reader.ReadProperties(bag, Ambient());
  EXPECT_EQ(reader.Caption(), "参照...");
  EXPECT_EQ(reader.captionColour(), 0x123456u);
  EXPECT_FALSE(reader.faceOpaque());
  EXPECT_FALSE(readerPainter.faceOpaque);
  EXPECT_EQ(reader.enabledValue(), kFalse);
  EXPECT_TRUE(reader.Font() == font);
}

TEST(CommandStoredProperties, ValueOfAnotherTypeFallsBackToDefault) {
  RecordingPainter painter;
  Command button(painter);
  PropertyBag bag;
  bag.WriteProperty("Caption", std::int32_t{5}, std::string());
  button.ReadProperties(bag, Ambient());
  EXPECT_EQ(button.Caption(), "Command1");
}

TEST(CommandFirstRun, ZeroMakesCaptionBlackAndNextEnabledReadSwitchesOn) {
  RecordingPainter painter;
  Command button(painter);
  PropertyBag bag;
  bag.WriteProperty("FirstRun", std::int32_t{0}, std::int32_t{1});
  bag.WriteProperty("FontColour", std::int32_t{0xFF}, std::int32_t{0});
  button.resize(960, 375);
  button.ReadProperties(bag, Ambient());
  EXPECT_EQ(button.captionColour(), 0u) << "ResetFace with FirstRun 0 sets black";
  button.setEnabled(false);
  painter.forget();
  EXPECT_TRUE(button.Enabled()) << "reading Enabled with FirstRun 0 switches it on";
  EXPECT_EQ(button.FirstRun(), 1);
  EXPECT_EQ(button.enabledValue(), kTrue);
  EXPECT_EQ(painter.paintedSkins(), "Normal");
}

struct RepaintCase {
  const char* name;
  bool enabled;
  const char* expected;
};

class CommandEnabledRead : public ::testing::TestWithParam<RepaintCase> {};

TEST_P(CommandEnabledRead, RepaintsTheFace) {
  const RepaintCase& c = GetParam();
  RecordingPainter painter;
  Command button(painter);
  button.resize(960, 375);
  button.Initialize();
  button.focusArrived();
  button.setEnabled(c.enabled);
  painter.forget();
  EXPECT_EQ(button.Enabled(), c.enabled) << c.name;
  EXPECT_EQ(painter.paintedSkins(), c.expected) << c.name;
  EXPECT_EQ(button.ButtonState(), 3) << c.name << ": state kept";
}

INSTANTIATE_TEST_SUITE_P(Reads, CommandEnabledRead,
                         ::testing::Values(RepaintCase{"Enabled", true, "Normal"},
                                           RepaintCase{"Disabled", false, "Disable"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(CommandFontColour, ReadRepaintsEnabledButtonNormalWhateverItsState) {
  RecordingPainter painter;
  Command button(painter);
  button.resize(960, 375);
  button.Initialize();
  button.mouseMove();
  button.setFontColour(0x00FF00);
  painter.forget();
  EXPECT_EQ(button.FontColour(), 0x00FF00u);
  EXPECT_EQ(painter.paintedSkins(), "Normal");
  EXPECT_EQ(button.ButtonState(), 2);
}

TEST(CommandFontColour, ReadOnDisabledButtonDoesNotPaint) {
  RecordingPainter painter;
  Command button(painter);
  button.setEnabled(false);
  painter.forget();
  EXPECT_EQ(button.FontColour(), 0u);
  EXPECT_TRUE(painter.paints.empty());
}

TEST(CommandFontColour, WriteSetsCaptionColourAndRepaints) {
  RecordingPainter painter;
  Command button(painter);
  painter.forget();
  button.setFontColour(0x112233);
  EXPECT_EQ(painter.captionColour, 0x112233u);
  EXPECT_EQ(painter.paintedSkins(), "Normal");
  EXPECT_EQ(painter.propertyChanges, 1);
}

TEST(CommandVisible, ReadWhileTrueRepaintsNormal) {
  RecordingPainter painter;
  Command button(painter);
  button.Initialize();
  button.focusArrived();
  painter.forget();
  EXPECT_TRUE(button.Visible());
  EXPECT_EQ(painter.paintedSkins(), "Normal");
}

TEST(CommandVisible, FalseMakesTheFaceTransparentWithoutPainting) {
  RecordingPainter painter;
  Command button(painter);
  painter.forget();
  button.setVisible(false);
  EXPECT_FALSE(painter.faceOpaque);
  EXPECT_TRUE(painter.paints.empty());
  EXPECT_FALSE(button.Visible());
  EXPECT_TRUE(painter.paints.empty()) << "reading False does not repaint";
  button.setVisible(true);
  EXPECT_TRUE(painter.faceOpaque);
  EXPECT_EQ(painter.paintedSkins(), "Normal");
}

TEST(CommandCaption, WriteMarksChangedAndReachesTheLabel) {
  RecordingPainter painter;
  Command button(painter);
  EXPECT_EQ(painter.propertyChanges, 0);
  button.setCaption("OK");
  EXPECT_EQ(button.Caption(), "OK");
  EXPECT_EQ(painter.captionText, "OK");
  EXPECT_EQ(painter.propertyChanges, 1);
}

TEST(CommandCaptionFont, DefaultIsMsPGothic975ShiftJis) {
  const CaptionFont font = DefaultCaptionFont();
  EXPECT_EQ(font.faceName, "ＭＳ Ｐゴシック");
  EXPECT_DOUBLE_EQ(font.sizePoints, 9.75);
  EXPECT_EQ(font.weight, 400);
  EXPECT_EQ(font.charset, 128);
}

}  // namespace
}  // namespace sorvanta::controls
