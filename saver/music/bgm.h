// Background music of a run: the audio CD through the "cdaudio" device, an MP3 file
// through the "MPEGVideo" device under the alias "MP3Play", a WAV file through the
// sound player. Nothing is ever shown; failures end up as text in MciReplyText.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "saver/settings/settings.h"

namespace Sorvanta_BGM {

// Reply capacities, in characters (the reply is at most one less, before its NUL).
inline constexpr std::size_t kCommandReplyCapacity = 512;
inline constexpr std::size_t kErrorTextCapacity = 256;
inline constexpr std::size_t kCdModeCapacity = 255;
inline constexpr std::size_t kMp3ModeCapacity = 30;
inline constexpr std::size_t kNoReply = 0;

inline constexpr char kEmptyCommandText[] = "コマンド文字列が指定されていません";
inline constexpr char kNoErrorText[] = "Error (文字列が取れません)";

struct MciResult {
  std::int32_t code = 0;  // 0 or the MCI error code
  std::string reply;      // up to the first NUL
};

// The media control interface: command strings, no notification window.
class MciPort {
 public:
  virtual ~MciPort() = default;
  // `replyCapacity` 0 sends without a reply buffer.
  virtual MciResult send(const std::string& command, std::size_t replyCapacity) = 0;
  // The description of an error code (kErrorTextCapacity characters); false when the
  // system has none.
  virtual bool errorText(std::int32_t code, std::string& text) = 0;
};

// The system's sound player and wave output.
class SoundPort {
 public:
  virtual ~SoundPort() = default;
  virtual int waveOutDeviceCount() = 0;
  // Plays the file asynchronously in an endless loop (SND_ASYNC | SND_LOOP).
  virtual void playLooping(const std::string& path) = 0;
  // Stops whatever the sound player plays.
  virtual void stop() = 0;
};

// The module's operations over one set of ports, reading the front end's settings.
class Music {
 public:
  Music(MciPort& mci, SoundPort& sound, const Sorvanta_B::MusicSettings& settings);

  void StartCdMusic();
  void WatchCdMusic();
  void StopCdMusic();
  void StartWavMusic();
  void StopWavMusic();
  void StartMp3Music();
  void WatchMp3Music();
  void StopMp3Music();

  bool CdMusicOk() const { return cdMusicOk_; }
  const std::string& MciReplyText() const { return mciReplyText_; }

  std::int32_t SendMciCommand(const std::string& command, std::string& reply);
  std::string MciStatus(const std::string& command);
  std::int32_t MciPlay(const std::string& device, const std::string& start, const std::string& end);
  bool Mp3IsPlaying();

 private:
  bool checkCd();

  MciPort& mci_;
  SoundPort& sound_;
  const Sorvanta_B::MusicSettings& settings_;
  bool cdMusicOk_ = false;
  std::string mciReplyText_;
};

// The MCI open command for a music file; empty (nothing to send) when the path holds a
// double quote, which would end the quoted name and let the rest pass as commands.
std::string mp3OpenCommand(const std::string& path);

// Text as a number the way the CD check reads a track: blanks around a decimal
// number; false when it is not one.
bool readNumber(const std::string& text, double& number);

}  // namespace Sorvanta_BGM
