// The caption font and the bag in which a host form keeps each button's stored
// properties between sessions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace sorvanta::controls {

// A whole font: face name (UTF-8), size, weight, style and character set.
struct CaptionFont {
  std::string faceName;
  double sizePoints = 0;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  int charset = 0;
  bool operator==(const CaptionFont& o) const {
    return faceName == o.faceName && sizePoints == o.sizePoints && weight == o.weight &&
           italic == o.italic && underline == o.underline && strikethrough == o.strikethrough &&
           charset == o.charset;
  }
  bool operator!=(const CaptionFont& o) const { return !(*this == o); }
};

// "ＭＳ Ｐゴシック" 9.75 pt, regular, Shift-JIS character set.
CaptionFont DefaultCaptionFont();

// Stored property names.
inline constexpr const char* kPropEnabled = "Enabled";
inline constexpr const char* kPropCaption = "Caption";
inline constexpr const char* kPropFont = "Font";
inline constexpr const char* kPropFirstRun = "FirstRun";
inline constexpr const char* kPropFontColour = "FontColour";
inline constexpr const char* kPropVisible = "Visible";

// Caption defaults: the one a new button reads, and the one that is never written.
inline constexpr const char* kCaptionReadDefault = "Command1";
inline constexpr const char* kCaptionWriteDefault = "Command";

// Where the button reads its stored properties from: the host form's bag.
class PropertyReader {
 public:
  using Value = std::variant<bool, std::int32_t, std::string, CaptionFont>;
  virtual ~PropertyReader() = default;
  // The stored value when one of the default's type is there, else the default.
  virtual Value ReadProperty(const std::string& name, const Value& readDefault) const = 0;
};

// Named, typed values in the order they were written. A value equal to the writer's
// default is not kept, so reading it back gives the reader's default.
class PropertyBag final : public PropertyReader {
 public:
  void WriteProperty(const std::string& name, const Value& value, const Value& writeDefault);
  Value ReadProperty(const std::string& name, const Value& readDefault) const override;

  const std::vector<std::pair<std::string, Value>>& entries() const { return entries_; }

 private:
  std::vector<std::pair<std::string, Value>> entries_;
};

}  // namespace sorvanta::controls
