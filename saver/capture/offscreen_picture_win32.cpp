#include "saver/capture/offscreen_picture_win32.h"

#include <algorithm>
#include <cstdlib>

#include "saver/text/wide_text_win32.h"

namespace sorvanta::capture {

namespace {

// The description of a 24-bit bottom-up bitmap of the picture's size, the layout in
// which GetDIBits reads the picture back.
BITMAPINFO bottomUpRgb24(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// A memory device context with one bitmap selected, both released together.
class SelectedBitmap {
 public:
  SelectedBitmap(HDC compatibleWith, HBITMAP bitmap)
      : dc_(CreateCompatibleDC(compatibleWith)), bitmap_(bitmap) {
    if (dc_ != nullptr && bitmap_ != nullptr) {
      original_ = SelectObject(dc_, bitmap_);
    }
  }
  ~SelectedBitmap() {
    deselect();
    if (dc_ != nullptr) {
      DeleteDC(dc_);
    }
    if (bitmap_ != nullptr) {
      DeleteObject(bitmap_);
    }
  }
  SelectedBitmap(const SelectedBitmap&) = delete;
  SelectedBitmap& operator=(const SelectedBitmap&) = delete;

  bool ready() const { return original_ != nullptr; }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  // Puts the context's first bitmap back, so the bitmap may be read with GetDIBits.
  void deselect() {
    if (original_ != nullptr) {
      SelectObject(dc_, original_);
      original_ = nullptr;
    }
  }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ original_ = nullptr;
};

}  // namespace

OffscreenPicture::~OffscreenPicture() {
  release();
}

void OffscreenPicture::release() {
  if (dc_ != nullptr) {
    SelectObject(dc_, originalBitmap_);
    DeleteDC(dc_);
  }
  if (bitmap_ != nullptr) {
    DeleteObject(bitmap_);
  }
  dc_ = nullptr;
  bitmap_ = nullptr;
  originalBitmap_ = nullptr;
  width_ = 0;
  height_ = 0;
}

bool OffscreenPicture::resize(int width, int height) {
  if (!allocate(width, height)) {
    return false;
  }
  if (dc_ != nullptr) {
    PatBlt(dc_, 0, 0, width_, height_, BLACKNESS);
  }
  return true;
}

bool OffscreenPicture::allocate(int width, int height) {
  if (width < 0 || height < 0) {
    return false;
  }
  if (width == 0 || height == 0) {
    release();
    return true;
  }
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) {
    return false;
  }
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = dc != nullptr ? CreateCompatibleBitmap(screen, width, height) : nullptr;
  ReleaseDC(nullptr, screen);
  HGDIOBJ original = bitmap != nullptr ? SelectObject(dc, bitmap) : nullptr;
  if (original == nullptr) {
    if (bitmap != nullptr) {
      DeleteObject(bitmap);
    }
    if (dc != nullptr) {
      DeleteDC(dc);
    }
    return false;
  }
  release();
  dc_ = dc;
  bitmap_ = bitmap;
  originalBitmap_ = original;
  width_ = width;
  height_ = height;
  return true;
}

bool OffscreenPicture::grabDesktop() {
  // Not filled black first: the copy below covers every pixel.
  if (!allocate(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)) || dc_ == nullptr) {
    return false;
  }
  HWND desktop = GetDesktopWindow();
  HDC desktopDc = GetDC(desktop);
  if (desktopDc == nullptr) {
    return false;
  }
  const bool copied = BitBlt(dc_, 0, 0, width_, height_, desktopDc, 0, 0, SRCCOPY) != 0;
  ReleaseDC(desktop, desktopDc);
  return copied;
}

bool OffscreenPicture::copyBitmapIn(HBITMAP source) {
  BITMAP description{};
  if (GetObjectW(source, sizeof description, &description) == 0 ||
      !resize(description.bmWidth, std::abs(description.bmHeight))) {
    DeleteObject(source);
    return false;
  }
  if (dc_ == nullptr) {  // an empty bitmap: nothing to copy
    DeleteObject(source);
    return true;
  }
  SelectedBitmap loaded(dc_, source);  // owns source from here on
  return loaded.ready() && BitBlt(dc_, 0, 0, width_, height_, loaded.dc(), 0, 0, SRCCOPY) != 0;
}

bool OffscreenPicture::loadBitmapFile(const std::string& path) {
  HANDLE image = LoadImageW(nullptr, Sorvanta_B::widen(path).c_str(), IMAGE_BITMAP, 0, 0,
                            LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  return image != nullptr && copyBitmapIn(static_cast<HBITMAP>(image));
}

bool OffscreenPicture::loadBitmapResource(HINSTANCE module, const std::string& resourceName) {
  HANDLE image = LoadImageW(module, Sorvanta_B::widen(resourceName).c_str(), IMAGE_BITMAP, 0, 0,
                            LR_CREATEDIBSECTION);
  return image != nullptr && copyBitmapIn(static_cast<HBITMAP>(image));
}

void OffscreenPicture::readBits(std::uint8_t* bitmap, std::size_t stride, int width, int height) {
  if (dc_ == nullptr || width <= 0 || height <= 0) {
    return;
  }
  // Read straight from the picture's own bitmap, set aside from its context while
  // GetDIBits reads it: one copy of the pixels, not one into a section and one out.
  // The picture's top rows land at the top of the bottom-up buffer.
  const int rows = std::min(height, height_);
  BITMAPINFO description = bottomUpRgb24(width, rows);
  SelectObject(dc_, originalBitmap_);
  GetDIBits(dc_, bitmap_, static_cast<UINT>(height_ - rows), static_cast<UINT>(rows),
            bitmap + static_cast<std::size_t>(height - rows) * stride, &description,
            DIB_RGB_COLORS);
  SelectObject(dc_, bitmap_);
}

}  // namespace sorvanta::capture
