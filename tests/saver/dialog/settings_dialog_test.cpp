// The settings dialog without its window: the layout at two screen resolutions and its
// changes between four, the hit tests at their edges, the font heights, and the steps of
// the load, a kind's and a file's choice, the save, the cancel and the link, through a
// recording view.
#include "saver/dialog/settings_dialog.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Sorvanta_P {
namespace {

bool operator==(const PixelBox& a, const PixelBox& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(DialogLayout, PlacesAtNinetySixAndOneHundredFortyFourDotsPerInch) {
  const DialogLayout standard(96);
  EXPECT_TRUE(standard.box(kClientPlace) == (PixelBox{0, 0, 494, 246}));
  EXPECT_TRUE(standard.box(kKindLabels[1]) == (PixelBox{44, 56, 87, 69}));
  EXPECT_TRUE(standard.box(kSetPlace) == (PixelBox{316, 200, 397, 225}));
  // At 144 a place's edges are its left and top plus its own rounded size, with halves
  // to even: the 645-twip label is 64 pixels wide, the 195-twip mark 20 high.
  const DialogLayout large(144);
  EXPECT_TRUE(large.box(kClientPlace) == (PixelBox{0, 0, 741, 369}));
  EXPECT_TRUE(large.box(kKindLabels[1]) == (PixelBox{66, 84, 130, 104}));
  EXPECT_TRUE(large.box(kKindMarks[0]) == (PixelBox{42, 114, 62, 134}));
  EXPECT_TRUE(large.kindMarksBox() == (PixelBox{42, 84, 62, 164}));
  EXPECT_EQ(DialogLayout(0).dotsPerInch(), 96) << "a screen that gives none";
}

TEST(DialogLayout, WindowCentredAcrossAndOneThirdDownInPixels) {
  const PixelPoint standard = DialogLayout(96).windowPosition(1024, 768, 500, 275);
  EXPECT_EQ(standard.x, 262);
  EXPECT_EQ(standard.y, 164);
  const PixelPoint large = DialogLayout(144).windowPosition(1536, 1152, 747, 398);
  EXPECT_EQ(large.x, 394);
  EXPECT_EQ(large.y, 251);
}

TEST(DialogLayout, FontHeightsFollowTheScreen) {
  EXPECT_EQ(DialogLayout(96).labelFontHeight(), -13);
  EXPECT_EQ(DialogLayout(96).panelFontHeight(), -11);
  EXPECT_EQ(DialogLayout(144).labelFontHeight(), -20);
  EXPECT_EQ(DialogLayout(144).panelFontHeight(), -17);
}

TEST(DialogHitTests, KindMarksAndLabelsUpToTheirEdges) {
  const DialogLayout layout(96);
  // Kind 1: mark 28..40 and label 44..86 across, 56..68 down; nothing in between.
  EXPECT_EQ(layout.kindAt(28, 56), 1);
  EXPECT_EQ(layout.kindAt(40, 68), 1);
  EXPECT_EQ(layout.kindAt(41, 60), kNoMarkChosen);
  EXPECT_EQ(layout.kindAt(44, 56), 1);
  EXPECT_EQ(layout.kindAt(86, 68), 1);
  EXPECT_EQ(layout.kindAt(87, 60), kNoMarkChosen);
  EXPECT_EQ(layout.kindAt(50, 69), kNoMarkChosen);
  EXPECT_EQ(layout.kindAt(50, 76), 0);
  EXPECT_EQ(layout.kindAt(103, 96), 2);
  EXPECT_EQ(layout.kindAt(104, 96), kNoMarkChosen);
  // The same label at 144 reaches further.
  EXPECT_EQ(DialogLayout(144).kindAt(129, 103), 1);
}

TEST(DialogHitTests, LinkUpToItsEdges) {
  const DialogLayout layout(96);  // 12..230 across, 208..220 down
  EXPECT_TRUE(layout.overLink(12, 208));
  EXPECT_TRUE(layout.overLink(230, 220));
  EXPECT_FALSE(layout.overLink(11, 210));
  EXPECT_FALSE(layout.overLink(231, 210));
  EXPECT_FALSE(layout.overLink(100, 221));
}

class MemoryFiles : public Sorvanta_B::SettingsFiles {
 public:
  ReadStatus read(const std::string& path, std::size_t, std::string& bytes) override {
    const auto found = files.find(path);
    if (found == files.end())
      return ReadStatus::Missing;
    bytes = found->second;
    return ReadStatus::Ok;
  }
  bool write(const std::string& path, const std::string& bytes) override {
    files[path] = bytes;
    if (steps)
      steps->push_back("write");
    return true;
  }
  bool opensForReading(const std::string& path) override { return files.count(path) != 0; }

  std::map<std::string, std::string> files;
  std::vector<std::string>* steps = nullptr;  // where writes are recorded, if anywhere
};

// Records what the dialog asks of its window, one line a step.
class RecordingView : public SettingsDialogView {
 public:
  void showKindControls(const KindControls& c) override {
    steps.push_back("kinds " + std::to_string(c.chosenMark) + (c.repeatEnabled ? " repeat" : "") +
                    (c.fileButtonEnabled ? " file" : ""));
  }
  void fillRepeatCombo(const std::string& text, const std::vector<std::string>& entries) override {
    steps.push_back("combo '" + text + "' " + std::to_string(entries.size()));
  }
  void showFileText(const std::string& text) override { steps.push_back("file " + text); }
  std::string repeatText() override { return comboText; }
  std::optional<std::string> chooseMusicFile(const std::string& folder) override {
    steps.push_back("chooser in " + folder);
    return chosenFile;
  }
  std::optional<PixelPoint> cursorInWindow() override { return cursor; }
  void openWebPage(const std::string& address) override { steps.push_back("open " + address); }
  void requestClose() override { steps.push_back("close"); }

  std::vector<std::string> steps;
  std::string comboText;
  std::optional<std::string> chosenFile;
  std::optional<PixelPoint> cursor;
};

const std::string kFolder = "C:\\Saver";
const std::string kSong = "C:\\music\\song.mp3";

struct DialogSteps : ::testing::Test {
  DialogSteps() { settings = Sorvanta_B::MusicSettings{1, 0, kSong, "C:\\music"}; }
  Sorvanta_B::MusicSettings settings;
  MemoryFiles files;
  RecordingView view;
  SettingsDialog dialog{settings, kFolder, files, view, 96};
};

TEST_F(DialogSteps, LoadShowsKindComboAndFileInThatOrder) {
  dialog.load();
  EXPECT_EQ(view.steps,
            (std::vector<std::string>{"kinds 1 repeat", "combo '' 31", "file " + kSong}));
  EXPECT_EQ(dialog.chosenMark(), 1);
  EXPECT_EQ(dialog.fileText(), kSong);
}

TEST_F(DialogSteps, PressingALabelChoosesItsKindAtOnce) {
  dialog.pressPanel(60, 100);  // the label "MP3、WAV"
  EXPECT_EQ(settings.BgmKind, 2);
  EXPECT_EQ(dialog.chosenMark(), 2);
  dialog.pressPanel(200, 100);  // beside every label
  EXPECT_EQ(view.steps, std::vector<std::string>{"kinds 2 file"});
  EXPECT_TRUE(files.files.empty());
}

TEST_F(DialogSteps, ChosenFileSetsFileAndFolderAtOnce) {
  view.chosenFile = "D:\\songs\\other.wav";
  dialog.chooseFile();
  EXPECT_EQ(view.steps,
            (std::vector<std::string>{"chooser in C:\\music", "file D:\\songs\\other.wav"}));
  EXPECT_EQ(settings.BgmFile, "D:\\songs\\other.wav");
  EXPECT_EQ(settings.BgmFolder, "D:\\songs");
  EXPECT_TRUE(files.files.empty());
}

TEST_F(DialogSteps, CancelledChooserChangesNothing) {
  dialog.chooseFile();
  EXPECT_EQ(view.steps, std::vector<std::string>{"chooser in C:\\music"});
  EXPECT_EQ(settings.BgmFile, kSong);
  EXPECT_EQ(settings.BgmFolder, "C:\\music");
}

TEST_F(DialogSteps, SaveTakesTheComboByTheNumericRuleWritesThenCloses) {
  dialog.pressPanel(60, 100);
  view.comboText = " 2.5 ";
  files.steps = &view.steps;
  dialog.save();
  EXPECT_EQ(settings.BgmRepeat, 2);
  ASSERT_GE(view.steps.size(), 2u);
  EXPECT_EQ(view.steps[view.steps.size() - 2], "write") << "the close comes after the writes";
  EXPECT_EQ(view.steps.back(), "close");
  files.files[kSong] = "RIFF";  // the music file, which the load checks
  Sorvanta_B::MusicSettings stored;
  Sorvanta_B::LoadSettings(stored, kFolder, files);
  EXPECT_EQ(stored.BgmKind, 2);
  EXPECT_EQ(stored.BgmRepeat, 2);
  EXPECT_EQ(stored.BgmFile, kSong);
}

TEST_F(DialogSteps, CancelClosesWithoutWriting) {
  view.comboText = "9";
  dialog.cancel();
  EXPECT_EQ(view.steps, std::vector<std::string>{"close"});
  EXPECT_TRUE(files.files.empty());
  EXPECT_EQ(settings.BgmRepeat, 0);
}

// Every length the dialog takes from its layout, in one list: the boxes of all its
// places, the marks' box, the combo's list, the font heights and the window's place.
std::vector<int> everyLength(const DialogLayout& layout) {
  std::vector<TwipPlace> places{kClientPlace, kPanelPlace,  kCreditPlace,  kLinkPlace,
                                kSetPlace,    kCancelPlace, kHeadingFrame, kHeadingLabel,
                                kRepeatCombo, kRepeatLabel, kFileButton,   kFileLabel};
  places.insert(places.end(), kKindMarks.begin(), kKindMarks.end());
  places.insert(places.end(), kKindLabels.begin(), kKindLabels.end());
  std::vector<PixelBox> boxes{layout.kindMarksBox()};
  for (const TwipPlace& place : places)
    boxes.push_back(layout.box(place));
  const PixelPoint window = layout.windowPosition(1920, 1080, 760, 400);
  std::vector<int> lengths{layout.pixels(kRepeatDropDownTwips), layout.labelFontHeight(),
                           layout.panelFontHeight(), window.x, window.y};
  for (const PixelBox& box : boxes)
    lengths.insert(lengths.end(), {box.left, box.top, box.right, box.bottom});
  return lengths;
}

TEST_F(DialogSteps, AChangeOfScaleLaysOutAfreshWithoutDriftAndKeepsTheState) {
  dialog.load();
  dialog.pressPanel(60, 100);         // "MP3、WAV"
  view.cursor = PixelPoint{20, 210};  // on the link at 96 dpi
  dialog.pressWindow();
  view.steps.clear();
  for (const int dpi : {120, 144, 192, 144, 96, 144, 96}) {
    EXPECT_TRUE(dialog.rescale(dpi)) << dpi;
    EXPECT_EQ(everyLength(dialog.layout()), everyLength(DialogLayout(dpi))) << dpi;
  }
  EXPECT_TRUE(DialogLayout(120).box(kClientPlace) == (PixelBox{0, 0, 618, 308}));
  EXPECT_TRUE(DialogLayout(192).box(kClientPlace) == (PixelBox{0, 0, 988, 492}));
  EXPECT_FALSE(dialog.rescale(96)) << "the same scale";
  EXPECT_FALSE(dialog.rescale(0)) << "no scale";
  EXPECT_EQ(dialog.layout().dotsPerInch(), 96);
  // The choice, the file and the link's press are the dialog's, not the layout's.
  EXPECT_TRUE(view.steps.empty());
  EXPECT_EQ(dialog.chosenMark(), 2);
  EXPECT_EQ(dialog.fileText(), kSong);
  dialog.releaseWindow();
  EXPECT_EQ(view.steps, std::vector<std::string>{std::string("open ") + kWebAddress});
}

TEST_F(DialogSteps, LinkOpensOnlyWhenPressedAndReleasedOnIt) {
  const PixelPoint on{20, 210};
  const PixelPoint off{300, 210};
  const struct {
    std::optional<PixelPoint> press, release;
    bool opens;
  } cases[] = {{on, on, true}, {off, on, false}, {on, off, false}, {on, std::nullopt, false}};
  for (const auto& c : cases) {
    view.steps.clear();
    view.cursor = c.press;
    dialog.pressWindow();
    view.cursor = c.release;
    dialog.releaseWindow();
    EXPECT_EQ(view.steps, c.opens ? std::vector<std::string>{std::string("open ") + kWebAddress}
                                  : std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace Sorvanta_P
