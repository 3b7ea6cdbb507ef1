// The start's floor, front half: a launcher that does the least the front end must do
// before the renderer runs. It writes two files of the exchange images' sizes (the
// screen-sized desktop picture and the 256 x 256 stone picture) and starts
// start_floor_gl.exe from its own folder, then waits for it to end.
//   start_floor_launcher.exe
#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kHeaderBytes = 18;
constexpr DWORD kStoneSize = 256;

bool writeFile(const char* path, DWORD size) {
  HANDLE file =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  const std::vector<char> bytes(size, 0);
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), size, &written, nullptr) && written == size;
  CloseHandle(file);
  return ok;
}

std::string ownFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace

int main() {
  const auto width = static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN));
  const auto height = static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN));
  CreateDirectoryA("C:\\q_floor", nullptr);
  if (!writeFile("C:\\q_floor\\desktop.tga", kHeaderBytes + width * height * 3) ||
      !writeFile("C:\\q_floor\\stone.tga", kHeaderBytes + kStoneSize * kStoneSize * 3)) {
    return 1;
  }
  std::string command = "\"" + ownFolder() + "start_floor_gl.exe\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
