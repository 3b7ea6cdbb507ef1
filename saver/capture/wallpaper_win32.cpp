#include "saver/capture/wallpaper_win32.h"

#include <windows.h>
#include <wincodec.h>

#include <cwchar>

#include "saver/capture/wallpaper_layout.h"
#include "saver/text/wide_text_win32.h"

namespace sorvanta::capture {

namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
// A larger picture is not read: 256 MiB of pixels, a 8192 x 8192 wallpaper.
constexpr UINT kMostWallpaperPixels = 8192u * 8192u;

// Releases the COM object it holds.
template <typename Interface>
class Held {
 public:
  Held() = default;
  ~Held() {
    if (object_ != nullptr) {
      object_->Release();
    }
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  Interface** out() { return &object_; }
  Interface* operator->() const { return object_; }
  Interface* get() const { return object_; }

 private:
  Interface* object_ = nullptr;
};

// COM for the calling thread while it lives, unless the thread has it already.
class ComForThisThread {
 public:
  ComForThisThread() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComForThisThread() {
    if (initialised_) {
      CoUninitialize();
    }
  }
  ComForThisThread(const ComForThisThread&) = delete;
  ComForThisThread& operator=(const ComForThisThread&) = delete;

 private:
  bool initialised_;
};

std::wstring wallpaperPath() {
  wchar_t path[MAX_PATH + 1] = {};
  if (!SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0)) {
    return {};
  }
  return path;
}

std::string desktopSetting(const wchar_t* name) {
  wchar_t value[64] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  return Sorvanta_B::narrow(value);
}

// The picture file in 32-bit blue-green-red, top row first; empty when it cannot be read.
WallpaperPicture decodedPicture(const std::wstring& path) {
  WallpaperPicture picture;
  const ComForThisThread com;
  Held<IWICImagingFactory> factory;
  Held<IWICBitmapDecoder> decoder;
  Held<IWICBitmapFrameDecode> frame;
  Held<IWICFormatConverter> converter;
  UINT width = 0;
  UINT height = 0;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out()))) ||
      FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, decoder.out())) ||
      FAILED(decoder->GetFrame(0, frame.out())) ||
      FAILED(factory->CreateFormatConverter(converter.out())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 ||
      width > kMostWallpaperPixels / height) {
    return picture;
  }
  picture.pixels.resize(static_cast<std::size_t>(width) * height);
  const UINT stride = width * 4;
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * height,
                                   reinterpret_cast<BYTE*>(picture.pixels.data())))) {
    picture.pixels.clear();
    return picture;
  }
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  return picture;
}

// COLOR_DESKTOP as 0x00RRGGBB (a COLORREF is 0x00BBGGRR).
std::uint32_t desktopColour() {
  const COLORREF colour = GetSysColor(COLOR_DESKTOP);
  return static_cast<std::uint32_t>(GetRValue(colour)) << 16 |
         static_cast<std::uint32_t>(GetGValue(colour)) << 8 | GetBValue(colour);
}

bool drawInto(OffscreenPicture& picture, const WallpaperPicture& screen) {
  if (!picture.resize(screen.width, screen.height) || picture.dc() == nullptr) {
    return false;
  }
  BITMAPINFO description{};
  description.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  description.bmiHeader.biWidth = screen.width;
  description.bmiHeader.biHeight = -screen.height;  // top row first
  description.bmiHeader.biPlanes = 1;
  description.bmiHeader.biBitCount = 32;
  description.bmiHeader.biCompression = BI_RGB;
  return SetDIBitsToDevice(picture.dc(), 0, 0, static_cast<DWORD>(screen.width),
                           static_cast<DWORD>(screen.height), 0, 0, 0,
                           static_cast<UINT>(screen.height), screen.pixels.data(), &description,
                           DIB_RGB_COLORS) == screen.height;
}

}  // namespace

std::string currentDesktopName() {
  HDESK desktop = GetThreadDesktop(GetCurrentThreadId());
  wchar_t name[256] = {};
  DWORD needed = 0;
  if (desktop == nullptr ||
      !GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof name - sizeof(wchar_t), &needed)) {
    return {};
  }
  return Sorvanta_B::narrow(name);
}

bool showWallpaper(OffscreenPicture& picture) {
  const std::wstring path = wallpaperPath();
  const WallpaperPicture wallpaper = path.empty() ? WallpaperPicture{} : decodedPicture(path);
  const WallpaperStyle style =
      wallpaperStyleOf(desktopSetting(L"WallpaperStyle"), desktopSetting(L"TileWallpaper"));
  return drawInto(picture, arrangeWallpaper(wallpaper, GetSystemMetrics(SM_CXSCREEN),
                                            GetSystemMetrics(SM_CYSCREEN), style, desktopColour()));
}

}  // namespace sorvanta::capture
