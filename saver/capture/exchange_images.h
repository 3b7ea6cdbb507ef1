// The run's two exchange images: which are written, in which order, and what a failed
// write means. The renderer reads them when it starts, so they are written before it.
#pragma once

#include "saver/capture/exchange_folder_rules.h"
#include "saver/capture/picture_source.h"
#include "saver/capture/save_tga.h"

namespace sorvanta::capture {

// How each picture's write ended.
struct ExchangeImagesWritten {
  SaveTgaStatus desktop = SaveTgaStatus::kNotCreated;
  SaveTgaStatus stone = SaveTgaStatus::kNotCreated;
};

// Opens the exchange folder once through `folder` and, holding it, replaces the desktop
// picture and then the stone picture in it, both uncompressed, with one SaveTGA. A
// failed write ends only that picture's step: the other is still written, and the run
// goes on. The renderer then finds the picture that was there before, or none, and
// draws that surface untextured.
ExchangeImagesWritten writeExchangeImages(ExchangeFolderPort& folder, PictureSource& desktop,
                                          PictureSource& stone);

}  // namespace sorvanta::capture
