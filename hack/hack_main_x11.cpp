// The XScreenSaver hack `sorvanta`: the renderer's scene in an X window through GLX.
// It finds or makes the window (surface_x11), takes the desktop picture (the daemon's
// image helper, or a photograph of the root window when it runs on its own:
// image_helper_x11), and runs the frame loop with XScreenSaver's pacing until a
// signal, Escape or the window's close ends it (hack_loop_x11).
#include <X11/Xlib.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "hack_options.h"
#include "hack_loop_x11.h"
#include "image_helper_x11.h"
#include "surface_x11.h"

namespace {

using sorvanta::hack::Options;

// ---- Signals. The daemon ends its hacks with SIGTERM and wants them gone at once.
// Nothing needs saving: the pictures live in memory files and every X resource goes
// with the connection, so the handler ends the process itself, wherever the frame
// is, taking a running image helper with it so that no child outlives the hack.

extern "C" void onStopSignal(int) {
  sorvanta::hack::endImageHelper();
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

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!sorvanta::hack::parseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "sorvanta: %s\n%s", error.c_str(), sorvanta::hack::usageText().c_str());
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
  if (options.target == sorvanta::hack::Target::kGivenWindow &&
      !sorvanta::hack::windowExists(display, static_cast<Window>(options.windowId))) {
    std::fprintf(stderr, "sorvanta: -window-id %s names no window\n",
                 sorvanta::hack::windowIdText(options.windowId).c_str());
    XCloseDisplay(display);
    return 1;
  }
  XSetErrorHandler(sorvanta::hack::onXError);
  bool started = false;
  {
    sorvanta::hack::Hack hack(display, options);
    started = hack.start();
    if (started) {
      hack.run();
    }
  }
  // The connection is not closed by hand: the server frees what is left when the
  // process ends, and closing it here would unload Mesa's driver while its per-process
  // allocations are still counted, so that leak checks could no longer tell them apart.
  XSync(display, False);
  if (sorvanta::hack::windowWasLost()) {
    return 0;  // the daemon took its window away: the hack's work is over
  }
  return started && !sorvanta::hack::otherXErrorSeen() ? 0 : 1;
}
