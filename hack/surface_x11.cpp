#include "surface_x11.h"

#include <cstdlib>

namespace sorvanta::hack {
namespace {

constexpr char kWindowTitle[] = "Sorvanta";

constexpr int kVisualAttributes[] = {GLX_RGBA,
                                     GLX_DOUBLEBUFFER,
                                     GLX_RED_SIZE,
                                     8,
                                     GLX_GREEN_SIZE,
                                     8,
                                     GLX_BLUE_SIZE,
                                     8,
                                     GLX_DEPTH_SIZE,
                                     24,
                                     GLX_STENCIL_SIZE,
                                     8,
                                     None};

// True when GL can draw the scene straight into windows of this visual: RGBA, double
// buffered, with depth and the stencil the mirror needs.
bool visualSuits(Display* display, XVisualInfo* info) {
  int useGl = 0;
  int rgba = 0;
  int doubleBuffer = 0;
  int depth = 0;
  int stencil = 0;
  glXGetConfig(display, info, GLX_USE_GL, &useGl);
  glXGetConfig(display, info, GLX_RGBA, &rgba);
  glXGetConfig(display, info, GLX_DOUBLEBUFFER, &doubleBuffer);
  glXGetConfig(display, info, GLX_DEPTH_SIZE, &depth);
  glXGetConfig(display, info, GLX_STENCIL_SIZE, &stencil);
  return useGl != 0 && rgba != 0 && doubleBuffer != 0 && depth >= 16 && stencil >= 8;
}

XVisualInfo* visualOfWindow(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) == 0) {
    return nullptr;
  }
  XVisualInfo wanted{};
  wanted.visualid = XVisualIDFromVisual(attributes.visual);
  wanted.screen = XScreenNumberOfScreen(attributes.screen);
  int count = 0;
  return XGetVisualInfo(display, VisualIDMask | VisualScreenMask, &wanted, &count);
}

Window createWindow(Display* display, Window parent, XVisualInfo* visual, int x, int y, int width,
                    int height, long events) {
  XSetWindowAttributes attributes{};
  attributes.colormap = XCreateColormap(display, parent, visual->visual, AllocNone);
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  attributes.event_mask = events;
  return XCreateWindow(display, parent, x, y, static_cast<unsigned>(width),
                       static_cast<unsigned>(height), 0, visual->depth, InputOutput, visual->visual,
                       CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
}

}  // namespace

bool makeOwnWindow(Display* display, const Options& options, Surface& surface) {
  const int screen = DefaultScreen(display);
  surface.visual = glXChooseVisual(display, screen, const_cast<int*>(kVisualAttributes));
  if (surface.visual == nullptr) {
    return false;
  }
  surface.own = true;
  surface.width = options.width;
  surface.height = options.height;
  surface.drawable = createWindow(display, RootWindow(display, screen), surface.visual, options.x,
                                  options.y, options.width, options.height,
                                  KeyPressMask | StructureNotifyMask | ExposureMask);
  XStoreName(display, surface.drawable, kWindowTitle);
  XSizeHints hints{};
  hints.flags = PSize | (options.placed ? USPosition : 0);
  hints.x = options.x;
  hints.y = options.y;
  hints.width = options.width;
  hints.height = options.height;
  XSetWMNormalHints(display, surface.drawable, &hints);
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, surface.drawable, &deleteWindow, 1);
  return true;
}

bool useGivenWindow(Display* display, Window given, Surface& surface) {
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, given, &attributes) == 0) {
    return false;
  }
  surface.width = attributes.width;
  surface.height = attributes.height;
  XSelectInput(display, given, attributes.your_event_mask | StructureNotifyMask);
  surface.visual = visualOfWindow(display, given);
  if (surface.visual != nullptr && visualSuits(display, surface.visual)) {
    surface.drawable = given;
    return true;
  }
  if (surface.visual != nullptr) {
    XFree(surface.visual);
  }
  surface.visual = glXChooseVisual(display, XScreenNumberOfScreen(attributes.screen),
                                   const_cast<int*>(kVisualAttributes));
  if (surface.visual == nullptr) {
    return false;
  }
  surface.followed = given;
  surface.drawable = createWindow(display, given, surface.visual, 0, 0, surface.width,
                                  surface.height, StructureNotifyMask);
  return true;
}

bool windowExists(Display* display, Window window) {
  const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  XWindowAttributes attributes{};
  const bool exists = XGetWindowAttributes(display, window, &attributes) != 0;
  XSetErrorHandler(previous);
  return exists;
}

Window windowFromEnvironment(Display* display) {
  unsigned long id = 0;
  if (parseWindowId(std::getenv("XSCREENSAVER_WINDOW"), id)) {
    return static_cast<Window>(id);
  }
  return DefaultRootWindow(display);
}

}  // namespace sorvanta::hack
