#include "saver/run/run_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Sorvanta_B::MusicKind;
using Sorvanta_B::RunTimer;

// One log shared by the platform and the music fakes, so their order shows.
struct Log {
  std::vector<std::string> entries;
  void add(std::string entry) { entries.push_back(std::move(entry)); }
};

class FakeMusic : public Sorvanta_B::MusicPlayer {
 public:
  explicit FakeMusic(Log& log) : log_(log) {}
  bool cdMusicOk = true;
  void startCd() override { log_.add("startCd"); }
  bool watchCd() override {
    log_.add("watchCd");
    return cdMusicOk;
  }
  void stopCd() override { log_.add("stopCd"); }
  void startWav() override { log_.add("startWav"); }
  void stopWav() override { log_.add("stopWav"); }
  void startMp3() override { log_.add("startMp3"); }
  void watchMp3() override { log_.add("watchMp3"); }
  void stopMp3() override { log_.add("stopMp3"); }

 private:
  Log& log_;
};

class FakeRunPort : public Sorvanta_B::RunFormPort {
 public:
  explicit FakeRunPort(Log& log) : log_(log) {}
  bool windowExists = false;
  bool rendererEnded = false;
  bool unloaded = false;

  void grabDesktop() override { log_.add("grab"); }
  void writeExchangeImages() override { log_.add("write images"); }
  void startRenderer(const std::string& path) override { log_.add("start " + path); }
  bool rendererWindowExists() override { return windowExists; }
  bool rendererHasEnded() override { return rendererEnded; }
  void setTimerEnabled(RunTimer timer, bool enabled) override {
    log_.add(std::string(enabled ? "enable " : "disable ") + (timer == RunTimer::Timer1 ? "Timer1"
                                                              : timer == RunTimer::Timer2
                                                                  ? "Timer2"
                                                                  : "Timer3"));
  }
  void unloadForm() override {
    unloaded = true;
    log_.add("unload");
  }
  int showCursor() override {
    log_.add("show cursor");
    return 0;
  }
  void endProgram() override { log_.add("end"); }

 private:
  Log& log_;
};

struct RunFixture {
  Log log;
  FakeMusic music{log};
  FakeRunPort port{log};
  int savedCursorCount = -1;
  Sorvanta_B::RunFormLogic form;

  RunFixture(int kind, std::string file, char mode = 'S')
      : form(port, music, Sorvanta_B::RunSettings{kind, std::move(file), mode, "D:\\Saver"},
             savedCursorCount) {}
};

TEST(RunForm, MusicByKindAndEndingInAnyLetterCase) {
  struct Case {
    int kind;
    const char* file;
    MusicKind expected;
  } cases[] = {
      {0, "C:\\a.mp3", MusicKind::None},  {1, "", MusicKind::Cd},
      {1, "C:\\a.wav", MusicKind::Cd},    {2, "C:\\a.wav", MusicKind::Wav},
      {2, "C:\\a.wAv", MusicKind::Wav},   {2, "C:\\a.Mp3", MusicKind::Mp3},
      {2, "C:\\a.mp4", MusicKind::None},  {2, "mp3", MusicKind::Mp3},
      {2, "p3", MusicKind::None},         {3, "C:\\a.mp3", MusicKind::None},
      {-1, "C:\\a.wav", MusicKind::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sorvanta_B::musicToPlay(c.kind, c.file), c.expected) << c.kind << " " << c.file;
  }
}

TEST(RunForm, LoadWritesBothImagesBeforeStartingTheRendererThenTheMusic) {
  RunFixture cd(1, "");
  cd.form.onLoad();
  EXPECT_EQ(cd.log.entries,
            (std::vector<std::string>{"grab", "write images", "start D:\\Saver\\Sorvanta.dll",
                                      "startCd", "enable Timer2"}));
  RunFixture mp3(2, "C:\\Music\\a b.MP3");
  mp3.form.onLoad();
  EXPECT_EQ(mp3.log.entries.back(), "enable Timer1");
  EXPECT_EQ(mp3.log.entries[3], "startMp3");
  RunFixture wav(2, "C:\\a.wav");
  wav.form.onLoad();
  EXPECT_EQ(wav.log.entries.back(), "startWav");
  RunFixture other(2, "C:\\a.ogg");
  other.form.onLoad();
  EXPECT_EQ(other.log.entries.size(), 3u);
  EXPECT_FALSE(other.form.timerEnabled(RunTimer::Timer1));
  EXPECT_FALSE(other.form.timerEnabled(RunTimer::Timer2));
  EXPECT_TRUE(other.form.timerEnabled(RunTimer::Timer3));
}

