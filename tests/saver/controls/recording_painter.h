// A painter that records what the button asks of its window, for the native tests.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "saver/controls/command.h"

namespace sorvanta::controls {

// A property bag that also records the names read from it, in order.
class RecordingBag final : public PropertyReader {
 public:
  Value ReadProperty(const std::string& name, const Value& readDefault) const override {
    reads.push_back(name);
    return bag.ReadProperty(name, readDefault);
  }

  PropertyBag bag;
  mutable std::vector<std::string> reads;
};

struct RecordedPaint {
  bool cleared = false;
  bool gradientDone = false;
  GradientFill gradient;
  std::vector<Skin> skins;  // one entry per copied piece
  std::vector<FacePiece> pieces;
  int refreshes = 0;
  PixelRect caption;
};

class RecordingPainter : public CommandPainter {
 public:
  void clearFace() override {
    RecordedPaint paint;
    paint.cleared = true;
    paints.push_back(paint);
  }
  void fillGradient(const GradientFill& fill) override {
    current().gradientDone = true;
    current().gradient = fill;
  }
  void copyPiece(Skin skin, const PixelRect& source, const PixelRect& destination) override {
    current().skins.push_back(skin);
    FacePiece piece;
    piece.source = source;
    piece.destination = destination;
    current().pieces.push_back(piece);
  }
  void refreshFace() override { ++current().refreshes; }
  void placeCaption(const PixelRect& area) override { current().caption = area; }
  void setCaptionEnabled(bool enabled) override { captionEnabled = enabled; }
  void setCaptionText(const std::string& utf8) override { captionText = utf8; }
  void setCaptionFont(const CaptionFont& font) override { captionFont = font; }
  void setCaptionColour(std::uint32_t colour) override { captionColour = colour; }
  void setFaceOpaque(bool opaque) override { faceOpaque = opaque; }
  void startHoverTimer(int intervalMs) override { timerInterval = intervalMs; }
  void raiseClick() override { ++clicks; }
  void propertyChanged() override { ++propertyChanges; }

  // The skins of the recorded paints, space-separated: "Pressed Selected".
  std::string paintedSkins() const {
    std::ostringstream out;
    for (const RecordedPaint& paint : paints) {
      if (out.tellp() > 0)
        out << ' ';
      out << (paint.skins.empty() ? "(none)" : SkinName(paint.skins.front()));
    }
    return out.str();
  }

  void forget() {
    paints.clear();
    clicks = 0;
  }

  std::vector<RecordedPaint> paints;
  int clicks = 0;
  int propertyChanges = 0;
  int timerInterval = 0;
  bool captionEnabled = true;
  bool faceOpaque = true;
  std::string captionText;
  CaptionFont captionFont;
  std::uint32_t captionColour = 0xDEADBEEF;  // proves a write happened

 private:
  RecordedPaint& current() {
    if (paints.empty())
      paints.push_back({});
    return paints.back();
  }
};

}  // namespace sorvanta::controls
