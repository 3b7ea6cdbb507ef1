// SaveTGA: writes a picture of the front end as an exchange image (uncompressed
// type 2 or run-length encoded type 10), replacing any file of that name.
//
// The run form's use (Windows):
//   sorvanta::capture::OffscreenPicture Pic_1, Pic_2;       // offscreen_picture_win32.h
//   Pic_2.loadBitmapResource(instance, "NAME");   // the 256 x 256 stone, at creation
//   Pic_1.grabDesktop();
//   sorvanta::capture::ExchangeFolderPortWin32 folder;        // exchange_folder_win32.h
//   sorvanta::capture::ExchangeFolderFiles files(folder, exchange::kFolder);
//   sorvanta::capture::SaveTGA saver(files);
//   saver.SaveTGAinFile(exchange::kDesktopImagePath, Pic_1, false);
//   saver.SaveTGAinFile(exchange::kStoneImagePath, Pic_2, false);
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "saver/capture/exchange_files_port.h"
#include "saver/capture/picture_source.h"

namespace sorvanta::capture {

enum class SaveTgaStatus {
  kSaved,
  kBadSize,      // a negative width or height
  kTooLarge,     // wider or taller than the header's 32767; the old file is untouched
  kOutOfMemory,  // a buffer could not be had; the old file is untouched
  kNotDeleted,   // the old file could not be deleted, or is a link: it stays as it was
  kNotCreated,   // the new file could not be created (a missing or refused folder)
  kNotWritten,   // the new file could not be written completely; nothing is left
};

// A short English name of the status, for test messages and logs.
const char* statusName(SaveTgaStatus status);

class SaveTGA {
 public:
  explicit SaveTGA(ExchangeFilesPort& files) : files_(files) {}

  // Reads the whole picture at its size in pixels and writes it to fileName: image
  // type 10 when compress is true, type 2 otherwise. Every buffer, graphics object
  // and file it makes is released before it returns, whatever happens.
  [[nodiscard]] SaveTgaStatus SaveTGAinFile(const std::string& fileName, PictureSource& picture,
                                            bool compress);

 private:
  SaveTgaStatus saveReadPicture(const std::string& fileName, PictureSource& picture);
  void ReadPictureBits(PictureSource& picture, std::vector<std::uint8_t>& bitmap,
                       std::size_t stride) const;
  SaveTgaStatus removeOldFile(const std::string& fileName);
  SaveTgaStatus WriteTGA(const std::string& fileName, const std::vector<std::uint8_t>& pixels,
                         int width, int height);

  // The encoder's packets: a work buffer sized for the worst case, left uninitialised
  // (the encoder writes every byte it reports), and how many bytes it holds.
  struct Packets {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
  };
  static Packets CompressRLE(const std::vector<std::uint8_t>& pixels, int width);

  ExchangeFilesPort& files_;
  std::int16_t compress_ = 0;  // -1 (true) or 0 (false)
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
};

}  // namespace sorvanta::capture
