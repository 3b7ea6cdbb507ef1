// The front end's owner-drawn push button: its state machine, its face layout and its
// stored properties. Painting and the window live behind CommandPainter; the Windows
// implementation is command_win32.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "saver/controls/command_face.h"
#include "saver/controls/command_properties.h"

namespace sorvanta::controls {

// What the button needs from its window: draw into the face, show the caption, run the
// hover timer, tell the host about a click and mark its stored properties as changed
// after a property write. Lengths are pixels.
class CommandPainter {
 public:
  virtual ~CommandPainter() = default;
  virtual void clearFace() = 0;
  virtual void fillGradient(const GradientFill& fill) = 0;
  virtual void copyPiece(Skin skin, const PixelRect& source, const PixelRect& destination) = 0;
  virtual void refreshFace() = 0;
  virtual void placeCaption(const PixelRect& area) = 0;
  virtual void setCaptionEnabled(bool enabled) = 0;
  virtual void setCaptionText(const std::string& utf8) = 0;
  virtual void setCaptionFont(const CaptionFont& font) = 0;
  virtual void setCaptionColour(std::uint32_t colour) = 0;
  virtual void setFaceOpaque(bool opaque) = 0;
  virtual void startHoverTimer(int intervalMs) = 0;
  virtual void raiseClick() = 0;
  virtual void propertyChanged() = 0;
};

enum class MouseButton { Left, Right, Middle };

// 16-bit Booleans as the control keeps them.
constexpr std::int16_t kTrue = -1;
constexpr std::int16_t kFalse = 0;

enum ButtonStateValue : std::uint8_t {
  kStateNone = 0,
  kStateNormal = 1,
  kStateHighLight = 2,
  kStateSelected = 3,
  kStateHighLightSelect = 4,
};

class Command {
 public:
  explicit Command(CommandPainter& painter);

  // Host calls.
  void Initialize();
  void ReadProperties(const PropertyReader& bag, const CaptionFont& ambientFont);
  void WriteProperties(PropertyBag& bag, const CaptionFont& ambientFont);

  // Window events.
  void focusArrived();
  void focusLeft();
  void mouseDown(MouseButton button);
  void mouseMove();
  // pointerOver: the release happened over the button's window.
  void mouseUp(MouseButton button, bool pointerOver = true);
  void timerTick(bool pointerOverButton);
  void resize(int widthTwips, int heightTwips);
  // A change of the screen's scale: the face is painted again at its new size with the
  // look it showed before, where a plain resize would show Normal.
  void rescale(int widthTwips, int heightTwips);

  // Properties.
  const std::string& Caption() const { return caption_; }
  void setCaption(const std::string& text);
  bool Enabled();
  void setEnabled(bool enabled);
  const CaptionFont& Font() const { return font_; }
  void setFont(const CaptionFont& font);
  std::uint32_t FontColour();
  void setFontColour(std::uint32_t colour);
  bool Visible();
  void setVisible(bool visible);

  // Routines named by the control's design, public for the host and for tests.
  void PointerLeft();
  void ShowEnabledState();
  void ResetFace();
  void PaintFace(Skin skin);

  // State, for the host and tests.
  std::uint8_t ButtonState() const { return buttonState_; }
  std::int16_t enabledValue() const { return enabled_; }
  bool MouseHeld() const { return mouseHeld_ != kFalse; }
  bool HoverGradient() const { return hoverGradient_ != kFalse; }
  std::uint8_t FirstRun() const { return firstRun_; }
  bool timerRunning() const { return timerRunning_; }
  std::uint32_t captionColour() const { return captionColour_; }
  bool faceOpaque() const { return faceOpaque_; }

 private:
  void FillGradient();
  void setState(std::uint8_t state, Skin skin);
  void setCaptionColourValue(std::uint32_t colour);
  bool enabled() const { return enabled_ != kFalse; }

  CommandPainter& painter_;
  std::uint8_t buttonState_ = kStateNone;
  std::int16_t enabled_ = kTrue;
  std::int16_t mouseHeld_ = kFalse;
  std::int16_t hoverGradient_ = kFalse;
  std::uint8_t firstRun_ = 1;
  bool faceOpaque_ = true;
  bool timerRunning_ = false;
  int widthTwips_ = 0;
  int heightTwips_ = 0;
  std::string caption_ = "Command1";
  CaptionFont font_ = DefaultCaptionFont();
  std::uint32_t captionColour_ = 0;
  Skin lastSkin_ = Skin::Normal;  // the look of the last paint
};

}  // namespace sorvanta::controls
