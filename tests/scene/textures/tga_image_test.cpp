// The exchange-image reader on files the tests write byte by byte.
#include "tga_image.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "tga_test_files.h"

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer's allocation hooks (its allocator_interface.h, which GCC does
// not install).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            std::size_t),
                                                         void (*freeHook)(const volatile void*));
#endif

using tgatest::Bytes;
using tgatest::headerBytes;
using tgatest::HeaderFields;

namespace {

class TgaLoad : public ::testing::Test {
 protected:
  tgatest::ScratchFolder folder_{"tga-image-test"};

  std::string write(const HeaderFields& fields, const Bytes& payload) {
    return folder_.write("image.tga", tgatest::concat(headerBytes(fields), payload));
  }
};

Bytes asBytes(const TgaImage& image) {
  return Bytes(image.data(), image.data() + image.dataSize());
}

// Pixels in file order (blue-green-red(-alpha)) with distinct values per pixel.
Bytes distinctPixels(int count, int bytesPerPixel) {
  Bytes pixels;
  for (int i = 0; i < count; ++i) {
    for (int c = 0; c < bytesPerPixel; ++c) {
      pixels.push_back(static_cast<std::uint8_t>(i * 7 + c * 50 + 1));
    }
  }
  return pixels;
}

// What the reader should make of file-order pixels: first and third byte exchanged.
Bytes swappedRedBlue(Bytes pixels, int bytesPerPixel) {
  for (std::size_t i = 0; i + 2 < pixels.size(); i += bytesPerPixel) {
    std::swap(pixels[i], pixels[i + 2]);
  }
  return pixels;
}

// --- Accepted files -------------------------------------------------------------------

struct AcceptedCase {
  const char* name;
  std::uint8_t imageType;
  std::uint8_t depth;
};

class TgaLoadAccepted : public TgaLoad, public ::testing::WithParamInterface<AcceptedCase> {};

TEST_P(TgaLoadAccepted, DecodesToRedGreenBlueBottomRowFirst) {
  const AcceptedCase& c = GetParam();
  const int bpp = c.depth / 8;
  const int width = 5;
  const int height = 3;
  Bytes pixels = distinctPixels(width * height, bpp);
  // A stretch of equal pixels so that the run-length file has a run packet too.
  for (int i = 1; i < 4; ++i) {
    std::copy(pixels.begin(), pixels.begin() + bpp, pixels.begin() + i * bpp);
  }
  const Bytes payload =
      c.imageType == 10 ? tgatest::encodeRunLength(pixels, width, height, bpp) : pixels;
  const std::string path = write({0, 0, c.imageType, width, height, c.depth, 0}, payload);

  TgaImage image;
  ASSERT_TRUE(image.load(path.c_str())) << c.name;
  EXPECT_EQ(image.width(), width) << c.name;
  EXPECT_EQ(image.height(), height) << c.name;
  EXPECT_EQ(image.bitsPerPixel(), bpp * 8) << c.name;
  EXPECT_EQ(image.format(), bpp == 3 ? kTgaGlRgb : kTgaGlRgba) << c.name;
  EXPECT_EQ(image.dataType(), kTgaGlUnsignedByte) << c.name;
  ASSERT_EQ(image.dataSize(), pixels.size()) << c.name;
  EXPECT_EQ(asBytes(image), swappedRedBlue(pixels, bpp)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    TypesAndDepths, TgaLoadAccepted,
    ::testing::Values(AcceptedCase{"type2_24", 2, 24}, AcceptedCase{"type2_32", 2, 32},
                      AcceptedCase{"type10_24", 10, 24}, AcceptedCase{"type10_32", 10, 32},
                      AcceptedCase{"type2_25", 2, 25}, AcceptedCase{"type10_31", 10, 31},
                      AcceptedCase{"type2_33", 2, 33}, AcceptedCase{"type10_39", 10, 39}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(TgaLoad, TopDownFileLoadsBottomRowFirst) {
  // Two rows: top row A, then bottom row B.
  const Bytes rowA = {1, 2, 3, 4, 5, 6};
  const Bytes rowB = {7, 8, 9, 10, 11, 12};
  const std::string path = write({0, 0, 2, 2, 2, 24, 0x20}, tgatest::concat(rowA, rowB));
  TgaImage image;
  ASSERT_TRUE(image.load(path.c_str()));
  EXPECT_EQ(asBytes(image), swappedRedBlue(tgatest::concat(rowB, rowA), 3));
}

TEST_F(TgaLoad, TopDownRunLengthFileWithOddHeightKeepsMiddleRow) {
  const Bytes rows = {1, 1, 1, 2, 2, 2, 3, 3, 3};  // top, middle, bottom; one pixel each
  const std::string path =
      write({0, 0, 10, 1, 3, 24, 0x20}, tgatest::encodeRunLength(rows, 1, 3, 3));
  TgaImage image;
  ASSERT_TRUE(image.load(path.c_str()));
  EXPECT_EQ(asBytes(image), (Bytes{3, 3, 3, 2, 2, 2, 1, 1, 1}));
}

TEST_F(TgaLoad, OtherDescriptorBitsAreIgnored) {
  // Right-to-left (0x10) and alpha bits (0x08) change nothing.
  const Bytes pixels = {1, 2, 3, 4, 5, 6, 7, 8};
  const std::string path = write({0, 0, 2, 2, 1, 32, 0x18}, pixels);
  TgaImage image;
  ASSERT_TRUE(image.load(path.c_str()));
  EXPECT_EQ(asBytes(image), (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST_F(TgaLoad, IdentificationFieldIsSkipped) {
  const Bytes id = {'h', 'e', 'l', 'l', 'o'};
  const std::string path = write({5, 0, 2, 1, 1, 24, 0}, tgatest::concat(id, {10, 20, 30}));
  TgaImage image;
  ASSERT_TRUE(image.load(path.c_str()));
  EXPECT_EQ(asBytes(image), (Bytes{30, 20, 10}));
}

TEST_F(TgaLoad, RunPacketFFHolds128Pixels) {
  const std::string path = write({0, 0, 10, 128, 1, 24, 0}, {0xFF, 1, 2, 3});
  TgaImage image;
  ASSERT_TRUE(image.load(path.c_str()));
  ASSERT_EQ(image.dataSize(), 128u * 3);
  for (int i = 0; i < 128; ++i) {
    const std::uint8_t* pixel = image.data() + i * 3;
    ASSERT_EQ(Bytes(pixel, pixel + 3), (Bytes{3, 2, 1})) << "pixel " << i;
  }
}

TEST_F(TgaLoad, RunAndRawPacketsCrossRows) {
  // 3 x 2 picture: a run of 4 then a raw packet of 2, both spanning rows.
  const Bytes payload = {0x83, 9, 8, 7, 0x01, 1, 2, 3, 4, 5, 6};
  const std::string path = write({0, 0, 10, 3, 2, 24, 0}, payload);
  TgaImage image;
  ASSERT_TRUE(image.load(path.c_str()));
  EXPECT_EQ(asBytes(image), (Bytes{7, 8, 9, 7, 8, 9, 7, 8, 9, 7, 8, 9, 3, 2, 1, 6, 5, 4}));
}

struct OverfullCase {
  const char* name;
  Bytes payload;
  Bytes expected;
};

class TgaLoadOverfull : public TgaLoad, public ::testing::WithParamInterface<OverfullCase> {};

TEST_P(TgaLoadOverfull, LastPacketIsCutAtTheEnd) {
  // 2 x 1 picture; the last packet promises more pixels than remain. ASan would catch a
  // write past the buffer.
  const OverfullCase& c = GetParam();
  const std::string path = write({0, 0, 10, 2, 1, 24, 0}, c.payload);
  TgaImage image;
  ASSERT_TRUE(image.load(path.c_str())) << c.name;
  EXPECT_EQ(asBytes(image), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Packets, TgaLoadOverfull,
    ::testing::Values(OverfullCase{"run", {0x00, 1, 2, 3, 0xFF, 4, 5, 6}, {3, 2, 1, 6, 5, 4}},
                      OverfullCase{"raw",
                                   {0x00, 1, 2, 3, 0x7F, 4, 5, 6, 7, 8, 9, 10, 11, 12},
                                   {3, 2, 1, 6, 5, 4}},
                      OverfullCase{"first", {0x85, 1, 2, 3, 0x00, 4, 5, 6}, {3, 2, 1, 3, 2, 1}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(TgaLoad, WideRowsStayUnskewed) {
  // 1366 pixels a row: 4,098 bytes, not a multiple of 4. Each row carries its number in
  // every pixel, so any skew shows as a wrong value at a row's start or end.
  const int width = 1366;
  const int height = 4;
  Bytes pixels;
  for (int row = 0; row < height; ++row) {
    for (int x = 0; x < width; ++x) {
      pixels.insert(pixels.end(),
                    {static_cast<std::uint8_t>(row), 0, static_cast<std::uint8_t>(x)});
    }
  }
  const std::string path = write({0, 0, 2, width, height, 24, 0}, pixels);
  TgaImage image;
  ASSERT_TRUE(image.load(path.c_str()));
  ASSERT_EQ(image.dataSize(), 4098u * height);
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* first = image.data() + row * 4098;
    const std::uint8_t* last = first + 4098 - 3;
    EXPECT_EQ(first[2], row) << "row " << row << " first pixel";
    EXPECT_EQ(last[2], row) << "row " << row << " last pixel";
    EXPECT_EQ(last[0], static_cast<std::uint8_t>(width - 1)) << "row " << row;
  }
}

TEST_F(TgaLoad, EveryPixelIsTurnedWhateverTheirCount) {
  // 3-byte pixels are turned four at a time where 16 bytes can be read and the rest one
  // by one: every count up to 40 pixels must come out whole, the last ones included.
  for (int width = 1; width <= 40; ++width) {
    const Bytes pixels = distinctPixels(width, 3);
    const std::string path = write({0, 0, 2, width, 1, 24, 0}, pixels);
    TgaImage image;
    ASSERT_TRUE(image.load(path.c_str())) << width;
    EXPECT_EQ(asBytes(image), swappedRedBlue(pixels, 3)) << width << " pixels";
  }
}

// --- Refused files ---------------------------------------------------------------------

struct RefusedCase {
  const char* name;
  HeaderFields fields;
};

class TgaLoadRefused : public TgaLoad, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(TgaLoadRefused, RefusesAndKeepsRecord) {
  const RefusedCase& c = GetParam();
  TgaImage image;
  const std::string good =
      folder_.write("good.tga", tgatest::concat(headerBytes({0, 0, 2, 1, 1, 24, 0}), {1, 2, 3}));
  ASSERT_TRUE(image.load(good.c_str()));
  const std::string path = write(c.fields, Bytes(64, 0x55));

  EXPECT_FALSE(image.load(path.c_str())) << c.name;
  EXPECT_EQ(image.width(), 1) << c.name;
  EXPECT_EQ(image.height(), 1) << c.name;
  ASSERT_NE(image.data(), nullptr) << c.name;
  EXPECT_EQ(asBytes(image), (Bytes{3, 2, 1})) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, TgaLoadRefused,
    ::testing::Values(RefusedCase{"colour_map_type_1", {0, 1, 2, 2, 2, 24, 0}},
                      RefusedCase{"type_1_colour_mapped", {0, 1, 1, 2, 2, 8, 0}},
                      RefusedCase{"type_1_without_map", {0, 0, 1, 2, 2, 24, 0}},
                      RefusedCase{"type_3_grey_8", {0, 0, 3, 2, 2, 8, 0}},
                      RefusedCase{"type_3_grey_24", {0, 0, 3, 2, 2, 24, 0}},
                      RefusedCase{"type_9", {0, 0, 9, 2, 2, 8, 0}},
                      RefusedCase{"type_11_grey_8", {0, 0, 11, 2, 2, 8, 0}},
                      RefusedCase{"type_11_grey_32", {0, 0, 11, 2, 2, 32, 0}},
                      RefusedCase{"type_0", {0, 0, 0, 2, 2, 24, 0}},
                      RefusedCase{"depth_8", {0, 0, 2, 2, 2, 8, 0}},
                      RefusedCase{"depth_15", {0, 0, 2, 2, 2, 15, 0}},
                      RefusedCase{"depth_16", {0, 0, 2, 2, 2, 16, 0}},
                      RefusedCase{"depth_23", {0, 0, 10, 2, 2, 23, 0}},
                      RefusedCase{"depth_40", {0, 0, 10, 2, 2, 40, 0}},
                      RefusedCase{"depth_48", {0, 0, 2, 2, 2, 48, 0}},
                      RefusedCase{"width_0", {0, 0, 2, 0, 2, 24, 0}},
                      RefusedCase{"height_0", {0, 0, 2, 2, 0, 24, 0}},
                      RefusedCase{"width_32768", {0, 0, 2, 32768, 1, 24, 0}},
                      RefusedCase{"height_32768", {0, 0, 10, 1, 32768, 32, 0}},
                      RefusedCase{"both_65535", {0, 0, 2, 65535, 65535, 32, 0}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// --- The size bounds ----------------------------------------------------------------------

// The largest block allocated while a watch is on, seen through the sanitizer's
// allocation hooks (every malloc and calloc of the process, the reader's included).
class LargestAllocation {
 public:
  LargestAllocation() {
    largest_ = 0;
    watching_ = true;
  }
  ~LargestAllocation() { watching_ = false; }
  std::size_t bytes() const { return largest_; }

  static bool install() {
#if defined(__SANITIZE_ADDRESS__)
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(seen, freed) != 0;
    return installed;
#else
    return false;
#endif
  }

 private:
  static void freed(const volatile void*) {}  // the sanitizer takes both hooks or none
  static void seen(const volatile void*, std::size_t size) {
    if (watching_ && size > largest_) {
      largest_ = size;
    }
  }
  static inline std::atomic<bool> watching_{false};
  static inline std::atomic<std::size_t> largest_{0};
};

struct BoundCase {
  const char* name;
  int width;
  int height;
};

class TgaLoadBounds : public TgaLoad, public ::testing::WithParamInterface<BoundCase> {
 protected:
  void SetUp() override {
    if (!LargestAllocation::install()) {
      GTEST_SKIP() << "needs the address sanitizer's allocation hooks";
    }
  }
};

class TgaLoadWithinBounds : public TgaLoadBounds {};
class TgaLoadBeyondBounds : public TgaLoadBounds {};

// A short run-length file: one run of 128 pixels, then the end; the rest is filled.
TEST_P(TgaLoadWithinBounds, IsReadAndFilled) {
  const BoundCase& c = GetParam();
  const std::string path = write({0, 0, 10, c.width, c.height, 24, 0}, {0xFF, 1, 2, 3});
  TgaImage image;
  LargestAllocation watch;
  ASSERT_TRUE(image.load(path.c_str())) << c.name;
  const std::size_t expected = static_cast<std::size_t>(c.width) * c.height * 3;
  EXPECT_EQ(image.dataSize(), expected) << c.name;
  EXPECT_GE(watch.bytes(), expected) << c.name << ": the watch did not see the picture";
  EXPECT_EQ(image.data()[0], 3) << c.name;
  EXPECT_EQ(image.data()[128 * 3], 0) << c.name;
  EXPECT_EQ(image.data()[expected - 1], 0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Sizes, TgaLoadWithinBounds,
                         ::testing::Values(BoundCase{"side_16384_by_4096", 16384, 4096},
                                           BoundCase{"side_4096_by_16384", 4096, 16384},
                                           BoundCase{"square_8192", 8192, 8192}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// Refused from the header alone: no block the size of the promised picture is
// allocated, and the record keeps its picture.
TEST_P(TgaLoadBeyondBounds, IsRefusedBeforeAllocating) {
  const BoundCase& c = GetParam();
  TgaImage image;
  const std::string good =
      folder_.write("good.tga", tgatest::concat(headerBytes({0, 0, 2, 1, 1, 24, 0}), {1, 2, 3}));
  ASSERT_TRUE(image.load(good.c_str()));
  for (const std::uint8_t type : {2, 10}) {
    const std::string path = write({0, 0, type, c.width, c.height, 24, 0}, Bytes(30, 0xFF));
    LargestAllocation watch;
    EXPECT_FALSE(image.load(path.c_str())) << c.name << " type " << int{type};
    EXPECT_LT(watch.bytes(), static_cast<std::size_t>(c.width) * c.height * 3)
        << c.name << " type " << int{type};
    EXPECT_EQ(image.width(), 1) << c.name;
    EXPECT_EQ(asBytes(image), (Bytes{3, 2, 1})) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, TgaLoadBeyondBounds,
                         ::testing::Values(BoundCase{"width_16385", 16385, 1},
                                           BoundCase{"height_16385", 1, 16385},
                                           BoundCase{"wide_8193_by_8192", 8193, 8192},
                                           BoundCase{"tall_8192_by_8193", 8192, 8193},
                                           BoundCase{"sides_32767", 32767, 32767}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(TgaLoad, MissingFileKeepsRecord) {
  TgaImage image;
  EXPECT_FALSE(image.load(folder_.pathOf("absent.tga").c_str()));
  EXPECT_EQ(image.data(), nullptr);
  EXPECT_EQ(image.width(), 0);
}

TEST_F(TgaLoad, NullPathIsRefused) {
  TgaImage image;
  EXPECT_FALSE(image.load(nullptr));
  EXPECT_EQ(image.data(), nullptr);
}

struct ShortHeaderCase {
  const char* name;
  std::size_t bytes;
};

class TgaLoadShortHeader : public TgaLoad, public ::testing::WithParamInterface<ShortHeaderCase> {};

TEST_P(TgaLoadShortHeader, IsRefused) {
  const Bytes full = headerBytes({0, 0, 2, 1, 1, 24, 0});
  const std::string path =
      folder_.write("short.tga", Bytes(full.begin(), full.begin() + GetParam().bytes));
  TgaImage image;
  EXPECT_FALSE(image.load(path.c_str())) << GetParam().name;
  EXPECT_EQ(image.data(), nullptr) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Lengths, TgaLoadShortHeader,
                         ::testing::Values(ShortHeaderCase{"empty", 0}, ShortHeaderCase{"one", 1},
                                           ShortHeaderCase{"seventeen", 17}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// --- Files that end early ----------------------------------------------------------------

struct TruncatedCase {
  const char* name;
  std::uint8_t imageType;
  std::uint8_t depth;
  std::uint8_t idLength;
  Bytes payload;
  Bytes expected;  // after the swap; the rest of a 2 x 2 picture must be zero
};

class TgaLoadTruncated : public TgaLoad, public ::testing::WithParamInterface<TruncatedCase> {};

TEST_P(TgaLoadTruncated, RestOfPictureIsZero) {
  const TruncatedCase& c = GetParam();
  const std::string path = write({c.idLength, 0, c.imageType, 2, 2, c.depth, 0}, c.payload);
  TgaImage image;
  ASSERT_TRUE(image.load(path.c_str())) << c.name;
  Bytes expected = c.expected;
  expected.resize(image.dataSize(), 0);
  EXPECT_EQ(asBytes(image), expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Files, TgaLoadTruncated,
    ::testing::Values(
        TruncatedCase{"type2_no_data", 2, 24, 0, {}, {}},
        TruncatedCase{"type2_one_pixel", 2, 24, 0, {1, 2, 3}, {3, 2, 1}},
        TruncatedCase{"type2_mid_pixel", 2, 32, 0, {1, 2, 3, 4, 5, 6}, {3, 2, 1, 4, 0, 6, 5}},
        TruncatedCase{"type2_id_beyond_end", 2, 24, 200, {1, 2, 3}, {}},
        TruncatedCase{"type10_no_packets", 10, 24, 0, {}, {}},
        TruncatedCase{"type10_run_without_pixel", 10, 24, 0, {0x81}, {}},
        TruncatedCase{"type10_run_half_pixel", 10, 24, 0, {0x81, 1, 2}, {}},
        TruncatedCase{"type10_raw_short", 10, 24, 0, {0x03, 1, 2, 3, 4}, {3, 2, 1, 0, 0, 4}},
        TruncatedCase{"type10_after_run", 10, 32, 0, {0x81, 1, 2, 3, 4}, {3, 2, 1, 4, 3, 2, 1, 4}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// --- The record's own operations ---------------------------------------------------------

TEST_F(TgaLoad, FreeDataReleasesPixels) {
  const std::string path = write({0, 0, 2, 1, 1, 24, 0}, {1, 2, 3});
  TgaImage image;
  ASSERT_TRUE(image.load(path.c_str()));
  image.freeData();
  EXPECT_EQ(image.data(), nullptr);
  image.freeData();  // twice is harmless
  EXPECT_EQ(image.data(), nullptr);
}

TEST_F(TgaLoad, SecondLoadReplacesFirst) {
  // The leak checker would report the first picture if it were not released.
  const std::string first =
      folder_.write("a.tga", tgatest::concat(headerBytes({0, 0, 2, 1, 1, 24, 0}), {1, 2, 3}));
  const std::string second = folder_.write(
      "b.tga", tgatest::concat(headerBytes({0, 0, 2, 2, 1, 32, 0}), {1, 2, 3, 4, 5, 6, 7, 8}));
  TgaImage image;
  ASSERT_TRUE(image.load(first.c_str()));
  ASSERT_TRUE(image.load(second.c_str()));
  EXPECT_EQ(image.width(), 2);
  EXPECT_EQ(image.bitsPerPixel(), 32);
  EXPECT_EQ(asBytes(image), (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST_F(TgaLoad, FlipAndSwapTwiceRestorePicture) {
  const Bytes pixels = distinctPixels(4 * 3, 4);
  const std::string path = write({0, 0, 2, 4, 3, 32, 0}, pixels);
  TgaImage image;
  ASSERT_TRUE(image.load(path.c_str()));
  const Bytes loaded = asBytes(image);
  ASSERT_TRUE(image.flipVertical());
  EXPECT_NE(asBytes(image), loaded);
  EXPECT_EQ(Bytes(image.data(), image.data() + 16), Bytes(loaded.begin() + 32, loaded.end()));
  ASSERT_TRUE(image.flipVertical());
  image.swapRedBlue();
  EXPECT_EQ(asBytes(image), pixels);
}

TEST(TgaImageRecord, EmptyRecordRefusesFlipAndIgnoresSwap) {
  TgaImage image;
  EXPECT_FALSE(image.flipVertical());
  image.swapRedBlue();
  EXPECT_EQ(image.data(), nullptr);
}

}  // namespace
