// The settings dialog apart from its window: every text it shows, its
// layout in twips and that layout's pixels at the window's dots per inch, the font
// heights, the hit tests, and the steps of the load, a kind's choice, a file's choice
// and the save. settings_dialog_win32.cpp creates the windows, paints what this says
// and forwards the messages.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "exchange/window_names.h"
#include "saver/dialog/dialog_rules.h"
#include "saver/settings/settings.h"

namespace Sorvanta_P {

// ---- Texts (UTF-8). ----
inline constexpr const char* kDialogCaption = exchange::kSettingsDialogCaption;
inline constexpr char kCreditLine[] = "© 2026 Sorvanta authors";
inline constexpr char kWebAddress[] = "https://sorvanta.github.io/";
inline constexpr char kHeadingText[] = "BGM";
inline constexpr char kRepeatLabelText[] = "曲目をﾘﾋﾟｰﾄ";
inline constexpr std::array<const char*, kKindCount> kKindTexts{"なし", "音楽CD", "MP3、WAV"};
inline constexpr char kFileButtonCaption[] = "...";
inline constexpr char kSetCaption[] = "設定";
inline constexpr char kCancelCaption[] = "ｷｬﾝｾﾙ";
inline constexpr char kChooserTitle[] = "ﾌｧｲﾙを開く";
// The chooser's filter: its description and its patterns, each ended by a NUL; the
// array's own closing NUL ends the list.
inline constexpr char kChooserFilter[] = "BGMﾌｧｲﾙ (MP3 WAV)\0*.MP3;*.WAV\0";
// The longest path, in characters, the chooser may return.
inline constexpr std::size_t kChooserPathLimit = 255;

// ---- Fonts. ----
inline constexpr char kLabelFace[] = "ＭＳ Ｐゴシック";  // labels, credit line and link
inline constexpr double kLabelPoints = 9.75;
inline constexpr char kPanelFace[] = "Tahoma";  // the panel's own controls (the combo)
inline constexpr double kPanelPoints = 8.25;

// ---- Layout in twips: left, top, width, height. ----
struct TwipPlace {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// On the window.
inline constexpr TwipPlace kClientPlace{0, 0, 7410, 3690};
inline constexpr TwipPlace kPanelPlace{180, 240, 7035, 2475};
inline constexpr TwipPlace kCreditPlace{180, 2880, 2475, 195};
inline constexpr TwipPlace kLinkPlace{180, 3120, 3285, 195};
inline constexpr TwipPlace kSetPlace{4740, 3000, 1215, 375};
inline constexpr TwipPlace kCancelPlace{6000, 3000, 1215, 375};
// On the panel.
inline constexpr TwipPlace kHeadingFrame{300, 300, 1695, 315};
inline constexpr TwipPlace kHeadingLabel{300, 360, 1665, 195};
inline constexpr TwipPlace kRepeatCombo{1680, 780, 615, 300};
inline constexpr int kRepeatDropDownTwips = 3000;  // the combo's height with its list down
inline constexpr TwipPlace kRepeatLabel{2340, 840, 990, 195};
inline constexpr TwipPlace kFileButton{1680, 1380, 615, 315};
inline constexpr TwipPlace kFileLabel{660, 1740, 6135, 495};
// Mark and label of each kind, by kind; on screen the kinds run 1, 0, 2 downwards.
inline constexpr std::array<TwipPlace, kKindCount> kKindMarks{
    TwipPlace{420, 1140, 195, 195}, TwipPlace{420, 840, 195, 195}, TwipPlace{420, 1440, 195, 195}};
inline constexpr std::array<TwipPlace, kKindCount> kKindLabels{
    TwipPlace{660, 1140, 330, 195}, TwipPlace{660, 840, 645, 195}, TwipPlace{660, 1440, 900, 195}};

// A rectangle in pixels; right and bottom are outside it.
struct PixelBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// The layout in pixels at one dots per inch (96 when none is given).
class DialogLayout {
 public:
  explicit DialogLayout(int dotsPerInch);

  int dotsPerInch() const { return dotsPerInch_; }
  int pixels(int twips) const;
  PixelBox box(const TwipPlace& place) const;
  // The smallest box holding the three kind marks: what a kind's choice repaints.
  PixelBox kindMarksBox() const;
  // The kind whose mark or label lies under a point of the panel, or kNoMarkChosen.
  int kindAt(int x, int y) const;
  // True when a point of the window's client area is on the link.
  bool overLink(int x, int y) const;
  // The window's top-left corner for a screen and an outer window size, all in pixels.
  PixelPoint windowPosition(int screenWidth, int screenHeight, int windowWidth,
                            int windowHeight) const;
  // Character heights, as negative font heights.
  int labelFontHeight() const;
  int panelFontHeight() const;

 private:
  int dotsPerInch_;
};

// What the dialog's steps need of its window and of the platform.
class SettingsDialogView {
 public:
  virtual ~SettingsDialogView() = default;
  // Enables the repeat combo and the file button as given and repaints the marks.
  virtual void showKindControls(const KindControls& controls) = 0;
  // Sets the combo's text, then adds the list entries in order.
  virtual void fillRepeatCombo(const std::string& text,
                               const std::vector<std::string>& entries) = 0;
  virtual void showFileText(const std::string& text) = 0;
  virtual std::string repeatText() = 0;
  // Asks for a music file, opening in the given folder; nothing when cancelled.
  virtual std::optional<std::string> chooseMusicFile(const std::string& initialFolder) = 0;
  // The mouse pointer's place in the window's client area; nothing when unknown.
  virtual std::optional<PixelPoint> cursorInWindow() = 0;
  virtual void openWebPage(const std::string& address) = 0;
  // Closes the dialog once the current message has been handled.
  virtual void requestClose() = 0;
};

// The dialog's state and steps. A chosen kind, file and folder reach the settings at
// once; the repeat value only on "設定", which also writes the settings file.
class SettingsDialog {
 public:
  SettingsDialog(Sorvanta_B::MusicSettings& settings, std::string programFolder,
                 Sorvanta_B::SettingsFiles& files, SettingsDialogView& view, int dotsPerInch);

  const DialogLayout& layout() const { return layout_; }
  // A new scale for the window: the layout is made afresh from the twips at the given
  // dots per inch, never from the pixels of the old one, so changes back and forth do
  // not drift. The choice, the file and the link's press stay. False, and nothing
  // changes, when the scale is the same or is no scale.
  bool rescale(int dotsPerInch);
  int chosenMark() const { return kindControls_.chosenMark; }
  const std::string& fileText() const { return fileText_; }

  // The load's steps that concern the settings: kind controls, combo, file label.
  void load();
  // Any mouse button going down at a point of the panel.
  void pressPanel(int x, int y);
  // True when the mouse pointer is on the link.
  bool cursorOnLink();
  // The left button going down and up on the window; the link opens when both happen
  // on it.
  void pressWindow();
  void releaseWindow();
  // The clicks of the three buttons.
  void chooseFile();
  void save();
  void cancel();

 private:
  void showKindControls(const KindControls& controls);
  void showFileText(const std::string& text);

  Sorvanta_B::MusicSettings& settings_;
  std::string programFolder_;
  Sorvanta_B::SettingsFiles& files_;
  SettingsDialogView& view_;
  DialogLayout layout_;
  KindControls kindControls_;
  std::string fileText_;
  bool linkPressed_ = false;
};

}  // namespace Sorvanta_P
