#ifndef RUKO_TEST_SUPPORT_CODEC_BODY_H
#define RUKO_TEST_SUPPORT_CODEC_BODY_H

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace ruko {
namespace test {

// Owns what a codec builder hands out (a new[] array and its length).
struct Body {
  char* data = nullptr;
  int size = 0;
  Body() = default;
  Body(const Body&) = delete;
  Body& operator=(const Body&) = delete;
  ~Body() { delete[] data; }
  std::string bytes() const { return std::string(data, static_cast<std::size_t>(size)); }
};

// The body read back by the generated message class, which reads the schema independently of the codec.
template <class Msg>
Msg parsed(const Body& body) {
  Msg message;
  EXPECT_TRUE(message.ParseFromArray(body.data, body.size));
  return message;
}

}  // namespace test
}  // namespace ruko

#endif
