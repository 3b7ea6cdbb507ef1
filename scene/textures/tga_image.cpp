#include "tga_image.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "exchange/tga_layout.h"

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define SORVANTA_TGA_SHUFFLE 1
#endif

static_assert(TgaImage::kMaxDimension <= exchange::kMaxHeaderDimension,
              "the reader's bound lies within what a header can say");

namespace {

// Closes the file on every way out of load.
struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file != nullptr) {
      std::fclose(file);
    }
  }
};

// What load takes from the header once it has been checked.
struct PixelLayout {
  int width;
  int height;
  int bytesPerPixel;
  std::size_t dataSize;
  bool runLength;
  bool topDown;
  int idLength;
};

bool isAcceptedType(std::uint8_t imageType) {
  return imageType == exchange::kImageTypeUncompressed ||
         imageType == exchange::kImageTypeRunLength;
}

// The pixel buffer's size in bytes, or 0 when it cannot be held in a size_t. Each
// factor is at most 16 bits, so the product cannot overflow 64 bits.
std::size_t pixelBytes(int width, int height, int bytesPerPixel) {
  const std::uint64_t bytes = static_cast<std::uint64_t>(width) *
                              static_cast<std::uint64_t>(height) *
                              static_cast<std::uint64_t>(bytesPerPixel);
  if constexpr (sizeof(std::size_t) < sizeof(std::uint64_t)) {
    if (bytes > SIZE_MAX) {
      return 0;
    }
  }
  return static_cast<std::size_t>(bytes);
}

// Checks the header; false for anything the reader refuses.
bool readLayout(const exchange::TgaHeader& header, PixelLayout& layout) {
  if (header.colourMapType != 0 || !isAcceptedType(header.imageType)) {
    return false;
  }
  if (header.pixelDepth < TgaImage::kMinDepth || header.pixelDepth > TgaImage::kMaxDepth) {
    return false;
  }
  const int width = exchange::readLe16(header.width);
  const int height = exchange::readLe16(header.height);
  if (width <= 0 || height <= 0 || width > TgaImage::kMaxDimension ||
      height > TgaImage::kMaxDimension ||
      static_cast<long long>(width) * height > TgaImage::kMaxPixels) {
    return false;
  }
  layout.width = width;
  layout.height = height;
  layout.bytesPerPixel = header.pixelDepth / 8;
  layout.dataSize = pixelBytes(width, height, layout.bytesPerPixel);
  if (layout.dataSize == 0) {
    return false;
  }
  layout.runLength = header.imageType == exchange::kImageTypeRunLength;
  layout.topDown = (header.descriptor & exchange::kTopDownBit) != 0;
  layout.idLength = header.idLength;
  return true;
}

// Buffered byte source over the rest of the file for the run-length decoder: packets
// are small, so reading them through a block buffer keeps the per-byte cost low.
class ByteSource {
 public:
  explicit ByteSource(std::FILE* file) : file_(file) {}

  // Copies up to `count` bytes to `out`; returns how many there were.
  std::size_t read(std::uint8_t* out, std::size_t count) {
    std::size_t copied = 0;
    while (copied < count) {
      if (next_ == end_ && !refill()) {
        break;
      }
      const std::size_t chunk = std::min(count - copied, static_cast<std::size_t>(end_ - next_));
      std::memcpy(out + copied, buffer_ + next_, chunk);
      next_ += chunk;
      copied += chunk;
    }
    return copied;
  }

  // The next byte, or -1 at the end of the file.
  int get() {
    if (next_ == end_ && !refill()) {
      return -1;
    }
    return buffer_[next_++];
  }

 private:
  bool refill() {
    next_ = 0;
    end_ = std::fread(buffer_, 1, sizeof buffer_, file_);
    return end_ > 0;
  }

  std::FILE* file_;
  std::uint8_t buffer_[16384];
  std::size_t next_ = 0;
  std::size_t end_ = 0;
};

// Repeats one pixel over `bytes` bytes (a whole number of pixels), doubling the copied
// stretch each time instead of copying pixel by pixel.
void fillRun(std::uint8_t* out, std::size_t bytes, const std::uint8_t* pixel,
             std::size_t pixelBytes) {
  std::memcpy(out, pixel, pixelBytes);
  std::size_t done = pixelBytes;
  while (done < bytes) {
    const std::size_t chunk = std::min(done, bytes - done);
    std::memcpy(out + done, out, chunk);
    done += chunk;
  }
}

// Decodes run-length packets into `data` until it is full or the file ends; whatever
// is not reached stays as it was (zero). A packet that would overfill is cut off.
void decodeRunLength(std::FILE* file, std::uint8_t* data, std::size_t dataSize, int bytesPerPixel) {
  ByteSource source(file);
  const std::size_t pixelBytes = static_cast<std::size_t>(bytesPerPixel);
  std::size_t filled = 0;
  while (filled < dataSize) {
    const int packet = source.get();
    if (packet < 0) {
      return;
    }
    const std::size_t pixels = static_cast<std::size_t>(packet & 0x7F) + 1;
    const std::size_t bytes = std::min(pixels * pixelBytes, dataSize - filled);
    if ((packet & exchange::kRunPacketBit) != 0) {
      std::uint8_t pixel[4];
      if (source.read(pixel, pixelBytes) != pixelBytes) {
        return;
      }
      fillRun(data + filled, bytes, pixel, pixelBytes);
      filled += bytes;
    } else {
      const std::size_t got = source.read(data + filled, bytes);
      filled += got;
      if (got < bytes) {
        return;
      }
    }
  }
}

