// The front end's picture box: an off-screen bitmap in a memory device context that
// can be read back at any time, whether or not anything shows it. It is filled by a
// grab of the desktop or from a 24-bit BMP (a file or a bitmap resource), and SaveTGA
// reads it through PictureSource.
#pragma once

#include <windows.h>

#include <string>

#include "saver/capture/picture_source.h"

namespace sorvanta::capture {

class OffscreenPicture final : public PictureSource {
 public:
  OffscreenPicture() = default;
  ~OffscreenPicture() override;
  OffscreenPicture(const OffscreenPicture&) = delete;
  OffscreenPicture& operator=(const OffscreenPicture&) = delete;

  // A black picture of that size, compatible with the screen; 0 x 0 empties it. On
  // failure the picture keeps what it had.
  bool resize(int width, int height);

  // Sizes the picture to the screen and copies the desktop into it from the screen's
  // top-left corner, one pixel to one pixel.
  bool grabDesktop();

  // Sizes the picture to the bitmap and copies it in (a BMP file, or a bitmap resource
  // of the module given by its string name).
  bool loadBitmapFile(const std::string& path);
  bool loadBitmapResource(HINSTANCE module, const std::string& resourceName);

  // The memory device context holding the picture (null while empty).
  HDC dc() const { return dc_; }

  int widthInPixels() const override { return width_; }
  int heightInPixels() const override { return height_; }
  void readBits(std::uint8_t* bitmap, std::size_t stride, int width, int height) override;

 private:
  void release();
  // A picture of that size with unspecified pixels (resize without the black fill).
  bool allocate(int width, int height);
  bool copyBitmapIn(HBITMAP source);

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ originalBitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace sorvanta::capture
