#ifndef RUKO_CODEC_CODEC_SUPPORT_H
#define RUKO_CODEC_CODEC_SUPPORT_H

// The pieces every codec member is built from: where a failure line goes, the one way to turn a message into a
// caller-owned array and back, the readers of the controller's error record, and the list-copy rules.

#include <google/protobuf/arena.h>
#include <google/protobuf/message_lite.h>
#include <google/protobuf/repeated_field.h>

#include <algorithm>
#include <cstddef>
#include <string>

namespace ruko {
namespace codec {

enum class Sink { StdErr, StdOut, Log };

// A member's failure line and where it goes (the log at LL_ERROR for Sink::Log).
struct FailureLine {
  Sink sink;
  const char* text;
};

constexpr FailureLine toStdErr(const char* text) {
  return {Sink::StdErr, text};
}
constexpr FailureLine toStdOut(const char* text) {
  return {Sink::StdOut, text};
}
constexpr FailureLine toLog(const char* text) {
  return {Sink::Log, text};
}

// The line of ProtobufDataSerializeToArray, shared by the members built on it.
constexpr FailureLine kGenericSerializeFailure = toLog(" Serialize fail.");

void reportFailure(const FailureLine& line);

// Serialises `message` into a new[] array of exactly its size. Refuses a message with an unset required field
// (libprotobuf would otherwise abort or send an incomplete body), null outputs and bodies beyond int range. On
// failure: *data = nullptr, *size = 0 (where the pointers allow), `line` reported, false.
bool encode(const google::protobuf::MessageLite& message, char** data, int* size, const FailureLine& line);

// A builder's refusal of inputs it cannot encode soundly: the same outcome as a failed serialisation.
bool refuse(char** data, int* size, const FailureLine& line);

// Parses without letting libprotobuf write to stderr: a body that is not a valid encoding, lacks a required field,
// or comes with a negative length or a null pointer is refused. Writes no line.
bool parse(google::protobuf::MessageLite& message, const char* data, int size);

// parse() plus `line` on failure.
bool decode(google::protobuf::MessageLite& message, const char* data, int size, const FailureLine& line);

// A message on an arena whose first block lies inside this object, i.e. on the caller's stack: a small message
// costs no heap allocation at all, a big one (a track of waypoints) a few arena blocks instead of one allocation per
// sub-message and repeated field.
template <class Msg>
class ScratchMessage {
 public:
  ScratchMessage() : m_arena(arenaOptions(m_block)), m_message(google::protobuf::Arena::CreateMessage<Msg>(&m_arena)) {}
  ScratchMessage(const ScratchMessage&) = delete;
  ScratchMessage& operator=(const ScratchMessage&) = delete;

  Msg& operator*() { return *m_message; }
  Msg* operator->() { return m_message; }

 private:
  static constexpr std::size_t kBlockSize = 2048;
  static google::protobuf::ArenaOptions arenaOptions(char* block) {
    google::protobuf::ArenaOptions options;
    options.initial_block = block;
    options.initial_block_size = kBlockSize;
    return options;
  }

  alignas(std::max_align_t) char m_block[kBlockSize];
  google::protobuf::Arena m_arena;
  Msg* m_message;
};

// Parses a body into a fresh Msg and hands it to `read`, whose result becomes the resolver's.
template <class Msg, class Read>
bool resolve(const char* data, int size, const FailureLine& line, Read&& read) {
  ScratchMessage<Msg> message;
  if (!decode(*message, data, size, line)) {
    return false;
  }
  return read(static_cast<const Msg&>(*message));
}

// ---- The controller's error record ------------------------------------------------------------------------------

// A required errorInfo: the code is always there.
template <class Msg>
int requiredErrorCode(const Msg& message) {
  return message.errorinfo().errorcode();
}

// A repeated errorInfo: the first element's code, when there is one; otherwise errorCode keeps the caller's value.
template <class Msg>
bool readFirstErrorCode(const Msg& message, int& errorCode) {
  if (message.errorinfo_size() == 0) {
    return false;
  }
  errorCode = message.errorinfo(0).errorcode();
  return true;
}

// Fills either error record message; the text stops at its first zero byte, as a C string would.
template <class ErrorRecord>
void fillErrorRecord(ErrorRecord& record, int errorCode, const std::string& errorMsg) {
  record.set_errorcode(errorCode);
  record.set_errormsg(errorMsg.c_str());
}

// The parameter replies carry the caller's text whole, embedded zero bytes included.
template <class ErrorRecord>
void fillErrorRecordWhole(ErrorRecord& record, int errorCode, const std::string& errorMsg) {
  record.set_errorcode(errorCode);
  record.set_errormsg(errorMsg);
}

// The gate of the "only if 0" resolvers that read the first element of a list: with a non-zero code only the code
// is handed out; with 0 the first element must exist and convert, otherwise the resolve fails with `line` and
// leaves every output, the code included, as it was.
template <class Msg, class ListOf, class Convert>
bool resolveFirstElementIfSuccess(const char* data, int size, const FailureLine& line, int& errorCode, ListOf&& listOf,
                                  Convert&& convert) {
  return resolve<Msg>(data, size, line, [&](const Msg& message) {
    const int code = requiredErrorCode(message);
    if (code == 0) {
      const auto& list = listOf(message);
      if (list.empty() || !convert(list.Get(0))) {
        reportFailure(line);
        return false;
      }
    }
    errorCode = code;
    return true;
  });
}

// ---- List-copy rules --------------------------------------------------------------------------------------------

template <class T, std::size_t N>
constexpr int countOf(const T (&)[N]) {
  return static_cast<int>(N);
}

// Appends every array element, converted to the list's element type.
template <class List, class T, std::size_t N>
void appendAll(List* list, const T (&values)[N]) {
  using Wire = typename List::value_type;
  list->Reserve(list->size() + static_cast<int>(N));
  for (std::size_t i = 0; i < N; ++i) {
    list->Add(static_cast<Wire>(values[i]));
  }
}

// Copies the first min(N, count) elements; the rest of the array keeps its values. Returns how many were copied.
template <class List, class T, std::size_t N>
int copyPrefix(const List& list, T (&values)[N]) {
  const int n = std::min(list.size(), static_cast<int>(N));
  for (int i = 0; i < n; ++i) {
    values[i] = static_cast<T>(list.Get(i));
  }
  return n;
}

// Copies exactly N elements, each narrowed to the array's type (integers keep their low bits). The caller has
// checked the length.
template <class List, class T, std::size_t N>
void copyExact(const List& list, T (&values)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    values[i] = static_cast<T>(list.Get(static_cast<int>(i)));
  }
}

template <class List, class T, std::size_t N>
bool hasLength(const List& list, const T (&)[N]) {
  return list.size() == static_cast<int>(N);
}

}  // namespace codec
}  // namespace ruko

#endif  // RUKO_CODEC_CODEC_SUPPORT_H
