// The decisions of the running screen saver's form: what its load handler does, what
// each of its three timers does, and what its close handler stops. The window, the
// timers and the platform calls live in run_form_win32.cpp.
#pragma once

#include <string>

#include "exchange/window_names.h"

namespace Sorvanta_B {

using exchange::kRendererWindowCaption;

enum class MusicKind { None, Cd, Wav, Mp3 };

// Which music a run plays: kind 1 the CD; kind 2 the file, told apart by the last
// three characters of its name in any letter case; anything else none.
MusicKind musicToPlay(int bgmKind, const std::string& bgmFile);

enum class RunTimer {
  Timer1,  // 1000 ms, MP3 watch
  Timer2,  // 200 ms, CD watch
  Timer3,  // 500 ms, renderer window watch
};

// The music module's operations, as the run form calls them.
class MusicPlayer {
 public:
  virtual ~MusicPlayer() = default;
  virtual void startCd() = 0;
  virtual bool watchCd() = 0;  // returns the module's CdMusicOk after the check
  virtual void stopCd() = 0;
  virtual void startWav() = 0;
  virtual void stopWav() = 0;
  virtual void startMp3() = 0;
  virtual void watchMp3() = 0;
  virtual void stopMp3() = 0;
};

// What the run form needs of the platform.
class RunFormPort {
 public:
  virtual ~RunFormPort() = default;
  virtual void grabDesktop() = 0;
  // Both exchange images, complete on disk when it returns; failures are ignored.
  virtual void writeExchangeImages() = 0;
  virtual void startRenderer(const std::string& path) = 0;
  virtual bool rendererWindowExists() = 0;
  // True once the started renderer process has ended, or when it never started.
  virtual bool rendererHasEnded() = 0;
  virtual void setTimerEnabled(RunTimer timer, bool enabled) = 0;
  // Unloads the form; the form's close handler (onClose) runs as it closes.
  virtual void unloadForm() = 0;
  virtual int showCursor() = 0;  // one cursor-showing call; returns the display count
  virtual void endProgram() = 0;
};

struct RunSettings {
  int bgmKind = 0;
  std::string bgmFile;
  char modeLetter = '\0';
  std::string programFolder;
};

class RunFormLogic {
 public:
  RunFormLogic(RunFormPort& port, MusicPlayer& music, RunSettings settings, int& savedCursorCount);

  void onLoad();
  void onTimer1();
  void onTimer2();
  void onTimer3();
  void onClose();

  bool timerEnabled(RunTimer timer) const;

 private:
  void setTimer(RunTimer timer, bool enabled);
  void startMusic();
  void stopMusic();
  bool rendererStillComingUp();

  RunFormPort& port_;
  MusicPlayer& music_;
  RunSettings settings_;
  int& savedCursorCount_;
  bool timer1_ = false;
  bool timer2_ = false;
  bool timer3_ = true;
  bool rendererWindowSeen_ = false;
};

}  // namespace Sorvanta_B
