// The server's version text as the login reply carries it. Promises: no crash; a success gives the code
// of the three numbers it read, which is never negative and matches major * 1000000 + minor * 1000 + patch
// of a text that is the plain form "a.b.c".

#include <cstddef>
#include <cstdint>
#include <string>

#include "util/server_version_code.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  int code = -12345;
  const bool ok = ruko::parseServerVersionText(text, code);
  if (!ok) {
    if (code != -12345) {
      __builtin_trap();  // a refused text leaves the output alone
    }
    return 0;
  }
  if (code < 0) {
    __builtin_trap();
  }
  // The plain form: three runs of decimal digits without leading zeros, separated by single dots.
  unsigned long long parts[3] = {0, 0, 0};
  int part = 0;
  size_t digits = 0;
  bool plain = size > 0;
  for (size_t i = 0; i < size && plain; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      if ((digits > 0 && parts[part] == 0) || digits >= 9) {
        plain = false;  // a leading zero (octal) or a number too long to check here
      }
      parts[part] = parts[part] * 10 + static_cast<unsigned>(c - '0');
      ++digits;
    } else if (c == '.' && digits > 0 && part < 2) {
      ++part;
      digits = 0;
    } else {
      plain = false;
    }
  }
  if (plain && part == 2 && digits > 0) {
    const unsigned long long expected = parts[0] * 1000000ULL + parts[1] * 1000ULL + parts[2];
    if (expected != static_cast<unsigned long long>(code)) {
      __builtin_trap();
    }
  }
  return 0;
}
