#include "saver/music/music_player.h"

namespace Sorvanta_BGM {

// The run form stops its CD timer once the check has turned the flag false.
bool BgmMusicPlayer::watchCd() {
  music_.WatchCdMusic();
  return music_.CdMusicOk();
}

}  // namespace Sorvanta_BGM
