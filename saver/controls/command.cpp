#include "saver/controls/command.h"

namespace sorvanta::controls {

namespace {

constexpr int kHoverIntervalMs = 100;

template <typename T>
T ValueOr(const PropertyBag::Value& value, T fallback) {
  if (const T* held = std::get_if<T>(&value))
    return *held;
  return fallback;
}

}  // namespace

Command::Command(CommandPainter& painter) : painter_(painter) {}

void Command::Initialize() {
  buttonState_ = kStateNormal;
  timerRunning_ = true;
  painter_.startHoverTimer(kHoverIntervalMs);
}

// ---- Events ----------------------------------------------------------------------

void Command::setState(std::uint8_t state, Skin skin) {
  buttonState_ = state;
  PaintFace(skin);
}

void Command::focusArrived() {
  if (!enabled())
    return;
  if (buttonState_ == kStateHighLight) {
    setState(kStateHighLightSelect, Skin::Pressed);
  } else {
    setState(kStateSelected, Skin::Selected);
  }
}

void Command::focusLeft() {
  if (!enabled())
    return;
  if (buttonState_ != kStateNormal)
    setState(kStateNormal, Skin::Normal);
}

void Command::mouseDown(MouseButton button) {
  if (!enabled() || button != MouseButton::Left)
    return;
  mouseHeld_ = kTrue;
  PaintFace(Skin::Pressed);
}

void Command::mouseMove() {
  if (!enabled())
    return;
  if (buttonState_ == kStateNormal) {
    setState(kStateHighLight, Skin::HighLight);
  } else if (buttonState_ == kStateSelected && mouseHeld_ == kFalse) {
    setState(kStateHighLightSelect, Skin::HighLightSelect);
  }
}

void Command::mouseUp(MouseButton button, bool pointerOver) {
  if (!enabled())
    return;
  // A release away from the button (the window still has the mouse captured) ends the
  // hover first, as the next timer tick would, so the outcome does not depend on how
  // quickly the tick follows; and a Click needs the release over the button.
  if (!pointerOver)
    PointerLeft();
  if (button == MouseButton::Left) {
    mouseHeld_ = kFalse;
    if (buttonState_ == kStateHighLight)
      PaintFace(Skin::Normal);
    if (buttonState_ == kStateHighLightSelect)
      PaintFace(Skin::HighLightSelect);
  }
  if (pointerOver && buttonState_ != kStateSelected && enabled_ == kTrue)
    painter_.raiseClick();
}

void Command::timerTick(bool pointerOverButton) {
  if (!timerRunning_ || pointerOverButton)
    return;
  PointerLeft();
}

void Command::resize(int widthTwips, int heightTwips) {
  widthTwips_ = widthTwips;
  heightTwips_ = heightTwips;
  ShowEnabledState();
}

void Command::rescale(int widthTwips, int heightTwips) {
  widthTwips_ = widthTwips;
  heightTwips_ = heightTwips;
  PaintFace(lastSkin_);
}

// ---- Routines --------------------------------------------------------------------

void Command::PointerLeft() {
  if (!enabled())
    return;
  if (buttonState_ == kStateHighLight) {
    setState(kStateNormal, Skin::Normal);
  } else if (buttonState_ == kStateHighLightSelect) {
    setState(kStateSelected, Skin::Selected);
  }
}

void Command::ShowEnabledState() {
  if (enabled()) {
    PaintFace(Skin::Normal);
    painter_.setCaptionEnabled(true);
  } else {
    PaintFace(Skin::Disable);
    painter_.setCaptionEnabled(false);
  }
}

void Command::ResetFace() {
  if (!enabled())
    return;
  painter_.setCaptionEnabled(true);
  if (firstRun_ == 0)
    setCaptionColourValue(0);
  PaintFace(Skin::Normal);
}

void Command::PaintFace(Skin skin) {
  if (buttonState_ == kStateNormal || buttonState_ == kStateSelected) {
    hoverGradient_ = kFalse;
  } else if (buttonState_ == kStateHighLight) {
    hoverGradient_ = kTrue;
  }
  lastSkin_ = skin;
  painter_.clearFace();
  FillGradient();
  const FacePieces pieces = PiecesFor(widthTwips_, heightTwips_);
  for (int i = 0; i < pieces.count; ++i) {
    painter_.copyPiece(skin, pieces.pieces[i].source, pieces.pieces[i].destination);
  }
  painter_.refreshFace();
  painter_.placeCaption(CaptionArea(widthTwips_, heightTwips_));
}

void Command::FillGradient() {
  painter_.fillGradient(GradientFor(widthTwips_, heightTwips_, hoverGradient_ != kFalse));
  painter_.refreshFace();
}

// ---- Properties ------------------------------------------------------------------

void Command::setCaption(const std::string& text) {
  caption_ = text;
  painter_.setCaptionText(caption_);
  painter_.propertyChanged();
}

bool Command::Enabled() {
  if (firstRun_ == 0) {
    ResetFace();
    firstRun_ = 1;
    enabled_ = kTrue;
  }
  const bool result = enabled();
  ShowEnabledState();
  return result;
}

void Command::setEnabled(bool value) {
  enabled_ = value ? kTrue : kFalse;
  painter_.propertyChanged();
  ShowEnabledState();
}

void Command::setFont(const CaptionFont& font) {
  font_ = font;
  painter_.setCaptionFont(font_);
  painter_.propertyChanged();
}

std::uint32_t Command::FontColour() {
  const std::uint32_t colour = captionColour_;
  ResetFace();
  return colour;
}

void Command::setFontColour(std::uint32_t colour) {
  setCaptionColourValue(colour);
  painter_.propertyChanged();
  ResetFace();
}

void Command::setCaptionColourValue(std::uint32_t colour) {
  captionColour_ = colour;
  painter_.setCaptionColour(captionColour_);
}

bool Command::Visible() {
  if (!faceOpaque_)
    return false;
  ResetFace();
  return true;
}

void Command::setVisible(bool visible) {
  faceOpaque_ = visible;
  painter_.setFaceOpaque(faceOpaque_);
  painter_.propertyChanged();
  if (visible)
    ResetFace();
}

// ---- Stored properties -----------------------------------------------------------

void Command::ReadProperties(const PropertyReader& bag, const CaptionFont& ambientFont) {
  enabled_ = ValueOr(bag.ReadProperty(kPropEnabled, true), true) ? kTrue : kFalse;
  ShowEnabledState();
  caption_ = ValueOr<std::string>(bag.ReadProperty(kPropCaption, std::string(kCaptionReadDefault)),
                                  kCaptionReadDefault);
  painter_.setCaptionText(caption_);
  font_ = ValueOr(bag.ReadProperty(kPropFont, ambientFont), ambientFont);
  painter_.setCaptionFont(font_);
  const std::int32_t firstRun = ValueOr<std::int32_t>(bag.ReadProperty(kPropFirstRun, 1), 1);
  firstRun_ = static_cast<std::uint8_t>(firstRun);
  setCaptionColourValue(
      static_cast<std::uint32_t>(ValueOr<std::int32_t>(bag.ReadProperty(kPropFontColour, 0), 0)));
  faceOpaque_ = ValueOr<std::int32_t>(bag.ReadProperty(kPropVisible, 1), 1) != 0;
  painter_.setFaceOpaque(faceOpaque_);
  ResetFace();
}

void Command::WriteProperties(PropertyBag& bag, const CaptionFont& ambientFont) {
  bag.WriteProperty(kPropEnabled, enabled(), true);
  bag.WriteProperty(kPropCaption, caption_, std::string(kCaptionWriteDefault));
  bag.WriteProperty(kPropFirstRun, static_cast<std::int32_t>(firstRun_), 1);
  bag.WriteProperty(kPropFont, font_, ambientFont);
  bag.WriteProperty(kPropFontColour, static_cast<std::int32_t>(captionColour_), 0);
  bag.WriteProperty(kPropVisible, static_cast<std::int32_t>(faceOpaque_ ? 1 : 0), 1);
  ResetFace();
}

}  // namespace sorvanta::controls