TEST(RunForm, CdWatchStopsItsTimerWhenTheCheckFails) {
  RunFixture run(1, "");
  run.form.onLoad();
  run.form.onTimer2();
  EXPECT_TRUE(run.form.timerEnabled(RunTimer::Timer2));
  run.music.cdMusicOk = false;
  run.form.onTimer2();
  EXPECT_FALSE(run.form.timerEnabled(RunTimer::Timer2));
  // The close handler then leaves the CD alone.
  run.log.entries.clear();
  run.form.onClose();
  EXPECT_EQ(run.log.entries, (std::vector<std::string>{"show cursor", "end"}));
}

TEST(RunForm, CloseStopsWhatWasStarted) {
  struct Case {
    int kind;
    const char* file;
    char mode;
    std::vector<std::string> expected;
  } cases[] = {
      {1, "", 'S', {"disable Timer2", "stopCd", "show cursor", "end"}},
      {2, "x.WAV", 'S', {"stopWav", "show cursor", "end"}},
      {2, "x.mp3", 'S', {"disable Timer1", "stopMp3", "show cursor", "end"}},
      {2, "x.mid", 'S', {"show cursor", "end"}},
      {0, "x.mp3", '\0', {"end"}},
  };
  for (const auto& c : cases) {
    RunFixture run(c.kind, c.file, c.mode);
    run.form.onLoad();
    run.log.entries.clear();
    run.form.onClose();
    EXPECT_EQ(run.log.entries, c.expected) << c.kind << " " << c.file;
  }
}

TEST(RunForm, CursorCountIsKeptOnlyForTheRunSwitch) {
  RunFixture run(0, "", 'S');
  run.form.onClose();
  EXPECT_EQ(run.savedCursorCount, 0);
  RunFixture plain(0, "", '\0');
  plain.form.onClose();
  EXPECT_EQ(plain.savedCursorCount, -1);
}

TEST(RunForm, RendererWatchEndsTheRunOnceTheWindowHasGone) {
  RunFixture run(0, "");
  run.form.onLoad();
  run.port.windowExists = true;
  run.form.onTimer3();
  EXPECT_FALSE(run.port.unloaded);
  run.port.windowExists = false;
  run.form.onTimer3();
  EXPECT_TRUE(run.port.unloaded);
  EXPECT_FALSE(run.form.timerEnabled(RunTimer::Timer3));
}

// The renderer's window comes only once its display-mode message has been dismissed.
TEST(RunForm, RunWaitsForALiveRendererWhoseWindowHasNotYetComeUp) {
  RunFixture run(0, "");
  run.form.onLoad();
  for (int check = 0; check < 1200; ++check) {  // ten minutes of checks
    run.form.onTimer3();
  }
  EXPECT_FALSE(run.port.unloaded) << "a renderer still starting ended the run";
  run.port.windowExists = true;
  run.form.onTimer3();
  EXPECT_FALSE(run.port.unloaded);
}

TEST(RunForm, RendererProcessThatEndsWithoutAWindowEndsTheRun) {
  RunFixture run(0, "");
  run.form.onLoad();
  run.form.onTimer3();
  EXPECT_FALSE(run.port.unloaded);
  run.port.rendererEnded = true;  // it exited, or could not be started at all
  run.form.onTimer3();
  EXPECT_TRUE(run.port.unloaded);
}

TEST(RunForm, TimersWatchTheirMusic) {
  RunFixture run(2, "a.mp3");
  run.form.onLoad();
  run.log.entries.clear();
  run.form.onTimer1();
  EXPECT_EQ(run.log.entries, (std::vector<std::string>{"watchMp3"}));
}

}  // namespace
