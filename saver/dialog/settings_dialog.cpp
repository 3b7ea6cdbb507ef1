#include "saver/dialog/settings_dialog.h"

#include <algorithm>
#include <utility>

#include "saver/controls/length_units.h"

namespace Sorvanta_P {

using sorvanta::controls::kStandardDotsPerInch;

DialogLayout::DialogLayout(int dotsPerInch)
    : dotsPerInch_(dotsPerInch > 0 ? dotsPerInch : kStandardDotsPerInch) {}

int DialogLayout::pixels(int twips) const {
  return sorvanta::controls::pixelsFromTwips(twips, dotsPerInch_);
}

PixelBox DialogLayout::box(const TwipPlace& place) const {
  const int left = pixels(place.left);
  const int top = pixels(place.top);
  return PixelBox{left, top, left + pixels(place.width), top + pixels(place.height)};
}

PixelBox DialogLayout::kindMarksBox() const {
  PixelBox all = box(kKindMarks[0]);
  for (const TwipPlace& place : kKindMarks) {
    const PixelBox mark = box(place);
    all = PixelBox{std::min(all.left, mark.left), std::min(all.top, mark.top),
                   std::max(all.right, mark.right), std::max(all.bottom, mark.bottom)};
  }
  return all;
}

int DialogLayout::kindAt(int x, int y) const {
  for (int kind = 0; kind < kKindCount; ++kind) {
    if (box(kKindMarks[kind]).contains(x, y) || box(kKindLabels[kind]).contains(x, y))
      return kind;
  }
  return kNoMarkChosen;
}

bool DialogLayout::overLink(int x, int y) const {
  return box(kLinkPlace).contains(x, y);
}

PixelPoint DialogLayout::windowPosition(int screenWidth, int screenHeight, int windowWidth,
                                        int windowHeight) const {
  const auto twips = [this](int pixels) {
    return sorvanta::controls::twipsFromPixels(pixels, dotsPerInch_);
  };
  const PixelPoint place = dialogPosition(twips(screenWidth), twips(screenHeight),
                                          twips(windowWidth), twips(windowHeight));
  return PixelPoint{pixels(place.x), pixels(place.y)};
}

int DialogLayout::labelFontHeight() const {
  return -sorvanta::controls::pixelsFromPoints(kLabelPoints, dotsPerInch_);
}

int DialogLayout::panelFontHeight() const {
  return -sorvanta::controls::pixelsFromPoints(kPanelPoints, dotsPerInch_);
}

SettingsDialog::SettingsDialog(Sorvanta_B::MusicSettings& settings, std::string programFolder,
                               Sorvanta_B::SettingsFiles& files, SettingsDialogView& view,
                               int dotsPerInch)
    : settings_(settings),
      programFolder_(std::move(programFolder)),
      files_(files),
      view_(view),
      layout_(dotsPerInch) {}

bool SettingsDialog::rescale(int dotsPerInch) {
  if (dotsPerInch <= 0 || dotsPerInch == layout_.dotsPerInch())
    return false;
  layout_ = DialogLayout(dotsPerInch);
  return true;
}

void SettingsDialog::load() {
  showKindControls(controlsForKind(settings_.BgmKind));
  view_.fillRepeatCombo(formatRepeat(settings_.BgmRepeat), repeatListEntries());
  showFileText(settings_.BgmFile);
}

void SettingsDialog::pressPanel(int x, int y) {
  const int kind = layout_.kindAt(x, y);
  if (kind == kNoMarkChosen)
    return;
  const KindChoice choice = ChooseBgmKind(kind);
  settings_.BgmKind = choice.bgmKind;
  showKindControls(choice.controls);
}

bool SettingsDialog::cursorOnLink() {
  const std::optional<PixelPoint> cursor = view_.cursorInWindow();
  return cursor && layout_.overLink(cursor->x, cursor->y);
}

void SettingsDialog::pressWindow() {
  linkPressed_ = cursorOnLink();
}

void SettingsDialog::releaseWindow() {
  if (linkPressed_ && cursorOnLink())
    view_.openWebPage(kWebAddress);
  linkPressed_ = false;
}

void SettingsDialog::chooseFile() {
  const std::optional<std::string> file = view_.chooseMusicFile(settings_.BgmFolder);
  if (!file)
    return;
  settings_.BgmFile = *file;
  showFileText(settings_.BgmFile);
  settings_.BgmFolder = Sorvanta_B::FolderOfPath(settings_.BgmFile);
}

void SettingsDialog::save() {
  settings_.BgmRepeat = repeatFromText(view_.repeatText());
  Sorvanta_B::SaveSettings(settings_, programFolder_, files_);
  view_.requestClose();
}

void SettingsDialog::cancel() {
  view_.requestClose();
}

void SettingsDialog::showKindControls(const KindControls& controls) {
  kindControls_ = controls;
  view_.showKindControls(controls);
}

void SettingsDialog::showFileText(const std::string& text) {
  fileText_ = text;
  view_.showFileText(text);
}

}  // namespace Sorvanta_P
