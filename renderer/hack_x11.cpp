// The XScreenSaver hack `sorvanta`: the renderer's scene in an X window through GLX.
// It finds or makes the window, takes the floor picture (the daemon's image helper, or
// a photograph of the root window when it runs on its own), and runs the frame loop
// with XScreenSaver's pacing until a signal, Escape or the window's close ends it.
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "frame_timer.h"
#include "hack.h"
#include "scene_app.h"
#include "stone_texture.h"
#include "view_swing.h"

extern char** environ;

namespace {

using sorvanta::hack::Options;
using sorvanta::hack::Target;

constexpr char kWindowTitle[] = "Sorvanta";
constexpr char kImageHelper[] = "xscreensaver-getimage";
// Debian keeps the helper with the hacks, on the PATH the daemon gives its hacks.
constexpr char kImageHelperPath[] = "/usr/libexec/xscreensaver/xscreensaver-getimage";
constexpr int kImageHelperTimeoutMilliseconds = 20000;

// ---- Signals. The daemon ends its hacks with SIGTERM and wants them gone at once.
// Nothing needs saving: the pictures live in memory files and every X resource goes
// with the connection, so the handler ends the process itself, wherever the frame
// is, taking a running image helper with it so that no child outlives the hack.

// The running image helper, which leads a process group of its own: the helpers it
// starts itself (for image folders, videos and feeds) are in that group too.
volatile pid_t imageHelper = 0;

// Ends the helper's whole group. The helper, not yet reaped, keeps the group's id
// from being given to another process until this is done.
void endImageHelperGroup(pid_t child) {
  kill(-child, SIGKILL);
  imageHelper = 0;
  int status = 0;
  waitpid(child, &status, 0);
}

extern "C" void onStopSignal(int) {
  const pid_t child = imageHelper;
  if (child > 0) {
    endImageHelperGroup(child);
  }
  _exit(0);
}

// SIGCHLD goes back to its default too: inherited as ignored, it would leave no
// ended helper to wait for, and its picture would be dropped unread.
bool installSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigfillset(&action.sa_mask);
  return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0 &&
         signal(SIGCHLD, SIG_DFL) != SIG_ERR;
}

double monotonicSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::uint32_t monotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const std::uint64_t milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                     static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(milliseconds);
}

// ---- X errors: a window the daemon has already destroyed ends the hack quietly.

bool windowLost = false;
bool otherXError = false;

int onXError(Display* display, XErrorEvent* event) {
  if (event->error_code == BadWindow || event->error_code == BadDrawable) {
    windowLost = true;
    return 0;
  }
  char text[256];
  XGetErrorText(display, event->error_code, text, sizeof text);
  std::fprintf(stderr, "sorvanta: X error: %s\n", text);
  otherXError = true;
  return 0;
}

// ---- Pictures read back from X.

struct Picture {
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB, top row first
  int width = 0;
  int height = 0;
};

// Reads a drawable of a true-colour visual; nothing for other visuals.
Picture readDrawable(Display* display, Drawable drawable, const Visual* visual, int width,
                     int height) {
  Picture picture;
  if (visual == nullptr || width <= 0 || height <= 0) {
    return picture;
  }
  XImage* image = XGetImage(display, drawable, 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) {
    return picture;
  }
  picture.width = width;
  picture.height = height;
  picture.pixels.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      const std::uint32_t red = sorvanta::hack::channelValue(pixel, visual->red_mask);
      const std::uint32_t green = sorvanta::hack::channelValue(pixel, visual->green_mask);
      const std::uint32_t blue = sorvanta::hack::channelValue(pixel, visual->blue_mask);
      picture.pixels[static_cast<std::size_t>(y) * width + x] = (red << 16) | (green << 8) | blue;
    }
  }
  XDestroyImage(image);
  return picture;
}

// Stand-alone: the screen as it is before the hack's own window appears.
Picture photographRoot(Display* display) {
  const int screen = DefaultScreen(display);
  return readDrawable(display, RootWindow(display, screen), DefaultVisual(display, screen),
                      DisplayWidth(display, screen), DisplayHeight(display, screen));
}

std::string windowIdText(unsigned long id) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", id);
  return text;
}

pid_t startImageHelper(Window window, Pixmap pixmap) {
  std::string windowText = windowIdText(window);
  std::string pixmapText = windowIdText(pixmap);
  char* arguments[] = {const_cast<char*>(kImageHelper), windowText.data(), pixmapText.data(),
                       nullptr};
  // The stop signals wait while the child starts, so the handler always knows it.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigset_t previous;
  sigprocmask(SIG_BLOCK, &stopSignals, &previous);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setsigmask(&attributes, &previous);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
  pid_t child = 0;
  if (posix_spawnp(&child, kImageHelper, nullptr, &attributes, arguments, environ) != 0 &&
      posix_spawn(&child, kImageHelperPath, nullptr, &attributes, arguments, environ) != 0) {
    child = -1;
  }
  posix_spawnattr_destroy(&attributes);
  imageHelper = child;
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  return child;
}

