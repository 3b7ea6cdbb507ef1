// Numbers appended to a file's bytes lowest byte first, as BMP and ICO headers hold them.
#pragma once

#include <cstdint>
#include <vector>

namespace sorvanta::tools {

inline void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

inline void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

}  // namespace sorvanta::tools
