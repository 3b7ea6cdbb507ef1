#include "saver/music/music_player.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace Sorvanta_BGM {
namespace {

using Commands = std::vector<std::string>;

// Answers every command with `code` (0: success, "playing"/"1" replies) and records it.
class RecordingMci : public MciPort {
 public:
  MciResult send(const std::string& command, std::size_t replyCapacity) override {
    sent.push_back(command);
    MciResult result{code, {}};
    if (replyCapacity > 0 && code == 0) {
      result.reply = command.find("mode") != std::string::npos ? mode : "1";
    }
    return result;
  }
  bool errorText(std::int32_t, std::string& text) override {
    text = "failure";
    return true;
  }
  std::int32_t code = 0;
  std::string mode = "playing";
  Commands sent;
};

class RecordingSound : public SoundPort {
 public:
  int waveOutDeviceCount() override { return 1; }
  void playLooping(const std::string& path) override { calls.push_back("loop " + path); }
  void stop() override { calls.push_back("stop"); }
  Commands calls;
};

struct Fixture {
  RecordingMci mci;
  RecordingSound sound;
  Sorvanta_B::MusicSettings settings{2, 0, "C:\\m\\a b.mp3", ""};
  Music music{mci, sound, settings};
  BgmMusicPlayer player{music};
};

// Each operation of the run form reaches the module's operation of the same meaning:
// the adapter sends exactly what the module sends when called directly.
TEST(BgmMusicPlayer, EachOperationDrivesTheMatchingSequence) {
  struct Case {
    const char* name;
    std::function<void(Sorvanta_B::MusicPlayer&)> viaPlayer;
    std::function<void(Music&)> direct;
  };
  const Case cases[] = {
      {"startCd", [](auto& p) { p.startCd(); }, [](Music& m) { m.StartCdMusic(); }},
      {"watchCd", [](auto& p) { p.watchCd(); }, [](Music& m) { m.WatchCdMusic(); }},
      {"stopCd", [](auto& p) { p.stopCd(); }, [](Music& m) { m.StopCdMusic(); }},
      {"startMp3", [](auto& p) { p.startMp3(); }, [](Music& m) { m.StartMp3Music(); }},
      {"watchMp3", [](auto& p) { p.watchMp3(); }, [](Music& m) { m.WatchMp3Music(); }},
      {"stopMp3", [](auto& p) { p.stopMp3(); }, [](Music& m) { m.StopMp3Music(); }},
      {"startWav", [](auto& p) { p.startWav(); }, [](Music& m) { m.StartWavMusic(); }},
      {"stopWav", [](auto& p) { p.stopWav(); }, [](Music& m) { m.StopWavMusic(); }},
  };
  for (const auto& c : cases) {
    Fixture viaPlayer, direct;
    c.viaPlayer(viaPlayer.player);
    c.direct(direct.music);
    EXPECT_EQ(viaPlayer.mci.sent, direct.mci.sent) << c.name;
    EXPECT_EQ(viaPlayer.sound.calls, direct.sound.calls) << c.name;
    EXPECT_FALSE(viaPlayer.mci.sent.empty() && viaPlayer.sound.calls.empty())
        << c.name << " did nothing";
  }
}

TEST(BgmMusicPlayer, WatchCdReturnsTheFlagAfterTheCheck) {
  Fixture ok;
  EXPECT_TRUE(ok.player.watchCd());
  EXPECT_TRUE(ok.music.CdMusicOk());

  Fixture failing;
  failing.mci.code = 263;  // the device answers every command with an error
  EXPECT_FALSE(failing.player.watchCd());
  EXPECT_FALSE(failing.music.CdMusicOk());
}

}  // namespace
}  // namespace Sorvanta_BGM
