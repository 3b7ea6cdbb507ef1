#include "saver/capture/exchange_images.h"

#include "exchange/tga_layout.h"

namespace sorvanta::capture {

ExchangeImagesWritten writeExchangeImages(ExchangeFolderPort& folder, PictureSource& desktop,
                                          PictureSource& stone) {
  ExchangeFolderFiles files(folder, exchange::kFolder);
  SaveTGA writer(files);
  ExchangeImagesWritten written;
  written.desktop = writer.SaveTGAinFile(exchange::kDesktopImagePath, desktop, false);
  written.stone = writer.SaveTGAinFile(exchange::kStoneImagePath, stone, false);
  return written;
}

}  // namespace sorvanta::capture
