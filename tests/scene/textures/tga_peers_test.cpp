// The reader against TGA files made by other image libraries (tests/data/tga-peers):
// every accepted file with complete data decodes to the pixels listed in
// EXPECTED_RGB.tsv; every other file is refused or survived.
#include "tga_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Row = std::map<std::string, std::string>;

std::string peersFolder() {
  const char* folder = std::getenv("SORVANTA_TGA_PEERS");
  return folder != nullptr ? folder : "";
}

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream stream(line);
  std::string field;
  while (std::getline(stream, field, '\t')) {
    fields.push_back(field);
  }
  return fields;
}

// Rows of a tab-separated table with a header line, keyed by column name.
std::vector<Row> readTable(const std::string& path) {
  std::ifstream in(path);
  std::vector<Row> rows;
  std::string line;
  if (!std::getline(in, line)) {
    return rows;
  }
  const std::vector<std::string> columns = splitTabs(line);
  while (std::getline(in, line)) {
    const std::vector<std::string> fields = splitTabs(line);
    Row row;
    for (std::size_t i = 0; i < columns.size() && i < fields.size(); ++i) {
      row[columns[i]] = fields[i];
    }
    rows.push_back(row);
  }
  return rows;
}

std::uint32_t crc32(const std::vector<std::uint8_t>& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
  }
  return ~crc;
}

// The loaded picture as top-down RGB without alpha, the form the table lists.
std::vector<std::uint8_t> topDownRgb(const TgaImage& image) {
  const int bpp = image.bitsPerPixel() / 8;
  std::vector<std::uint8_t> rgb;
  rgb.reserve(static_cast<std::size_t>(image.width()) * image.height() * 3);
  for (int row = image.height() - 1; row >= 0; --row) {
    const std::uint8_t* pixel = image.data() + static_cast<std::size_t>(row) * image.width() * bpp;
    for (int x = 0; x < image.width(); ++x, pixel += bpp) {
      rgb.insert(rgb.end(), pixel, pixel + 3);
    }
  }
  return rgb;
}

// Each row reversed: the table lists right-origin files as they are meant to be seen,
// and the reader ignores the right-to-left bit, so it returns them mirrored.
std::vector<std::uint8_t> mirrored(const std::vector<std::uint8_t>& rgb, int width) {
  std::vector<std::uint8_t> out(rgb.size());
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  for (std::size_t row = 0; row < rgb.size(); row += rowBytes) {
    for (std::size_t x = 0; x < rowBytes; x += 3) {
      std::copy(rgb.begin() + row + x, rgb.begin() + row + x + 3,
                out.begin() + row + rowBytes - 3 - x);
    }
  }
  return out;
}

std::string hex(std::uint32_t value, int digits) {
  std::ostringstream out;
  out << std::hex;
  out.width(digits);
  out.fill('0');
  out << value;
  return out.str();
}

std::string pixelHex(const std::vector<std::uint8_t>& rgb, std::size_t index) {
  return hex((rgb[index * 3] << 16) | (rgb[index * 3 + 1] << 8) | rgb[index * 3 + 2], 6);
}

TEST(TgaPeers, SuiteIsPresent) {
  ASSERT_FALSE(peersFolder().empty()) << "SORVANTA_TGA_PEERS not set";
  EXPECT_GE(readTable(peersFolder() + "/INDEX.tsv").size(), 30u)
      << "peer suite missing or short at " << peersFolder();
  EXPECT_GE(readTable(peersFolder() + "/EXPECTED_RGB.tsv").size(), 10u);
}

TEST(TgaPeers, CompleteAcceptedFilesDecodeToExpectedPixels) {
  const std::vector<Row> expected = readTable(peersFolder() + "/EXPECTED_RGB.tsv");
  ASSERT_FALSE(expected.empty());
  for (const Row& row : expected) {
    const std::string& file = row.at("file");
    TgaImage image;
    ASSERT_TRUE(image.load((peersFolder() + "/" + file).c_str())) << file;
    EXPECT_EQ(std::to_string(image.width()), row.at("width")) << file;
    EXPECT_EQ(std::to_string(image.height()), row.at("height")) << file;
    const bool rightOrigin = row.at("origin").find("right") != std::string::npos;
    const std::vector<std::uint8_t> decoded = topDownRgb(image);
    const std::vector<std::uint8_t> rgb = rightOrigin ? mirrored(decoded, image.width()) : decoded;
    EXPECT_EQ(pixelHex(rgb, 0), row.at("first_pixel_rgb")) << file;
    EXPECT_EQ(pixelHex(rgb, rgb.size() / 3 - 1), row.at("last_pixel_rgb")) << file;
    EXPECT_EQ(hex(crc32(rgb), 8), row.at("crc32_rgb_topdown")) << file;
    if (rightOrigin) {
      EXPECT_NE(hex(crc32(decoded), 8), row.at("crc32_rgb_topdown"))
          << file << ": a right-origin file came out as if the bit were honoured";
    }
  }
}

// Files outside the accepted set are refused; accepted ones (some truncated, some
// with a right-to-left origin) load. The sanitizers watch every read and write.
TEST(TgaPeers, EveryFileIsRefusedOrSurvived) {
  const std::vector<Row> index = readTable(peersFolder() + "/INDEX.tsv");
  ASSERT_FALSE(index.empty());
  for (const Row& row : index) {
    const std::string& file = row.at("file");
    const bool accepted = row.at("in_accepted_set").rfind("yes", 0) == 0;
    const bool hasColourMap = row.at("cmap_type") != "0";
    TgaImage image;
    const bool loaded = image.load((peersFolder() + "/" + file).c_str());
    if (!accepted || hasColourMap) {
      EXPECT_FALSE(loaded) << file << " should be refused";
    } else {
      EXPECT_TRUE(loaded) << file << " should load";
    }
    if (loaded) {
      EXPECT_EQ(image.dataSize(),
                static_cast<std::size_t>(image.width()) * image.height() * image.bitsPerPixel() / 8)
          << file;
    }
  }
}

}  // namespace