// Waits for the helper, up to the timeout; then ends its group, whatever is still
// running in it. True when the helper itself finished its work in time.
bool awaitImageHelper(pid_t child) {
  const double deadline = monotonicSeconds() + kImageHelperTimeoutMilliseconds / 1000.0;
  siginfo_t ended{};
  // WNOWAIT: an ended helper stays unreaped, and its group id taken, until the group
  // has been ended.
  while (waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         ended.si_pid == 0 && monotonicSeconds() < deadline) {
    poll(nullptr, 0, 20);
  }
  endImageHelperGroup(child);
  return ended.si_pid == child && ended.si_code == CLD_EXITED && ended.si_status == 0;
}

// Under XScreenSaver: the daemon's image helper paints its chosen picture (normally
// the desktop as it was before blanking, if the user allows that) onto a pixmap.
Picture imageFromHelper(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.width <= 0) {
    return {};
  }
  const Pixmap pixmap = XCreatePixmap(display, window, static_cast<unsigned>(attributes.width),
                                      static_cast<unsigned>(attributes.height),
                                      static_cast<unsigned>(attributes.depth));
  XSync(display, False);
  Picture picture;
  const pid_t child = startImageHelper(window, pixmap);
  if (child > 0 && awaitImageHelper(child)) {
    picture = readDrawable(display, pixmap, attributes.visual, attributes.width, attributes.height);
  }
  XFreePixmap(display, pixmap);
  XSync(display, False);
  return picture;
}

// ---- The pictures handed to the scene, as files only this process can name.

class MemoryFile {
 public:
  explicit MemoryFile(const std::vector<std::uint8_t>& bytes)
      : fd_(memfd_create("sorvanta-picture", MFD_CLOEXEC)) {
    if (fd_ >= 0 && !writeAll(bytes)) {
      close(fd_);
      fd_ = -1;
    }
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  ~MemoryFile() {
    if (fd_ >= 0) {
      close(fd_);
    }
  }
  // A path the TGA reader can open; empty when the file could not be made, which
  // leaves the surface as the renderer leaves a picture it can't load.
  std::string path() const {
    return fd_ >= 0 ? "/proc/self/fd/" + std::to_string(fd_) : std::string();
  }

 private:
  bool writeAll(const std::vector<std::uint8_t>& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t count = write(fd_, bytes.data() + written, bytes.size() - written);
      if (count <= 0) {
        return false;
      }
      written += static_cast<std::size_t>(count);
    }
    return true;
  }
  int fd_;
};

// ---- The window and its GL context.

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

struct Surface {
  Window drawable = None;  // where GL draws
  Window followed = None;  // the given window whose size the child follows, or None
  bool own = false;        // a top-level window of the hack's own
  XVisualInfo* visual = nullptr;
  int width = 0;
  int height = 0;
};

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

// A window handed to the hack. It draws there directly when the window's visual has
// what the scene needs; otherwise into a child of a suitable visual that covers it.
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
  // Mapped once the floor picture is taken, so that a photograph of the root shows the
  // desktop and not this window.
  surface.drawable = createWindow(display, given, surface.visual, 0, 0, surface.width,
                                  surface.height, StructureNotifyMask);
  return true;
}

// Whether a window of that id exists, asked before the hack's own X error handler is
// in place (that one takes a missing window for the daemon's having taken it away).
bool windowExists(Display* display, Window window) {
  const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  XWindowAttributes attributes{};
  const bool exists = XGetWindowAttributes(display, window, &attributes) != 0;
  XSetErrorHandler(previous);
  return exists;
}

Window windowFromEnvironment(Display* display) {
  unsigned long id = 0;
  if (sorvanta::hack::parseWindowId(std::getenv("XSCREENSAVER_WINDOW"), id)) {
    return static_cast<Window>(id);
  }
  return DefaultRootWindow(display);
}

// Under XScreenSaver the daemon names the window (or the settings program's preview
// hands one over); then the picture comes from the daemon's image helper.
bool underXScreenSaver(const Options& options) {
  return options.target == Target::kGivenWindow || std::getenv("XSCREENSAVER_WINDOW") != nullptr;
}

// ---- The -fps corner.

