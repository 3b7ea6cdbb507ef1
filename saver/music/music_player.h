// The run form's music operations carried out by the music module.
#pragma once

#include "saver/music/bgm.h"
#include "saver/run/run_form.h"

namespace Sorvanta_BGM {

class BgmMusicPlayer : public Sorvanta_B::MusicPlayer {
 public:
  explicit BgmMusicPlayer(Music& music) : music_(music) {}

  void startCd() override { music_.StartCdMusic(); }
  bool watchCd() override;
  void stopCd() override { music_.StopCdMusic(); }
  void startWav() override { music_.StartWavMusic(); }
  void stopWav() override { music_.StopWavMusic(); }
  void startMp3() override { music_.StartMp3Music(); }
  void watchMp3() override { music_.WatchMp3Music(); }
  void stopMp3() override { music_.StopMp3Music(); }

 private:
  Music& music_;
};

}  // namespace Sorvanta_BGM
