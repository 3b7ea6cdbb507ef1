#include "saver/music/bgm.h"

#include <cmath>

#include "saver/text/ascii_text.h"
#include "saver/text/number_text.h"

namespace Sorvanta_BGM {
namespace {

using Sorvanta_B::upperAscii;

bool failed(const std::string& statusText) {
  return upperAscii(statusText).find("ERR") != std::string::npos;
}

}  // namespace

bool readNumber(const std::string& text, double& number) {
  return Sorvanta_B::readWholeDecimal(text, Sorvanta_B::ExponentLetters::E, number) &&
         std::isfinite(number);
}

std::string mp3OpenCommand(const std::string& path) {
  if (path.find('"') != std::string::npos) {
    return {};
  }
  return "open \"" + path + "\" type MPEGVideo Alias MP3Play";
}

Music::Music(MciPort& mci, SoundPort& sound, const Sorvanta_B::MusicSettings& settings)
    : mci_(mci), sound_(sound), settings_(settings) {}

std::int32_t Music::SendMciCommand(const std::string& command, std::string& reply) {
  if (command.empty()) {
    reply = kEmptyCommandText;
    return -1;
  }
  MciResult result = mci_.send(command, kCommandReplyCapacity);
  if (result.code != 0) {
    std::string description;
    reply = mci_.errorText(result.code, description) ? description.substr(0, description.find('\0'))
                                                     : kNoErrorText;
    return result.code;
  }
  reply = result.reply.substr(0, result.reply.find('\0'));
  return 0;
}

std::string Music::MciStatus(const std::string& command) {
  const std::int32_t code = SendMciCommand(command, mciReplyText_);
  return code != 0 ? "Error:" + std::to_string(code) : mciReplyText_;
}

std::int32_t Music::MciPlay(const std::string& device, const std::string& start,
                            const std::string& end) {
  std::string command = "play " + device;
  if (!start.empty()) {
    command += " from " + start;
  }
  if (!end.empty()) {
    command += " to " + end;
  }
  return SendMciCommand(command, mciReplyText_);
}

void Music::StartCdMusic() {
  mci_.send("open cdaudio", kNoReply);
  mci_.send("set cdaudio time format tmsf", kNoReply);
}

void Music::WatchCdMusic() {
  cdMusicOk_ = true;
  if (!checkCd()) {
    cdMusicOk_ = false;
  }
}

// One check of the CD; false when it failed.
bool Music::checkCd() {
  const std::string track = MciStatus("status cdaudio current track");
  if (failed(track)) {
    return false;
  }
  if (failed(MciStatus("status cdaudio number of tracks"))) {
    return false;
  }
  const std::string mode = mci_.send("status cdaudio mode", kCdModeCapacity).reply.substr(0, 7);
  const bool stopped = mode == "stopped";
  if (settings_.BgmRepeat == 0) {
    if (stopped) {
      MciPlay("cdaudio", "", "");
    }
    return true;
  }
  // Both sides are evaluated: a track that reads as no number fails the check.
  double trackNumber = 0;
  if (!readNumber(track, trackNumber)) {
    return false;
  }
  if (stopped || trackNumber != settings_.BgmRepeat) {
    const std::string position =
        MciStatus("status cdaudio position track " + std::to_string(settings_.BgmRepeat));
    MciPlay("cdaudio", position, "");
  }
  return true;
}

void Music::StopCdMusic() {
  mci_.send("stop cdaudio", kNoReply);
  mci_.send("close cdaudio", kNoReply);
}

void Music::StartWavMusic() {
  if (sound_.waveOutDeviceCount() <= 0) {
    return;
  }
  sound_.playLooping(settings_.BgmFile);
}

void Music::StopWavMusic() {
  sound_.stop();
}

void Music::StartMp3Music() {
  const std::string open = mp3OpenCommand(settings_.BgmFile);
  if (open.empty()) {
    return;  // refused: the watch finds nothing playing and its commands fail harmlessly
  }
  if (mci_.send(open, kNoReply).code == 0) {
    mci_.send("play MP3Play", kNoReply);
  }
}

bool Music::Mp3IsPlaying() {
  return mci_.send("status MP3Play mode", kMp3ModeCapacity).reply.substr(0, 7) == "playing";
}

void Music::WatchMp3Music() {
  if (!Mp3IsPlaying()) {
    mci_.send("stop MP3Play", kNoReply);
    mci_.send("play MP3Play from 0", kNoReply);
  }
}

void Music::StopMp3Music() {
  mci_.send("stop MP3Play", kNoReply);
  mci_.send("close MP3Play", kNoReply);
}

}  // namespace Sorvanta_BGM
