// The lines every benchmark prints at the end of its output, one set per case, so that
// scripts/bench can gather them into one table and runs can be compared line by line:
//   figure <benchmark>/<case>: <Sorvanta's figure, with its unit>
//   peer ratio <benchmark>/<case>: <peer's time / Sorvanta's time>
//   floor ratio <benchmark>/<case>: <Sorvanta's time / the floor's time>
#pragma once

#include <cstdio>
#include <string>

namespace sorvanta::bench {

inline void printFigure(const std::string& key, const std::string& figure) {
  std::printf("figure %s: %s\n", key.c_str(), figure.c_str());
}

inline void printPeerRatio(const std::string& key, double peerTime, double ourTime) {
  if (peerTime > 0.0 && ourTime > 0.0) {
    std::printf("peer ratio %s: %.2f\n", key.c_str(), peerTime / ourTime);
  }
}

inline void printFloorRatio(const std::string& key, double ourTime, double floorTime) {
  if (ourTime > 0.0 && floorTime > 0.0) {
    std::printf("floor ratio %s: %.2f\n", key.c_str(), ourTime / floorTime);
  }
}

// A time in seconds as a figure with a readable unit.
inline std::string timeFigure(double seconds) {
  char text[32];
  if (seconds < 1e-3) {
    std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
  } else {
    std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
  }
  return text;
}

}  // namespace sorvanta::bench
