// Any bytes as the program's whole command line: taking the program name off, decoding
// the mode letter and the preview window's handle, and the number reads behind them must
// neither crash nor read out of bounds, and must keep their own promises.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "saver/startup/command_line.h"
#include "saver/text/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace Sorvanta_B;
  const std::string whole(reinterpret_cast<const char*>(data), size);
  const std::string arguments = argumentsOf(whole);
  if (arguments.size() > whole.size()) {
    std::abort();  // the arguments are part of the command line, never more
  }
  const CommandLine decoded = decodeCommandLine(arguments);
  if (decoded.empty && (decoded.modeLetter != '\0' || decoded.previewParent != 0)) {
    std::abort();  // an empty command line carries no mode and no window
  }
  const double number = readLeadingNumber(whole);
  if (std::isnan(number) || number != std::nearbyint(number)) {
    std::abort();  // the read always rounds to a whole number
  }
  const long long radix = readWholeRadix(whole);
  if (radix < -1 || radix > 0xFFFFFFFFLL) {
    std::abort();  // a value that fits 32 bits, or -1
  }
  double decimal = 0;
  if (readWholeDecimal(whole, ExponentLetters::EOrD, decimal) && std::isnan(decimal)) {
    std::abort();
  }
  return 0;
}
