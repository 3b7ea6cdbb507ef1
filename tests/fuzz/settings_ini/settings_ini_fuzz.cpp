// Any bytes as a settings file: parsing, looking the keys up, storing a value and
// writing back must neither crash nor lose the stored value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "saver/settings/profile_file.h"
#include "saver/text/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace Sorvanta_B;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ProfileText profile = parseProfile(bytes);
  (void)findProfileValue(profile, "Section", "BGM区分");
  (void)utf8ToCp932(cp932ToUtf8(bytes));

  setProfileValue(profile, "Section", "BGMﾌｧｲﾙ", "C:\\音楽\\a.mp3");
  const ProfileText reread = parseProfile(serializeProfile(profile));
  const auto stored = findProfileValue(reread, "Section", "BGMﾌｧｲﾙ");
  if (!stored || *stored != "C:\\音楽\\a.mp3") {
    std::abort();  // a write that does not read back is lost data
  }
  return 0;
}
