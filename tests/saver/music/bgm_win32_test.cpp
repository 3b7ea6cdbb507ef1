// The music module's Windows side against the system's MCI in the shared test
// environment, which has no sound device and no CD drive.
#include <gtest/gtest.h>

#include "saver/music/bgm.h"
#include "saver/music/bgm_win32.h"

namespace Sorvanta_BGM {
namespace {

TEST(MusicWin32, CdWithoutADriveLeavesCdMusicOkFalse) {
  MciPortWin32 mci;
  SoundPortWin32 sound;
  Sorvanta_B::MusicSettings settings;
  Music music(mci, sound, settings);
  music.StartCdMusic();
  music.WatchCdMusic();
  EXPECT_FALSE(music.CdMusicOk());
  EXPECT_FALSE(music.MciReplyText().empty()) << "the error is kept as text";
  music.StopCdMusic();
}

TEST(MusicWin32, ErrorsComeBackWithTheirDescription) {
  MciPortWin32 mci;
  const MciResult result = mci.send("status NoSuchAlias mode", kMp3ModeCapacity);
  EXPECT_NE(result.code, 0);
  std::string text;
  ASSERT_TRUE(mci.errorText(result.code, text));
  EXPECT_FALSE(text.empty());
}

TEST(MusicWin32, MissingMp3PlaysNothing) {
  MciPortWin32 mci;
  SoundPortWin32 sound;
  Sorvanta_B::MusicSettings settings{2, 0, "C:\\no such folder\\none.mp3", ""};
  Music music(mci, sound, settings);
  music.StartMp3Music();
  EXPECT_FALSE(music.Mp3IsPlaying());
  music.WatchMp3Music();
  music.StopMp3Music();
}
}  // namespace
}  // namespace Sorvanta_BGM
