// The byte-level rules of writing an exchange image: row padding, the padding-free
// copy, and the exact packets of the run-length encoding.
#include "saver/capture/tga_pixels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using sorvanta::capture::bitmapStride;
using sorvanta::capture::copyRowsWithoutPadding;
using sorvanta::capture::encodeRunLength;
using sorvanta::capture::runLengthCapacity;

// A distinct colour for every small index, so neighbours differ unless asked.
Bytes colour(int index) {
  return {static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(index >> 8),
          static_cast<std::uint8_t>(0x40 + index % 7)};
}

Bytes pixelsOf(const std::vector<int>& indices) {
  Bytes out;
  for (int i : indices) {
    const Bytes c = colour(i);
    out.insert(out.end(), c.begin(), c.end());
  }
  return out;
}

Bytes encode(const Bytes& pixels, int width) {
  Bytes out(runLengthCapacity(pixels.size() / 3));
  out.resize(encodeRunLength(pixels.data(), pixels.size() / 3, width, out.data()));
  return out;
}

void append(Bytes& out, std::uint8_t header, const Bytes& pixels) {
  out.push_back(header);
  out.insert(out.end(), pixels.begin(), pixels.end());
}

TEST(BitmapStride, RowsArePaddedToFourBytes) {
  const struct {
    int width;
    std::size_t stride;
  } cases[] = {{0, 0},     {1, 4},       {2, 8},       {3, 12},      {4, 12},       {5, 16},
               {256, 768}, {1024, 3072}, {1366, 4100}, {1920, 5760}, {32767, 98304}};
  for (const auto& c : cases) {
    EXPECT_EQ(bitmapStride(c.width), c.stride) << "width " << c.width;
  }
}

TEST(CopyRowsWithoutPadding, DropsThePaddingOfEveryRowAndKeepsTheirOrder) {
  for (int width : {1, 2, 3, 4, 5, 1366}) {
    const int height = 3;
    const std::size_t stride = bitmapStride(width);
    Bytes bitmap(stride * height, 0xEE);  // 0xEE stands for padding
    Bytes expected;
    for (int row = 0; row < height; ++row) {
      for (int byte = 0; byte < width * 3; ++byte) {
        const auto value = static_cast<std::uint8_t>((row * 31 + byte) % 200);
        bitmap[row * stride + byte] = value;
        expected.push_back(value);
      }
    }
    Bytes pixels(expected.size(), 0x11);
    copyRowsWithoutPadding(bitmap.data(), stride, width, height, pixels.data());
    EXPECT_EQ(pixels, expected) << "width " << width;
    // In place: the bitmap's own bytes close up to the same rows.
    copyRowsWithoutPadding(bitmap.data(), stride, width, height, bitmap.data());
    bitmap.resize(expected.size());
    EXPECT_EQ(bitmap, expected) << "width " << width << " in place";
  }
}

struct PacketCase {
  std::string name;
  std::vector<int> pixels;  // colour indices, rows of width pixels
  int width;
  Bytes expected;
};

std::vector<int> repeated(int index, int count) {
  return std::vector<int>(count, index);
}

std::vector<int> counting(int from, int count) {
  std::vector<int> out;
  for (int i = 0; i < count; ++i) {
    out.push_back(from + i);
  }
  return out;
}

