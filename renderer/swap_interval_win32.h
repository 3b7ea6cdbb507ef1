// One frame per refresh: the renderer asks the driver for a swap interval of 1, its own
// default, rather than leave it to a control panel that may let it draw hundreds of
// frames a second for hours.
#pragma once

namespace sorvanta {

// With the rendering context current: wglSwapIntervalEXT(1) when the driver offers
// WGL_EXT_swap_control; nothing otherwise. True when the interval was set.
bool askForOneFramePerRefresh();

}  // namespace sorvanta
