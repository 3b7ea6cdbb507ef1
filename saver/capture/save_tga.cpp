#include "saver/capture/save_tga.h"

#include <new>

#include "exchange/tga_layout.h"
#include "saver/capture/tga_pixels.h"

namespace sorvanta::capture {

namespace {

bool fitsHeader(int width, int height) {
  return width <= exchange::kMaxHeaderDimension && height <= exchange::kMaxHeaderDimension;
}

std::size_t pixelBytes(int width, int height) {
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
         exchange::kBytesPerPixel;
}

SaveTgaStatus fromWrite(FileWriteResult result) {
  switch (result) {
    case FileWriteResult::kWritten:
      return SaveTgaStatus::kSaved;
    case FileWriteResult::kNotCreated:
      return SaveTgaStatus::kNotCreated;
    case FileWriteResult::kNotWritten:
      break;
  }
  return SaveTgaStatus::kNotWritten;
}

}  // namespace

// The old file goes only when it is a plain file: a link (to, say, one of the user's
// own documents) or anything that cannot be examined is left alone, and so is a
// folder that is refused.
SaveTgaStatus SaveTGA::removeOldFile(const std::string& fileName) {
  switch (files_.examine(fileName)) {
    case EntryKind::kMissing:
      return SaveTgaStatus::kSaved;
    case EntryKind::kPlain:
      return files_.remove(fileName) ? SaveTgaStatus::kSaved : SaveTgaStatus::kNotDeleted;
    case EntryKind::kNoFolder:
      return SaveTgaStatus::kNotCreated;
    case EntryKind::kLink:
    case EntryKind::kUnreadable:
      break;
  }
  return SaveTgaStatus::kNotDeleted;
}

const char* statusName(SaveTgaStatus status) {
  switch (status) {
    case SaveTgaStatus::kSaved:
      return "saved";
    case SaveTgaStatus::kBadSize:
      return "bad size";
    case SaveTgaStatus::kTooLarge:
      return "too large";
    case SaveTgaStatus::kOutOfMemory:
      return "out of memory";
    case SaveTgaStatus::kNotDeleted:
      return "old file not deleted";
    case SaveTgaStatus::kNotCreated:
      return "file not created";
    case SaveTgaStatus::kNotWritten:
      return "file not written";
  }
  return "unknown";
}

SaveTgaStatus SaveTGA::SaveTGAinFile(const std::string& fileName, PictureSource& picture,
                                     bool compress) {
  compress_ = compress ? -1 : 0;
  width_ = picture.widthInPixels();
  height_ = picture.heightInPixels();
  if (width_ < 0 || height_ < 0) {
    return SaveTgaStatus::kBadSize;
  }
  // Refused before any buffer is sized by it: the header could not describe it anyway.
  if (!fitsHeader(width_, height_)) {
    return SaveTgaStatus::kTooLarge;
  }
  try {
    return saveReadPicture(fileName, picture);
  } catch (const std::bad_alloc&) {
    return SaveTgaStatus::kOutOfMemory;
  }
}

SaveTgaStatus SaveTGA::saveReadPicture(const std::string& fileName, PictureSource& picture) {
  const std::size_t stride = bitmapStride(width_);
  // Zeroed: whatever the read-back cannot fill stays black.
  std::vector<std::uint8_t> bitmap(stride * static_cast<std::size_t>(height_));
  ReadPictureBits(picture, bitmap, stride);
  // The pixel buffer is the bitmap buffer with its rows closed up in place (one block
  // when there is no padding, one per row otherwise): one full-screen buffer, not two.
  copyRowsWithoutPadding(bitmap.data(), stride, width_, height_, bitmap.data());
  bitmap.resize(pixelBytes(width_, height_));
  return WriteTGA(fileName, bitmap, width_, height_);
}

void SaveTGA::ReadPictureBits(PictureSource& picture, std::vector<std::uint8_t>& bitmap,
                              std::size_t stride) const {
  if (!bitmap.empty()) {
    picture.readBits(bitmap.data(), stride, width_, height_);
  }
}

SaveTgaStatus SaveTGA::WriteTGA(const std::string& fileName,
                                const std::vector<std::uint8_t>& pixels, int width, int height) {
  if (!fitsHeader(width, height)) {
    return SaveTgaStatus::kTooLarge;
  }
  const bool compress = compress_ != 0;
  const exchange::TgaHeader header = exchange::makeHeader(
      width, height, compress ? exchange::kImageTypeRunLength : exchange::kImageTypeUncompressed);
  // Encoded before the old file goes, so that running out of memory leaves it in place.
  Packets packets;
  if (compress) {
    packets = CompressRLE(pixels, width);
  }
  const std::uint8_t* body = compress ? packets.bytes.get() : pixels.data();
  const std::size_t bodySize = compress ? packets.size : pixels.size();
  const SaveTgaStatus replaced = removeOldFile(fileName);
  if (replaced != SaveTgaStatus::kSaved) {
    return replaced;
  }
  return fromWrite(files_.write(fileName, reinterpret_cast<const std::uint8_t*>(&header),
                                sizeof header, body, bodySize));
}

SaveTGA::Packets SaveTGA::CompressRLE(const std::vector<std::uint8_t>& pixels, int width) {
  const std::size_t pixelCount = pixels.size() / exchange::kBytesPerPixel;
  Packets packets;
  packets.bytes.reset(new std::uint8_t[runLengthCapacity(pixelCount) + 1]);
  packets.size = encodeRunLength(pixels.data(), pixelCount, width, packets.bytes.get());
  return packets;
}

}  // namespace sorvanta::capture
