// The music module's platform side: MCI and the sound player through the
// wide-character winmm calls. winmm is bound on first use, from System32 alone; where
// it cannot be loaded, MCI answers as for a driver it cannot load and there is no
// sound device, so the music fails as for a missing service.
#pragma once

#include "exchange/system_dlls_win32.h"
#include "saver/music/bgm.h"

namespace Sorvanta_BGM {

class MciPortWin32 : public MciPort {
 public:
  MciResult send(const std::string& command, std::size_t replyCapacity) override;
  bool errorText(std::int32_t code, std::string& text) override;

 private:
  exchange::SystemDll winmm_{L"winmm.dll"};
};

class SoundPortWin32 : public SoundPort {
 public:
  int waveOutDeviceCount() override;
  void playLooping(const std::string& path) override;
  void stop() override;

 private:
  exchange::SystemDll winmm_{L"winmm.dll"};
  bool started_ = false;  // a sound was handed to PlaySound and not yet stopped
};

}  // namespace Sorvanta_BGM
