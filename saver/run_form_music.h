// The music module's operations as the run form calls them.
#pragma once

#include "saver/music/bgm.h"
#include "saver/run_form_logic.h"

namespace Sorvanta_B {

class RunFormMusic final : public MusicPlayer {
 public:
  explicit RunFormMusic(Sorvanta_BGM::Music& music) : music_(music) {}

  void startCd() override { music_.StartCdMusic(); }
  bool watchCd() override {
    music_.WatchCdMusic();
    return music_.CdMusicOk();
  }
  void stopCd() override { music_.StopCdMusic(); }
  void startWav() override { music_.StartWavMusic(); }
  void stopWav() override { music_.StopWavMusic(); }
  void startMp3() override { music_.StartMp3Music(); }
  void watchMp3() override { music_.WatchMp3Music(); }
  void stopMp3() override { music_.StopMp3Music(); }

 private:
  Sorvanta_BGM::Music& music_;
};

}  // namespace Sorvanta_B