class FpsOverlay {
 public:
  FpsOverlay(Display* display, bool enabled) : display_(display) {
    if (!enabled) {
      return;
    }
    font_ = XLoadQueryFont(display, "fixed");
    if (font_ == nullptr) {
      return;
    }
    lists_ = glGenLists(kGlyphCount);
    glXUseXFont(font_->fid, kFirstGlyph, kGlyphCount, static_cast<int>(lists_));
  }
  FpsOverlay(const FpsOverlay&) = delete;
  FpsOverlay& operator=(const FpsOverlay&) = delete;
  ~FpsOverlay() {
    if (font_ != nullptr) {
      glDeleteLists(lists_, kGlyphCount);
      XFreeFont(display_, font_);
    }
  }

  void frameDrawn(int width, int height) {
    if (font_ == nullptr) {
      return;
    }
    rate_.frameDrawn(monotonicSeconds());
    draw(width, height);
  }

 private:
  static constexpr int kFirstGlyph = 32;
  static constexpr int kGlyphCount = 96;

  // Top-left corner, over everything; every state it touches is put back.
  void draw(int width, int height) {
    const std::string text = rate_.text().empty() ? "FPS: ..." : rate_.text();
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glDisable(GL_STENCIL_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 0.0f);
    // One raster position a character: Mesa's lists for glyphs without pixels, such as
    // the space, don't move the raster position on. The font has fixed widths.
    const int advance = font_->max_bounds.width;
    for (std::size_t i = 0; i < text.size(); ++i) {
      glRasterPos2i(8 + static_cast<int>(i) * advance, height - 8 - font_->ascent);
      glCallList(lists_ + static_cast<GLuint>(static_cast<unsigned char>(text[i])) - kFirstGlyph);
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
  }

  Display* display_;
  XFontStruct* font_ = nullptr;
  GLuint lists_ = 0;
  sorvanta::hack::FrameRate rate_;
};

// ---- The running hack.

class Hack {
 public:
  Hack(Display* display, const Options& options) : display_(display), options_(options) {}
  Hack(const Hack&) = delete;
  Hack& operator=(const Hack&) = delete;
  ~Hack();

  // Window, picture, context and scene; false when any of them can't be had.
  bool start();
  void run();

 private:
  bool findSurface();
  Picture takeFloorPicture();
  bool createContext();
  void handleEvents();
  void handleEvent(const XEvent& event);
  void resizeTo(int width, int height);
  void waitBetweenFrames();
  bool running() const { return !closeRequested_ && !windowLost; }

  Display* display_;
  Options options_;
  Surface surface_;
  GLXContext context_ = nullptr;
  std::unique_ptr<sorvanta::SceneApp> theApp;
  bool sceneReady_ = false;
  bool closeRequested_ = false;
  int frameCounter = 0;
  Atom deleteWindow_ = None;
};

Hack::~Hack() {
  if (context_ != nullptr) {
    if (sceneReady_ && !windowLost) {
      theApp->releaseScene();
    }
    glXMakeCurrent(display_, None, nullptr);
    glXDestroyContext(display_, context_);
  }
  theApp.reset();
  if (surface_.drawable != None && (surface_.own || surface_.followed != None)) {
    XDestroyWindow(display_, surface_.drawable);
  }
  if (surface_.visual != nullptr) {
    XFree(surface_.visual);
  }
  XSync(display_, False);
}

bool Hack::findSurface() {
  switch (options_.target) {
    case Target::kOwnWindow:
      return makeOwnWindow(display_, options_, surface_);
    case Target::kGivenWindow:
      return useGivenWindow(display_, static_cast<Window>(options_.windowId), surface_);
    case Target::kRoot:
      return useGivenWindow(display_, windowFromEnvironment(display_), surface_);
  }
  return false;
}

Picture Hack::takeFloorPicture() {
  if (underXScreenSaver(options_)) {
    const Window given = surface_.followed != None ? surface_.followed : surface_.drawable;
    return imageFromHelper(display_, given);
  }
  return photographRoot(display_);
}

bool Hack::createContext() {
  context_ = glXCreateContext(display_, surface_.visual, nullptr, True);
  if (context_ == nullptr) {
    return false;
  }
  return glXMakeCurrent(display_, surface_.drawable, context_) == True;
}

bool Hack::start() {
  if (!findSurface()) {
    std::fprintf(stderr, "sorvanta: no window with a suitable GL visual\n");
    return false;
  }
  // The photograph comes before any window of the hack's own is mapped, so it shows
  // the desktop.
  const Picture floor = takeFloorPicture();
  if (surface_.own) {
    deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XMapRaised(display_, surface_.drawable);
  } else if (surface_.followed != None) {
    XMapWindow(display_, surface_.drawable);
  }
  if (!createContext()) {
    std::fprintf(stderr, "sorvanta: cannot create a GL context\n");
    return false;
  }
  const MemoryFile stone(sorvanta::stone_texture::encodeTga(sorvanta::stone_texture::makePixels()));
  const MemoryFile desktop(floor.pixels.empty() ? std::vector<std::uint8_t>()
                                                : sorvanta::hack::encodeExchangeImage(
                                                      floor.pixels, floor.width, floor.height));
  theApp = std::make_unique<sorvanta::SceneApp>(
      sorvanta::SceneApp::ImagePaths{stone.path(), floor.pixels.empty() ? "" : desktop.path()});
  if (!theApp->initScene()) {
    std::fprintf(stderr, "sorvanta: the scene could not start\n");
    return false;
  }
  sceneReady_ = true;
  theApp->resize(surface_.width, surface_.height);
  return true;
}

void Hack::resizeTo(int width, int height) {
  if (width == surface_.width && height == surface_.height) {
    return;
  }
  surface_.width = width;
  surface_.height = height;
  if (surface_.followed != None) {
    XResizeWindow(display_, surface_.drawable, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
  }
  theApp->resize(width, height);
}

void Hack::handleEvent(const XEvent& event) {
  switch (event.type) {
    case ConfigureNotify: {
      const Window changed = event.xconfigure.window;
      if (changed == surface_.drawable || changed == surface_.followed) {
        resizeTo(event.xconfigure.width, event.xconfigure.height);
      }
      break;
    }
    case ClientMessage:
      if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_ && deleteWindow_ != None) {
        closeRequested_ = true;
      }
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == surface_.drawable ||
          event.xdestroywindow.window == surface_.followed) {
        windowLost = true;
      }
      break;
    case KeyPress: {
      XKeyEvent key = event.xkey;
      const KeySym symbol = XLookupKeysym(&key, 0);
      if (symbol == XK_Escape) {
        closeRequested_ = true;
      } else if (symbol == XK_Left) {
        theApp->incrementViewAngle();
      } else if (symbol == XK_Right) {
        theApp->decrementViewAngle();
      }
      break;
    }
    default:
      break;
  }
}

