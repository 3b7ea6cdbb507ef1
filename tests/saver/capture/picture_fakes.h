// Test doubles of the capture room: a picture made from a pixel function, which pads
// its rows with a marker byte so a copy that keeps padding shows, and files that fail
// on demand.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "saver/capture/exchange_files_port.h"
#include "saver/capture/picture_source.h"

namespace capture_test {

struct Bgr {
  std::uint8_t b, g, r;
};

inline constexpr std::uint8_t kPaddingMarker = 0xEE;

// Pixel (x, y) with y counted from the top row, as on screen.
using PixelFunction = std::function<Bgr(int x, int y)>;

class FakePicture final : public sorvanta::capture::PictureSource {
 public:
  FakePicture(int width, int height, PixelFunction pixel)
      : width_(width), height_(height), pixel_(std::move(pixel)) {}

  int widthInPixels() const override { return width_; }
  int heightInPixels() const override { return height_; }
  void readBits(std::uint8_t* bitmap, std::size_t stride, int width, int height) override {
    ++reads;
    for (int row = 0; row < height; ++row) {  // bottom row first
      std::uint8_t* out = bitmap + static_cast<std::size_t>(row) * stride;
      for (int x = 0; x < width; ++x) {
        const Bgr p = pixel_(x, height - 1 - row);
        out[x * 3] = p.b;
        out[x * 3 + 1] = p.g;
        out[x * 3 + 2] = p.r;
      }
      for (std::size_t pad = static_cast<std::size_t>(width) * 3; pad < stride; ++pad) {
        out[pad] = kPaddingMarker;
      }
    }
  }

  int reads = 0;

 private:
  int width_;
  int height_;
  PixelFunction pixel_;
};

// Files kept in memory; each operation can be made to fail.
class FakeFiles final : public sorvanta::capture::ExchangeFilesPort {
 public:
  sorvanta::capture::EntryKind examine(const std::string& path) override {
    return path == existing ? sorvanta::capture::EntryKind::kPlain
                            : sorvanta::capture::EntryKind::kMissing;
  }
  bool remove(const std::string& path) override {
    ++removes;
    if (failRemove) {
      return false;
    }
    if (path == existing) {
      existing.clear();
    }
    return true;
  }
  sorvanta::capture::FileWriteResult write(const std::string& path, const std::uint8_t* head,
                                           std::size_t headSize, const std::uint8_t* body,
                                           std::size_t bodySize) override {
    ++writes;
    if (writeResult != sorvanta::capture::FileWriteResult::kWritten) {
      return writeResult;
    }
    written.assign(head, head + headSize);
    written.insert(written.end(), body, body + bodySize);
    existing = path;
    return writeResult;
  }

  std::string existing;
  bool failRemove = false;
  sorvanta::capture::FileWriteResult writeResult = sorvanta::capture::FileWriteResult::kWritten;
  int removes = 0;
  int writes = 0;
  std::vector<std::uint8_t> written;
};

}  // namespace capture_test
