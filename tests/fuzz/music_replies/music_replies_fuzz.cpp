// Any sequence of replies and error codes from the music device, through every music
// operation: the CD's track and mode checks, the music file's playing check and the
// error texts must take whatever the device answers.
#include <cstddef>
#include <cstdint>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "saver/music/bgm.h"

namespace {

// Answers each command with the next error code and reply the fuzzer chose; replies are
// cut to the capacity asked for, as the system's device does.
class FuzzedMci : public Sorvanta_BGM::MciPort {
 public:
  explicit FuzzedMci(FuzzedDataProvider& data) : data_(data) {}

  Sorvanta_BGM::MciResult send(const std::string&, std::size_t replyCapacity) override {
    Sorvanta_BGM::MciResult result;
    result.code = data_.ConsumeBool() ? data_.ConsumeIntegral<std::int32_t>() : 0;
    std::string reply = data_.ConsumeRandomLengthString(600);
    if (replyCapacity == 0) {
      reply.clear();
    } else if (reply.size() >= replyCapacity) {
      reply.resize(replyCapacity - 1);
    }
    result.reply = reply.substr(0, reply.find('\0'));
    return result;
  }

  bool errorText(std::int32_t, std::string& text) override {
    if (!data_.ConsumeBool()) {
      return false;
    }
    text = data_.ConsumeRandomLengthString(300);
    return true;
  }

 private:
  FuzzedDataProvider& data_;
};

class SilentSound : public Sorvanta_BGM::SoundPort {
 public:
  int waveOutDeviceCount() override { return 1; }
  void playLooping(const std::string&) override {}
  void stop() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  Sorvanta_B::MusicSettings settings;
  settings.BgmKind = data.ConsumeIntegralInRange<std::int16_t>(0, 2);
  settings.BgmRepeat = data.ConsumeIntegral<std::int16_t>();
  settings.BgmFile = data.ConsumeRandomLengthString(260);
  FuzzedMci mci(data);
  SilentSound sound;
  Sorvanta_BGM::Music music(mci, sound, settings);

  music.StartCdMusic();
  for (int round = 0; round < 4 && data.remaining_bytes() > 0; ++round) {
    music.WatchCdMusic();
  }
  music.StopCdMusic();
  music.StartMp3Music();
  for (int round = 0; round < 4 && data.remaining_bytes() > 0; ++round) {
    music.WatchMp3Music();
  }
  music.StopMp3Music();

  double number = 0;
  (void)Sorvanta_BGM::readNumber(data.ConsumeRemainingBytesAsString(), number);
  return 0;
}
