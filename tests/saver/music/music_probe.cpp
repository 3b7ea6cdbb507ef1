// Drives the music module from standard input, one operation a line, answering each
// with one line, so that a Wine test can poll the real device between operations:
//   mp3 PATH | wav PATH   set the music file
//   start-mp3 | watch-mp3 | stop-mp3 | start-wav | stop-wav | start-cd | watch-cd | stop-cd
//   mode                  the MP3 device's mode reply
//   devices               the wave output device count
//   quit
#include <cstdio>
#include <iostream>
#include <string>

#include "saver/music/bgm.h"
#include "saver/music/bgm_win32.h"

namespace {

std::string handle(const std::string& line, Sorvanta_BGM::Music& music,
                   Sorvanta_B::MusicSettings& settings, Sorvanta_BGM::MciPortWin32& mci,
                   Sorvanta_BGM::SoundPortWin32& sound) {
  const std::string word = line.substr(0, line.find(' '));
  const std::string rest = line.size() > word.size() ? line.substr(word.size() + 1) : "";
  if (word == "mp3" || word == "wav") {
    settings.BgmKind = 2;
    settings.BgmFile = rest;
  } else if (word == "start-mp3") {
    music.StartMp3Music();
  } else if (word == "watch-mp3") {
    music.WatchMp3Music();
  } else if (word == "stop-mp3") {
    music.StopMp3Music();
  } else if (word == "start-wav") {
    music.StartWavMusic();
  } else if (word == "stop-wav") {
    music.StopWavMusic();
  } else if (word == "start-cd") {
    music.StartCdMusic();
  } else if (word == "watch-cd") {
    music.WatchCdMusic();
    return music.CdMusicOk() ? "cd-ok" : "cd-failed";
  } else if (word == "stop-cd") {
    music.StopCdMusic();
  } else if (word == "mode") {
    const auto result = mci.send("status MP3Play mode", Sorvanta_BGM::kMp3ModeCapacity);
    return result.code == 0 ? result.reply : "error " + std::to_string(result.code);
  } else if (word == "devices") {
    return std::to_string(sound.waveOutDeviceCount());
  } else {
    return "unknown";
  }
  return "ok";
}

}  // namespace

int main() {
  Sorvanta_BGM::MciPortWin32 mci;
  Sorvanta_BGM::SoundPortWin32 sound;
  Sorvanta_B::MusicSettings settings;
  Sorvanta_BGM::Music music(mci, sound, settings);
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line == "quit") {
      break;
    }
    std::cout << handle(line, music, settings, mci, sound) << std::endl;
  }
  return 0;
}
