// The message schemas are the wire contract with the controller: these tests pin the bytes of known bodies and the
// proto2 rule that a body lacking a required field is refused, independently of the codec built on top.
#include <google/protobuf/message.h>
#include <google/protobuf/util/message_differencer.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "robotcommon.pb.h"
#include "robotcommunication.pb.h"

namespace {

namespace comm = ruko::robot::communication;
namespace common = ruko::robot::common;
using google::protobuf::Message;

std::string fromHex(const std::string& hex) {
  std::string out;
  unsigned value = 0;
  int digits = 0;
  for (char c : hex) {
    if (c == ' ') continue;
    value = value * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'a' + 10);
    if (++digits == 2) {
      out.push_back(static_cast<char>(value));
      value = 0;
      digits = 0;
    }
  }
  return out;
}

std::string toHex(const std::string& bytes) {
  static const char* kDigits = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    if (!out.empty()) out.push_back(' ');
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 0xf]);
  }
  return out;
}

// The library's way of reading a body: a missing required field fails the parse without libprotobuf's stderr line.
bool parseBody(Message& message, const std::string& bytes) {
  return message.ParsePartialFromArray(bytes.data(), static_cast<int>(bytes.size())) && message.IsInitialized();
}

std::unique_ptr<Message> analogIoRequest() {
  auto m = std::make_unique<comm::ProtoCommunicationRobotAnalogIOData>();
  m->set_type(0);
  comm::ProtoRobotAnalogIODesc* io = m->add_iodesc();
  io->set_addr(3);
  io->set_type(0);
  io->set_value(1.5f);
  return m;
}

std::unique_ptr<Message> digitalIoRequest() {
  auto m = std::make_unique<comm::ProtoCommunicationRobotDiagnosisIOData>();
  m->set_type(0);
  comm::ProtoRobotDiagnosisIODesc* io = m->add_iodesc();
  io->set_addr(3);
  io->set_type(0);
  io->set_value(1);
  return m;
}

std::unique_ptr<Message> intVector() {
  auto m = std::make_unique<comm::ProtoCommunicationIntVector>();
  m->set_num(2);
  m->add_value(5);
  m->add_value(7);
  return m;
}

struct EncodingCase {
  const char* name;
  std::function<std::unique_ptr<Message>()> build;
  const char* hex;
};

// Field order on the wire follows the field numbers, so the analog message (ioDesc = 1, type = 3) is written in the
// opposite order from the digital one; required fields that hold zero are still written.
const EncodingCase kEncodings[] = {
    {"analog IO request", analogIoRequest, "0a 09 08 03 10 00 1d 00 00 c0 3f 18 00"},
    {"digital IO request", digitalIoRequest, "08 00 1a 06 08 03 10 00 18 01"},
    {"int vector, unpacked", intVector, "08 02 10 05 10 07"},
};

TEST(WireSchema, KnownBodiesSerialiseToTheirBytesAndParseBack) {
  for (const EncodingCase& c : kEncodings) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<Message> built = c.build();
    const std::string expected = fromHex(c.hex);
    ASSERT_TRUE(built->IsInitialized());
    EXPECT_EQ(toHex(built->SerializeAsString()), toHex(expected));
    EXPECT_EQ(built->ByteSizeLong(), expected.size());

    std::unique_ptr<Message> parsed(built->New());
    ASSERT_TRUE(parseBody(*parsed, expected));
    // A field of the wrong wire type would land among the unknown fields and still round-trip, so rule that out.
    EXPECT_TRUE(parsed->GetReflection()->GetUnknownFields(*parsed).empty());
    EXPECT_TRUE(google::protobuf::util::MessageDifferencer::Equals(*built, *parsed));
  }
}

TEST(WireSchema, PackedRepeatedNumbersAreAcceptedThoughNeverWritten) {
  comm::ProtoCommunicationIntVector parsed;
  ASSERT_TRUE(parseBody(parsed, fromHex("08 02 12 02 05 07")));
  EXPECT_TRUE(parsed.GetReflection()->GetUnknownFields(parsed).empty());
  ASSERT_EQ(parsed.value_size(), 2);
  EXPECT_EQ(parsed.value(0), 5);
  EXPECT_EQ(parsed.value(1), 7);
  EXPECT_EQ(toHex(parsed.SerializeAsString()), "08 02 10 05 10 07");
}

