#include "saver/music/bgm.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace Sorvanta_BGM {
namespace {

using Commands = std::vector<std::string>;

// A scripted MCI device: each command answers from a table (or a queue, for replies
// that change between ticks); every command sent is recorded with its capacity.
class FakeMci : public MciPort {
 public:
  MciResult send(const std::string& command, std::size_t replyCapacity) override {
    sent.push_back(command);
    capacities.push_back(replyCapacity);
    MciResult result;
    auto queued = queue.find(command);
    if (queued != queue.end() && !queued->second.empty()) {
      result = queued->second.front();
      if (queued->second.size() > 1) {
        queued->second.pop_front();
      }
    } else if (answers.count(command)) {
      result = answers.at(command);
    } else {
      result.code = unknownCode;
    }
    if (replyCapacity == 0) {
      result.reply.clear();
    } else if (result.reply.size() >= replyCapacity) {
      result.reply.resize(replyCapacity - 1);
    }
    return result;
  }
  bool errorText(std::int32_t code, std::string& text) override {
    if (!describes) {
      return false;
    }
    text = "description of " + std::to_string(code);
    return true;
  }

  std::map<std::string, MciResult> answers;
  std::map<std::string, std::deque<MciResult>> queue;
  std::int32_t unknownCode = 0;
  bool describes = true;
  Commands sent;
  std::vector<std::size_t> capacities;
};

class FakeSound : public SoundPort {
 public:
  int waveOutDeviceCount() override { return devices; }
  void playLooping(const std::string& path) override { calls.push_back("loop " + path); }
  void stop() override { calls.push_back("stop"); }
  int devices = 2;
  Commands calls;
};

// A CD player: `tracks` tracks, now on `track` in `mode`.
void answerLikeCd(FakeMci& mci, const std::string& track, const std::string& mode,
                  int tracks = 10) {
  mci.answers["status cdaudio current track"] = {0, track};
  mci.answers["status cdaudio number of tracks"] = {0, std::to_string(tracks)};
  mci.answers["status cdaudio mode"] = {0, mode};
  for (int n = 1; n <= tracks; ++n) {
    mci.answers["status cdaudio position track " + std::to_string(n)] = {
        0, (n < 10 ? "0" : "") + std::to_string(n) + ":00:00:00"};
  }
  mci.unknownCode = 0;
}

struct Fixture {
  FakeMci mci;
  FakeSound sound;
  Sorvanta_B::MusicSettings settings;
  Music music{mci, sound, settings};
};

TEST(SendMciCommand, EmptyCommandSendsNothing) {
  Fixture f;
  std::string reply = "sentinel";
  EXPECT_EQ(f.music.SendMciCommand("", reply), -1);
  EXPECT_EQ(reply, kEmptyCommandText);
  EXPECT_TRUE(f.mci.sent.empty());
}

TEST(SendMciCommand, RepliesAndErrors) {
  Fixture f;
  f.mci.answers["status x"] = {0, std::string("abc\0def", 7)};
  f.mci.answers["bad"] = {263, "ignored"};
  std::string reply;
  EXPECT_EQ(f.music.SendMciCommand("status x", reply), 0);
  EXPECT_EQ(reply, "abc") << "reply ends at its first NUL";
  EXPECT_EQ(f.mci.capacities.back(), 512u);
  EXPECT_EQ(f.music.SendMciCommand("bad", reply), 263);
  EXPECT_EQ(reply, "description of 263");
  f.mci.describes = false;
  EXPECT_EQ(f.music.SendMciCommand("bad", reply), 263);
  EXPECT_EQ(reply, kNoErrorText);
}

TEST(MciStatus, ErrorTextCarriesTheCode) {
  Fixture f;
  f.mci.answers["status a"] = {0, "7"};
  f.mci.answers["status b"] = {275, ""};
  EXPECT_EQ(f.music.MciStatus("status a"), "7");
  EXPECT_EQ(f.music.MciStatus("status b"), "Error:275");
  EXPECT_EQ(f.music.MciReplyText(), "description of 275");
}

TEST(MciPlay, CommandTable) {
  struct Case {
    std::string start, end, expected;
  };
  const Case cases[] = {
      {"1", "5", "play cdaudio from 1 to 5"},
      {"1", "", "play cdaudio from 1"},
      {"", "5", "play cdaudio to 5"},
      {"", "", "play cdaudio"},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.music.MciPlay("cdaudio", c.start, c.end);
    ASSERT_EQ(f.mci.sent.size(), 1u);
    EXPECT_EQ(f.mci.sent[0], c.expected) << "start '" << c.start << "' end '" << c.end << "'";
  }
}

TEST(CdMusic, StartAndStopCommands) {
  Fixture f;
  f.music.StartCdMusic();
  f.music.StopCdMusic();
  EXPECT_EQ(f.mci.sent, (Commands{"open cdaudio", "set cdaudio time format tmsf", "stop cdaudio",
                                  "close cdaudio"}));
  EXPECT_EQ(f.mci.capacities, (std::vector<std::size_t>{0, 0, 0, 0}));
}

struct WatchCase {
  const char* name;
  std::int16_t repeat;
  std::string track, mode;
  Commands expected;  // commands after the two status queries and the mode query
};

TEST(CdMusic, RepeatRule) {
  const WatchCase cases[] = {
      {"whole disc, stopped", 0, "3", "stopped", {"play cdaudio"}},
      {"whole disc, playing", 0, "3", "playing", {}},
      {"whole disc, unreadable track still fine", 0, "x", "stopped", {"play cdaudio"}},
      {"repeat 3 on track 4",
       3,
       "4",
       "playing",
       {"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}},
      {"repeat 3 on track 3", 3, "3", "playing", {}},
      {"repeat 3 on track 3, stopped",
       3,
       "3",
       "stopped",
       {"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}},
      {"mode read as 7 characters",
       3,
       "3",
       "stopped and more",
       {"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}},
  };
  for (const WatchCase& c : cases) {
    Fixture f;
    f.settings.BgmRepeat = c.repeat;
    answerLikeCd(f.mci, c.track, c.mode);
    f.music.WatchCdMusic();
    EXPECT_TRUE(f.music.CdMusicOk()) << c.name;
    Commands expected = {"status cdaudio current track", "status cdaudio number of tracks",
                         "status cdaudio mode"};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(f.mci.sent, expected) << c.name;
    EXPECT_EQ(f.mci.capacities[2], 255u) << c.name << ": mode capacity";
  }
}

TEST(CdMusic, RepeatTrackBeyondTheDiscFailsQuietlyEveryTick) {
  Fixture f;
  f.settings.BgmRepeat = 12;
  answerLikeCd(f.mci, "4", "playing", 10);
  f.mci.answers["status cdaudio position track 12"] = {277, ""};
  f.mci.answers["play cdaudio from Error:277"] = {274, ""};
  for (int tick = 0; tick < 2; ++tick) {
    f.mci.sent.clear();
    f.music.WatchCdMusic();
    EXPECT_TRUE(f.music.CdMusicOk()) << "tick " << tick;
    EXPECT_EQ(f.mci.sent.back(), "play cdaudio from Error:277") << "tick " << tick;
  }
}

TEST(CdMusic, ErrorsTurnCdMusicOkFalse) {
  struct Case {
    const char* name;
    std::string failing;  // the command that errs
    std::string track;
    std::size_t commandsSent;
  };
  const Case cases[] = {
      {"no disc: current track fails", "status cdaudio current track", "1", 1},
      {"track count fails", "status cdaudio number of tracks", "1", 2},
      {"track reply not a number", "", "abc", 3},
      {"track reply text with err", "", "tErRor", 1},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.settings.BgmRepeat = 2;
    answerLikeCd(f.mci, c.track, "stopped");
    if (!c.failing.empty()) {
      f.mci.answers[c.failing] = {266, ""};
    }
    f.music.WatchCdMusic();
    EXPECT_FALSE(f.music.CdMusicOk()) << c.name;
    EXPECT_EQ(f.mci.sent.size(), c.commandsSent) << c.name;
  }
}

TEST(CdMusic, OkIsSetAgainAtEveryCheck) {
  Fixture f;
  answerLikeCd(f.mci, "1", "playing");
  f.mci.answers["status cdaudio current track"] = {266, ""};
  f.music.WatchCdMusic();
  ASSERT_FALSE(f.music.CdMusicOk());
  answerLikeCd(f.mci, "1", "playing");
  f.music.WatchCdMusic();
  EXPECT_TRUE(f.music.CdMusicOk());
}

TEST(CdMusic, TrackChangeSendsItBackThenHoldsWhileOnIt) {
  Fixture f;
  f.settings.BgmRepeat = 2;
  answerLikeCd(f.mci, "2", "playing");
  f.mci.queue["status cdaudio current track"] = {{0, "3"}, {0, "2"}};
  f.music.WatchCdMusic();
  EXPECT_EQ(f.mci.sent.back(), "play cdaudio from 02:00:00:00");
  f.mci.sent.clear();
  f.music.WatchCdMusic();
  EXPECT_EQ(f.mci.sent.back(), "status cdaudio mode") << "back on track 2: nothing sent";
}

TEST(Mp3Music, StartOpensQuotedPathThenPlays) {
  Fixture f;
  f.settings.BgmFile = "C:\\My Music\\a b.Mp3";
  f.music.StartMp3Music();
  EXPECT_EQ(f.mci.sent, (Commands{"open \"C:\\My Music\\a b.Mp3\" type MPEGVideo Alias MP3Play",
                                  "play MP3Play"}));
  EXPECT_EQ(f.mci.capacities, (std::vector<std::size_t>{0, 0}));
}

TEST(Mp3Music, FailedOpenSendsNoPlay) {
  Fixture f;
  f.settings.BgmFile = "C:\\a.mp3";
  f.mci.unknownCode = 277;
  f.music.StartMp3Music();
  EXPECT_EQ(f.mci.sent.size(), 1u);
}

TEST(Mp3Music, PathWithQuoteIsRefused) {
  Fixture f;
  f.settings.BgmFile = "C:\\a.mp3\" type waveaudio alias x wait\" .mp3";
  f.music.StartMp3Music();
  EXPECT_TRUE(f.mci.sent.empty()) << "nothing may reach MCI";
  EXPECT_EQ(mp3OpenCommand("C:\\a\".mp3"), "");
}

TEST(Mp3Music, WatchRestartsOnlyWhenNotPlaying) {
  struct Case {
    const char* name;
    MciResult mode;
    bool restarts;
  };
  const Case cases[] = {
      {"playing", {0, "playing"}, false},
      {"stopped at its end", {0, "stopped"}, true},
      {"device gone", {281, ""}, true},
      {"paused", {0, "paused"}, true},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.mci.answers["status MP3Play mode"] = c.mode;
    f.music.WatchMp3Music();
    Commands expected = {"status MP3Play mode"};
    if (c.restarts) {
      expected.push_back("stop MP3Play");
      expected.push_back("play MP3Play from 0");
    }
    EXPECT_EQ(f.mci.sent, expected) << c.name;
    EXPECT_EQ(f.mci.capacities[0], 30u) << c.name;
  }
}

TEST(Mp3Music, Stop) {
  Fixture f;
  f.music.StopMp3Music();
  EXPECT_EQ(f.mci.sent, (Commands{"stop MP3Play", "close MP3Play"}));
}

TEST(WavMusic, LoopsOnlyWithAnOutputDevice) {
  struct Case {
    int devices;
    Commands expected;
  };
  const Case cases[] = {{2, {"loop C:\\a.wav", "stop"}}, {0, {"stop"}}, {-1, {"stop"}}};
  for (const Case& c : cases) {
    Fixture f;
    f.settings.BgmFile = "C:\\a.wav";
    f.sound.devices = c.devices;
    f.music.StartWavMusic();
    f.music.StopWavMusic();
    EXPECT_EQ(f.sound.calls, c.expected) << c.devices << " devices";
    EXPECT_TRUE(f.mci.sent.empty());
  }
}

}  // namespace
}  // namespace Sorvanta_BGM
