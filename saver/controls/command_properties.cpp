#include "saver/controls/command_properties.h"

#include <algorithm>

namespace sorvanta::controls {

CaptionFont DefaultCaptionFont() {
  CaptionFont font;
  font.faceName =
      "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";
  font.sizePoints = 9.75;
  font.weight = 400;
  font.charset = 128;
  return font;
}

void PropertyBag::WriteProperty(const std::string& name, const Value& value,
                                const Value& writeDefault) {
  auto same = [&](const auto& entry) { return entry.first == name; };
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(), same), entries_.end());
  if (value == writeDefault)
    return;
  entries_.emplace_back(name, value);
}

PropertyBag::Value PropertyBag::ReadProperty(const std::string& name,
                                             const Value& readDefault) const {
  for (const auto& [key, value] : entries_) {
    if (key == name && value.index() == readDefault.index())
      return value;
  }
  return readDefault;
}

}  // namespace sorvanta::controls
