#include "codec/codec_support.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <new>

#include "util/log.h"

namespace ruko {
namespace codec {

void reportFailure(const FailureLine& line) {
  switch (line.sink) {
    case Sink::StdErr:
      std::fprintf(stderr, "%s\n", line.text);
      break;
    case Sink::StdOut:
      std::fprintf(stdout, "%s\n", line.text);
      std::fflush(stdout);
      break;
    case Sink::Log:
      logPrint(LL_ERROR, "%s", line.text);
      break;
  }
}

bool encode(const google::protobuf::MessageLite& message, char** data, int* size, const FailureLine& line) {
  if (data == nullptr || size == nullptr || !message.IsInitialized()) {
    return refuse(data, size, line);
  }
  const std::size_t length = message.ByteSizeLong();
  if (length > static_cast<std::size_t>(INT_MAX)) {
    return refuse(data, size, line);
  }
  char* body = new (std::nothrow) char[length];
  if (body == nullptr) {
    return refuse(data, size, line);
  }
  // ByteSizeLong() has just cached every sub-message's size, so the body is written in one pass.
  uint8_t* end = message.SerializeWithCachedSizesToArray(reinterpret_cast<uint8_t*>(body));
  if (end != reinterpret_cast<uint8_t*>(body) + length) {
    delete[] body;
    return refuse(data, size, line);
  }
  *data = body;
  *size = static_cast<int>(length);
  return true;
}

bool refuse(char** data, int* size, const FailureLine& line) {
  if (data != nullptr) {
    *data = nullptr;
  }
  if (size != nullptr) {
    *size = 0;
  }
  reportFailure(line);
  return false;
}

bool parse(google::protobuf::MessageLite& message, const char* data, int size) {
  if (size < 0 || (data == nullptr && size > 0)) {
    return false;
  }
  static const char kEmpty = 0;
  return message.ParsePartialFromArray(data != nullptr ? data : &kEmpty, size) && message.IsInitialized();
}

bool decode(google::protobuf::MessageLite& message, const char* data, int size, const FailureLine& line) {
  if (!parse(message, data, size)) {
    reportFailure(line);
    return false;
  }
  return true;
}

}  // namespace codec
}  // namespace ruko