std::vector<int> joined(std::vector<std::vector<int>> parts) {
  std::vector<int> out;
  for (const auto& part : parts) {
    out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

std::vector<PacketCase> packetCases() {
  std::vector<PacketCase> cases;
  {
    PacketCase c{"300 pixels of one colour: three runs", repeated(5, 300), 300, {}};
    append(c.expected, 0xFF, colour(5));
    append(c.expected, 0xFF, colour(5));
    append(c.expected, 0xAB, colour(5));
    cases.push_back(c);
  }
  {
    PacketCase c{"A B C C D", {1, 2, 3, 3, 4}, 5, {}};
    append(c.expected, 0x01, pixelsOf({1, 2}));
    append(c.expected, 0x81, colour(3));
    append(c.expected, 0x00, colour(4));
    cases.push_back(c);
  }
  {
    PacketCase c{"200 pixels, no equal neighbours", counting(1, 200), 200, {}};
    append(c.expected, 0x7F, pixelsOf(counting(1, 128)));
    append(c.expected, 0x47, pixelsOf(counting(129, 72)));
    cases.push_back(c);
  }
  {
    // The row ends with colour 9 and the next row starts with a run of it.
    PacketCase c{"row end equals next row start", {1, 2, 9, 9, 9, 3}, 3, {}};
    append(c.expected, 0x02, pixelsOf({1, 2, 9}));
    append(c.expected, 0x81, colour(9));
    append(c.expected, 0x00, colour(3));
    cases.push_back(c);
  }
  {
    PacketCase c{"run that would go on into the next row", {7, 7, 7, 7, 7, 7}, 3, {}};
    append(c.expected, 0x82, colour(7));
    append(c.expected, 0x82, colour(7));
    cases.push_back(c);
  }
  {
    PacketCase c{"run of exactly 2 between raw pixels", {1, 2, 2, 3}, 4, {}};
    append(c.expected, 0x00, colour(1));
    append(c.expected, 0x81, colour(2));
    append(c.expected, 0x00, colour(3));
    cases.push_back(c);
  }
  {
    PacketCase c{"run of 2 at the row end", {1, 2, 3, 3}, 4, {}};
    append(c.expected, 0x01, pixelsOf({1, 2}));
    append(c.expected, 0x81, colour(3));
    cases.push_back(c);
  }
  {
    PacketCase c{"129-pixel run: the 129th alone is raw", repeated(6, 129), 129, {}};
    append(c.expected, 0xFF, colour(6));
    append(c.expected, 0x00, colour(6));
    cases.push_back(c);
  }
  {
    PacketCase c{"130-pixel run: the rest is a run of 2", repeated(6, 130), 130, {}};
    append(c.expected, 0xFF, colour(6));
    append(c.expected, 0x81, colour(6));
    cases.push_back(c);
  }
  {
    PacketCase c{"129-pixel run then another colour", joined({repeated(6, 129), {8}}), 130, {}};
    append(c.expected, 0xFF, colour(6));
    append(c.expected, 0x01, pixelsOf({6, 8}));
    cases.push_back(c);
  }
  {
    PacketCase c{"128 raw then a run", joined({counting(1, 128), repeated(200, 3)}), 131, {}};
    append(c.expected, 0x7F, pixelsOf(counting(1, 128)));
    append(c.expected, 0x82, colour(200));
    cases.push_back(c);
  }
  {
    PacketCase c{"width 1: every pixel its own raw packet", {4, 4, 4}, 1, {}};
    for (int i = 0; i < 3; ++i) {
      append(c.expected, 0x00, colour(4));
    }
    cases.push_back(c);
  }
  {
    PacketCase c{"width 2, equal pair", {4, 4, 5, 6}, 2, {}};
    append(c.expected, 0x81, colour(4));
    append(c.expected, 0x01, pixelsOf({5, 6}));
    cases.push_back(c);
  }
  return cases;
}

TEST(EncodeRunLength, CutsPacketsExactly) {
  for (const PacketCase& c : packetCases()) {
    EXPECT_EQ(encode(pixelsOf(c.pixels), c.width), c.expected) << c.name;
  }
}

TEST(EncodeRunLength, PixelsDifferingInOneByteAreNotARun) {
  for (int byte = 0; byte < 3; ++byte) {
    Bytes pixels = {10, 20, 30, 10, 20, 30};
    pixels[3 + byte] ^= 1;
    Bytes expected = {0x01};
    expected.insert(expected.end(), pixels.begin(), pixels.end());
    EXPECT_EQ(encode(pixels, 2), expected) << "byte " << byte << " differs";
  }
}

// Decodes packets back to pixels, checking every packet stays within one row.
Bytes decodeCheckingRows(const Bytes& packets, int width, std::string& fault) {
  Bytes pixels;
  std::size_t at = 0;
  int column = 0;
  while (at < packets.size()) {
    const std::uint8_t header = packets[at++];
    const int count = (header & 0x7F) + 1;
    if (column + count > width) {
      fault = "packet spans two rows at byte " + std::to_string(at - 1);
      return pixels;
    }
    const bool run = (header & 0x80) != 0;
    const std::size_t bytes = run ? 3 : 3u * count;
    if (at + bytes > packets.size()) {
      fault = "packet cut short";
      return pixels;
    }
    for (int i = 0; i < count; ++i) {
      const std::size_t from = at + (run ? 0 : 3u * i);
      pixels.insert(pixels.end(), packets.begin() + from, packets.begin() + from + 3);
    }
    at += bytes;
    column = (column + count) % width;
  }
  return pixels;
}

TEST(EncodeRunLength, RandomPicturesDecodeToTheSamePixelsWithinTheBound) {
  std::mt19937 random(1234);
  for (int trial = 0; trial < 200; ++trial) {
    const int width = 1 + static_cast<int>(random() % 300);
    const int height = 1 + static_cast<int>(random() % 5);
    const int colours = 1 + static_cast<int>(random() % 4);  // few colours: many runs
    Bytes pixels;
    for (int i = 0; i < width * height; ++i) {
      const Bytes c = colour(static_cast<int>(random() % colours));
      pixels.insert(pixels.end(), c.begin(), c.end());
    }
    const Bytes packets = encode(pixels, width);
    EXPECT_LE(packets.size(), runLengthCapacity(pixels.size() / 3));
    std::string fault;
    EXPECT_EQ(decodeCheckingRows(packets, width, fault), pixels)
        << "trial " << trial << " width " << width << " " << fault;
    EXPECT_TRUE(fault.empty()) << "trial " << trial << ": " << fault;
  }
}

TEST(EncodeRunLength, WorstCaseFillsTheCapacityExactly) {
  const Bytes pixels = pixelsOf({1, 1, 1, 1});  // width 1: four raw packets of one pixel
  Bytes out(runLengthCapacity(4));
  EXPECT_EQ(encodeRunLength(pixels.data(), 4, 1, out.data()), runLengthCapacity(4));
}

}  // namespace