struct ParseCase {
  const char* name;
  std::function<std::unique_ptr<Message>()> make;
  std::string hex;
  bool parses;
};

template <class T>
std::unique_ptr<Message> empty() {
  return std::make_unique<T>();
}

// An orientation w=1, x=y=z=0 (doubles), the smallest complete ProtoRoadPoint around it, and an error record {0, ""}.
const std::string kOriWxyHex = "09 00 00 00 00 00 00 f0 3f 11 00 00 00 00 00 00 00 00 19 00 00 00 00 00 00 00 00 ";
const std::string kOriHex = kOriWxyHex + "21 00 00 00 00 00 00 00 00";
const std::string kRoadPointHex = "0a 00 12 24 " + kOriHex;
const std::string kErrorRecordHex = "08 00 12 00";

const ParseCase kParseCases[] = {
    {"int vector without num", empty<comm::ProtoCommunicationIntVector>, "10 05 10 07", false},
    {"digital IO without type", empty<comm::ProtoCommunicationRobotDiagnosisIOData>, "1a 06 08 03 10 00 18 01", false},
    {"digital IO entry without value", empty<comm::ProtoCommunicationRobotDiagnosisIOData>, "08 00 1a 04 08 03 10 00",
     false},
    {"common result without message", empty<comm::ProtoRobotCommonResponse>, "08 00", false},
    {"common result complete", empty<comm::ProtoRobotCommonResponse>, kErrorRecordHex, true},
    {"empty body where fields are required", empty<comm::ProtoRobotCommonResponse>, "", false},
    {"truncated body", empty<comm::ProtoCommunicationIntVector>, "08 02 10", false},
    // errorInfo is required here ...
    {"tcp parameter reply without error record", empty<common::ProtoResponseRobotTcpParam>, "", false},
    {"tcp parameter reply with error record", empty<common::ProtoResponseRobotTcpParam>, "12 04 " + kErrorRecordHex,
     true},
    // ... and repeated here, so a reply with no error record at all is complete.
    {"road point reply without error record", empty<common::ProtoRoadPointResponse>, "0a 28 " + kRoadPointHex, true},
    {"road point reply missing the orientation's z", empty<common::ProtoRoadPointResponse>,
     "0a 1f 0a 00 12 1b " + kOriWxyHex, false},
};

TEST(WireSchema, BodyParsesOnlyWhenEveryRequiredFieldIsPresentAtAnyDepth) {
  for (const ParseCase& c : kParseCases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<Message> message = c.make();
    EXPECT_EQ(parseBody(*message, fromHex(c.hex)), c.parses);
  }
}

// Writes a diagnosis body field by field, independently of the generated code: fields 2, 3 and 13 are floats
// (fixed 32-bit), the rest varints.
std::string diagnosisWithoutBoardFlag() {
  std::string out;
  for (uint32_t field = 1; field <= 29; ++field) {
    const bool isFloat = field == 2 || field == 3 || field == 13;
    uint32_t tag = field << 3 | (isFloat ? 5u : 0u);
    while (tag >= 0x80) {
      out.push_back(static_cast<char>((tag & 0x7f) | 0x80));
      tag >>= 7;
    }
    out.push_back(static_cast<char>(tag));
    out.append(isFloat ? 4 : 1, '\0');
  }
  return out;
}

TEST(WireSchema, DiagnosisBoardFlagIsTheOneOptionalField) {
  comm::RobotDiagnosis withoutFlag;
  ASSERT_TRUE(parseBody(withoutFlag, diagnosisWithoutBoardFlag()));
  EXPECT_TRUE(withoutFlag.GetReflection()->GetUnknownFields(withoutFlag).empty());
  EXPECT_FALSE(withoutFlag.has_controlboardabnormalstateflag());
  EXPECT_EQ(withoutFlag.controlboardabnormalstateflag(), 0u);

  comm::RobotDiagnosis withFlag;
  ASSERT_TRUE(parseBody(withFlag, diagnosisWithoutBoardFlag() + fromHex("f0 01 07")));
  EXPECT_EQ(withFlag.controlboardabnormalstateflag(), 7u);

  // Without its last required field (29) the body is incomplete.
  comm::RobotDiagnosis missingLast;
  const std::string full = diagnosisWithoutBoardFlag();
  EXPECT_FALSE(parseBody(missingLast, full.substr(0, full.size() - 3)));
}

}  // namespace