void Hack::handleEvents() {
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    handleEvent(event);
  }
}

// Waits out the delay, handling X events as they come.
void Hack::waitBetweenFrames() {
  const double deadline = monotonicSeconds() + options_.delayMicroseconds / 1e6;
  for (;;) {
    handleEvents();
    const double remaining = deadline - monotonicSeconds();
    if (!running() || remaining <= 0.0) {
      return;
    }
    pollfd connection{ConnectionNumber(display_), POLLIN, 0};
    const timespec timeout{static_cast<time_t>(remaining),
                           static_cast<long>((remaining - static_cast<time_t>(remaining)) * 1e9)};
    ppoll(&connection, 1, &timeout, nullptr);
  }
}

void Hack::run() {
  FpsOverlay fps(display_, options_.showFps);
  sorvanta::FrameTimer timer(monotonicMilliseconds);
  timer.start();
  handleEvents();
  while (running()) {
    theApp->update(timer.elapsedSeconds());
    theApp->drawScene();
    fps.frameDrawn(surface_.width, surface_.height);
    glXSwapBuffers(display_, surface_.drawable);
    sorvanta::advanceViewSwing(frameCounter, *theApp);
    waitBetweenFrames();
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!sorvanta::hack::parseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "sorvanta: %s\n%s", error.c_str(), sorvanta::hack::kUsage);
    return 1;
  }
  if (!installSignalHandlers()) {
    std::perror("sorvanta: signals");
    return 1;
  }
  Display* display = XOpenDisplay(options.display.empty() ? nullptr : options.display.c_str());
  if (display == nullptr) {
    std::fprintf(stderr, "sorvanta: cannot open the display\n");
    return 1;
  }
  if (options.target == Target::kGivenWindow &&
      !windowExists(display, static_cast<Window>(options.windowId))) {
    std::fprintf(stderr, "sorvanta: -window-id %s names no window\n",
                 windowIdText(options.windowId).c_str());
    XCloseDisplay(display);
    return 1;
  }
  XSetErrorHandler(onXError);
  bool started = false;
  {
    Hack hack(display, options);
    started = hack.start();
    if (started) {
      hack.run();
    }
  }
  // The connection is not closed by hand: the server frees what is left when the
  // process ends, and closing it here would unload Mesa's driver while its per-process
  // allocations are still counted, so that leak checks could no longer tell them apart.
  XSync(display, False);
  if (windowLost) {
    return 0;  // the daemon took its window away: the hack's work is over
  }
  return started && !otherXError ? 0 : 1;
}
