#include "saver/run/run_form.h"

#include <utility>

#include "saver/startup/startup.h"
#include "saver/text/ascii_text.h"

namespace Sorvanta_B {

namespace {

std::string upperSuffix(const std::string& text, std::size_t length) {
  return upperAscii(text.size() >= length ? text.substr(text.size() - length) : text);
}

}  // namespace

MusicKind musicToPlay(int bgmKind, const std::string& bgmFile) {
  if (bgmKind == 1) {
    return MusicKind::Cd;
  }
  if (bgmKind != 2) {
    return MusicKind::None;
  }
  const std::string ending = upperSuffix(bgmFile, 3);
  if (ending == "WAV") {
    return MusicKind::Wav;
  }
  if (ending == "MP3") {
    return MusicKind::Mp3;
  }
  return MusicKind::None;
}

RunFormLogic::RunFormLogic(RunFormPort& port, MusicPlayer& music, RunSettings settings,
                           int& savedCursorCount)
    : port_(port),
      music_(music),
      settings_(std::move(settings)),
      savedCursorCount_(savedCursorCount) {}

bool RunFormLogic::timerEnabled(RunTimer timer) const {
  switch (timer) {
    case RunTimer::Timer1:
      return timer1_;
    case RunTimer::Timer2:
      return timer2_;
    case RunTimer::Timer3:
      return timer3_;
  }
  return false;
}

void RunFormLogic::setTimer(RunTimer timer, bool enabled) {
  switch (timer) {
    case RunTimer::Timer1:
      timer1_ = enabled;
      break;
    case RunTimer::Timer2:
      timer2_ = enabled;
      break;
    case RunTimer::Timer3:
      timer3_ = enabled;
      break;
  }
  port_.setTimerEnabled(timer, enabled);
}

void RunFormLogic::onLoad() {
  // The pictures are complete on disk before the renderer, which reads them, starts.
  port_.grabDesktop();
  port_.writeExchangeImages();
  port_.startRenderer(settings_.programFolder + kRendererFileName);
  startMusic();
}

void RunFormLogic::startMusic() {
  switch (musicToPlay(settings_.bgmKind, settings_.bgmFile)) {
    case MusicKind::Cd:
      music_.startCd();
      setTimer(RunTimer::Timer2, true);
      break;
    case MusicKind::Wav:
      music_.startWav();
      break;
    case MusicKind::Mp3:
      music_.startMp3();
      setTimer(RunTimer::Timer1, true);
      break;
    case MusicKind::None:
      break;
  }
}

void RunFormLogic::onTimer1() {
  music_.watchMp3();
}

void RunFormLogic::onTimer2() {
  const bool cdMusicOk = music_.watchCd();
  setTimer(RunTimer::Timer2, cdMusicOk);
}

// A renderer makes its window only after the user has dismissed its display-mode
// message, which may take minutes: while its process lives and its window has never
// been seen, the run goes on waiting.
bool RunFormLogic::rendererStillComingUp() {
  return !rendererWindowSeen_ && !port_.rendererHasEnded();
}

void RunFormLogic::onTimer3() {
  if (port_.rendererWindowExists()) {
    rendererWindowSeen_ = true;
    return;
  }
  if (rendererStillComingUp()) {
    return;
  }
  setTimer(RunTimer::Timer3, false);
  port_.unloadForm();
}

void RunFormLogic::stopMusic() {
  if (timer2_) {
    setTimer(RunTimer::Timer2, false);
    music_.stopCd();
  }
  if (settings_.bgmKind == 2) {
    const MusicKind kind = musicToPlay(settings_.bgmKind, settings_.bgmFile);
    if (kind == MusicKind::Wav) {
      music_.stopWav();
    }
    if (kind == MusicKind::Mp3) {
      setTimer(RunTimer::Timer1, false);
      music_.stopMp3();
    }
  }
}

void RunFormLogic::onClose() {
  stopMusic();
  if (settings_.modeLetter == 'S') {
    savedCursorCount_ = port_.showCursor();
  }
  port_.endProgram();
}

}  // namespace Sorvanta_B
