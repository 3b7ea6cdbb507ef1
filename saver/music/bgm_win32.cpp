#include "saver/music/bgm_win32.h"

#include <windows.h>
#include <mmsystem.h>

#include "saver/text/wide_text_win32.h"

namespace Sorvanta_BGM {
namespace {

// PlaySound(NULL) returns once the looping sound has stopped, while the thread that
// played it may still be on its way out; the saver ends right after its music stops.
// Wine 8 can crash while ending a process whose thread is itself ending (the loader
// process dies by SIGSEGV in the middle of NtTerminateProcess), so the stop gives that
// thread a moment first. The saver's windows are gone by then: nobody sees the pause.
constexpr DWORD kSoundThreadLeaveMs = 100;

std::string upToNul(const std::wstring& buffer) {
  return Sorvanta_B::narrow(buffer.substr(0, buffer.find(L'\0')));
}

}  // namespace

MciResult MciPortWin32::send(const std::string& command, std::size_t replyCapacity) {
  MciResult result;
  if (!winmm_.available()) {
    result.code = MCIERR_CANNOT_LOAD_DRIVER;
    return result;
  }
  const std::wstring wide = Sorvanta_B::widen(command);
  if (replyCapacity == kNoReply) {
    result.code = static_cast<std::int32_t>(mciSendStringW(wide.c_str(), nullptr, 0, nullptr));
    return result;
  }
  std::wstring reply(replyCapacity, L'\0');
  result.code = static_cast<std::int32_t>(
      mciSendStringW(wide.c_str(), reply.data(), static_cast<UINT>(replyCapacity), nullptr));
  result.reply = upToNul(reply);
  return result;
}

bool MciPortWin32::errorText(std::int32_t code, std::string& text) {
  if (!winmm_.available()) {
    return false;
  }
  std::wstring buffer(kErrorTextCapacity, L'\0');
  if (!mciGetErrorStringW(static_cast<MCIERROR>(code), buffer.data(),
                          static_cast<UINT>(buffer.size()))) {
    return false;
  }
  text = upToNul(buffer);
  return true;
}

int SoundPortWin32::waveOutDeviceCount() {
  return winmm_.available() ? static_cast<int>(waveOutGetNumDevs()) : 0;
}

void SoundPortWin32::playLooping(const std::string& path) {
  if (!winmm_.available()) {
    return;
  }
  PlaySoundW(Sorvanta_B::widen(path).c_str(), nullptr, SND_ASYNC | SND_LOOP);
  started_ = true;
}

void SoundPortWin32::stop() {
  if (!winmm_.available()) {
    return;
  }
  PlaySoundW(nullptr, nullptr, 0);
  if (started_) {
    started_ = false;
    Sleep(kSoundThreadLeaveMs);
  }
}

}  // namespace Sorvanta_BGM
