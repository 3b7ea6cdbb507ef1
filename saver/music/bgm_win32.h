// The music module's platform side: MCI and the sound player through the
// wide-character winmm calls.
#pragma once

#include "saver/music/bgm.h"

namespace Sorvanta_BGM {

class MciPortWin32 : public MciPort {
 public:
  MciResult send(const std::string& command, std::size_t replyCapacity) override;
  bool errorText(std::int32_t code, std::string& text) override;
};

class SoundPortWin32 : public SoundPort {
 public:
  int waveOutDeviceCount() override;
  void playLooping(const std::string& path) override;
  void stop() override;
};

}  // namespace Sorvanta_BGM