// Exchanges the first and third byte of every pixel of `step` bytes, one by one.
void swapFirstAndThird(std::uint8_t* bytes, std::size_t size, std::size_t step) {
  for (std::size_t i = 0; i + 2 < size; i += step) {
    std::swap(bytes[i], bytes[i + 2]);
  }
}

#ifdef SORVANTA_TGA_SHUFFLE
// The swap is the reader's one pass over the whole picture besides the file read. For
// 3-byte pixels one SSSE3 byte shuffle turns four pixels at a time: a 16-byte load, of
// which the 12 turned bytes are stored back (8 + 4). Storing all 16 would make the
// next load, 12 bytes on, overlap a store still in flight, which the processor can't
// forward: that stalls every step and is slower than going pixel by pixel. Returns
// how many bytes it has done.
__attribute__((target("ssse3"))) std::size_t swapRedBlue24Shuffled(std::uint8_t* bytes,
                                                                   std::size_t size) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 12, 13, 14, 15);
  std::size_t done = 0;
  for (; done + 16 <= size; done += 12) {
    std::uint8_t* at = bytes + done;
    const __m128i turned =
        _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), order);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(at), turned);
    const auto last = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(turned, 8)));
    std::memcpy(at + 8, &last, sizeof last);
  }
  return done;
}

bool haveByteShuffle() {
  static const bool have = __builtin_cpu_supports("ssse3");
  return have;
}
#endif

void skipBytes(std::FILE* file, int count) {
  if (count > 0) {
    std::fseek(file, count, SEEK_CUR);
  }
}

}  // namespace

TgaImage::~TgaImage() {
  freeData();
}

bool TgaImage::load(const char* path) {
  if (path == nullptr) {
    return false;
  }
  FileCloser file{std::fopen(path, "rb")};
  if (file.file == nullptr) {
    return false;
  }
  exchange::TgaHeader header;
  if (std::fread(&header, 1, sizeof header, file.file) != sizeof header) {
    return false;
  }
  PixelLayout layout{};
  if (!readLayout(header, layout)) {
    return false;
  }
  // Zeroed memory: whatever a short file does not supply stays black. Large blocks
  // come zeroed from the system, so this costs nothing for a complete file.
  auto* pixels = static_cast<std::uint8_t*>(std::calloc(layout.dataSize, 1));
  if (pixels == nullptr) {
    return false;
  }
  skipBytes(file.file, layout.idLength);
  if (layout.runLength) {
    decodeRunLength(file.file, pixels, layout.dataSize, layout.bytesPerPixel);
  } else {
    const std::size_t supplied = std::fread(pixels, 1, layout.dataSize, file.file);
    static_cast<void>(supplied);  // a short file leaves the rest black, as said above
  }

  freeData();
  data_ = pixels;
  width_ = layout.width;
  height_ = layout.height;
  dataSize_ = layout.dataSize;
  dataType_ = kTgaGlUnsignedByte;
  bitsPerPixel_ = static_cast<std::uint8_t>(layout.bytesPerPixel * 8);
  format_ = layout.bytesPerPixel == 3 ? kTgaGlRgb : kTgaGlRgba;
  if (layout.topDown) {
    flipVertical();
  }
  swapRedBlue();
  return data_ != nullptr;
}

bool TgaImage::flipVertical() {
  if (data_ == nullptr) {
    return false;
  }
  if (bitsPerPixel_ != 24 && bitsPerPixel_ != 32) {
    return true;
  }
  const std::size_t rowBytes = static_cast<std::size_t>(width_) * bytesPerPixel();
  auto* spare = new (std::nothrow) std::uint8_t[rowBytes];
  if (spare == nullptr) {
    return false;
  }
  for (int row = 0; row < height_ / 2; ++row) {
    std::uint8_t* lower = data_ + static_cast<std::size_t>(row) * rowBytes;
    std::uint8_t* upper = data_ + static_cast<std::size_t>(height_ - 1 - row) * rowBytes;
    std::memcpy(spare, lower, rowBytes);
    std::memcpy(lower, upper, rowBytes);
    std::memcpy(upper, spare, rowBytes);
  }
  delete[] spare;
  return true;
}

void TgaImage::swapRedBlue() {
  if (data_ == nullptr || (bitsPerPixel_ != 24 && bitsPerPixel_ != 32)) {
    return;
  }
  const std::size_t step = static_cast<std::size_t>(bytesPerPixel());
  const std::size_t size =
      static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * step;
  std::size_t done = 0;
#ifdef SORVANTA_TGA_SHUFFLE
  if (step == 3 && haveByteShuffle()) {
    done = swapRedBlue24Shuffled(data_, size);
  }
#endif
  swapFirstAndThird(data_ + done, size - done, step);
}

void TgaImage::freeData() {
  std::free(data_);
  data_ = nullptr;
}
