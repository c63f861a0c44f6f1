// The fake controller checks the library, so it gets checked too: its parser on byte streams, and its
// script over a plain socket that knows nothing of the library.

#include "fake_controller.h"

#include <arpa/inet.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

using namespace std::chrono_literals;
using ruko::test::FakeController;
using ruko::test::FakeFrameParser;
using ruko::test::FakePacket;
using ruko::test::framePacket;
using ruko::test::framePacketWithLength;

namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(FakeFrameParser, FramesAsTheControllerDoes) {
  EXPECT_EQ(framePacket(115, ""),
            bytes({0xEE, 0xCC, 0xFF, 0xFF, 12, 0, 0, 0, 115, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(framePacket(2000, "ab").substr(4, 8), bytes({14, 0, 0, 0, 0xD0, 0x07, 0, 0}));
}

TEST(FakeFrameParser, ReassemblesPacketsFedInAnyPieces) {
  // The second body holds a start marker and an end marker of its own.
  const std::string tricky = bytes({0xEE, 0xCC, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  const std::string stream = framePacket(1, "") + framePacket(22, tricky) + framePacket(3, std::string(3000, 'x'));
  for (size_t piece : {size_t{1}, size_t{3}, size_t{7}, stream.size()}) {
    FakeFrameParser parser;
    std::vector<FakePacket> packets;
    for (size_t at = 0; at < stream.size(); at += piece) {
      for (FakePacket& p : parser.feed(stream.substr(at, piece))) packets.push_back(std::move(p));
    }
    ASSERT_EQ(packets.size(), 3u) << "piece " << piece;
    EXPECT_EQ(packets[0].type, 1);
    EXPECT_EQ(packets[0].lengthField, 12);
    EXPECT_EQ(packets[1].body, tricky);
    EXPECT_EQ(packets[2].body.size(), 3000u);
    EXPECT_TRUE(parser.errors().empty());
    EXPECT_EQ(parser.pendingBytes(), 0u);
  }
}

TEST(FakeFrameParser, ReportsWhatDoesNotFit) {
  struct Case {
    const char* name;
    std::string stream;
    size_t packets;
    const char* error;
  };
  std::string badTrailer = framePacket(5, "body");
  badTrailer[badTrailer.size() - 1] = 0;
  const Case cases[] = {
      {"stray bytes", "xyz" + framePacket(9, "b"), 1, "skipped 3 byte(s)"},
      {"length below 12", framePacketWithLength(11, 9, "") + framePacket(9, ""), 1, "bad length field 11"},
      {"negative length", framePacketWithLength(-1, 9, "") + framePacket(9, ""), 1, "bad length field -1"},
      {"bad trailer", badTrailer, 1, "bad check field or end marker"},
  };
  for (const Case& c : cases) {
    FakeFrameParser parser;
    EXPECT_EQ(parser.feed(c.stream).size(), c.packets) << c.name;
    ASSERT_FALSE(parser.errors().empty()) << c.name;
    EXPECT_NE(parser.errors()[0].find(c.error), std::string::npos) << c.name << ": " << parser.errors()[0];
  }
}

// A bare client: connect, write, read with a deadline.
class RawClient {
 public:
  explicit RawClient(int port) {
    m_fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    EXPECT_EQ(connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  }
  ~RawClient() { close(m_fd); }
  void send(const std::string& data) { ASSERT_EQ(::send(m_fd, data.data(), data.size(), 0), (ssize_t)data.size()); }
  // Reads until `count` packets arrived or the time is up.
  std::vector<FakePacket> read(size_t count, std::chrono::milliseconds timeout = 2000ms) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_packets.size() < count) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd p{m_fd, POLLIN, 0};
      if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      char buffer[4096];
      const ssize_t n = recv(m_fd, buffer, sizeof(buffer), 0);
      if (n <= 0) {
        m_closed = true;
        break;
      }
      for (FakePacket& packet : m_parser.feed(buffer, static_cast<size_t>(n))) m_packets.push_back(std::move(packet));
    }
    return m_packets;
  }
  bool closed() const { return m_closed; }

 private:
  int m_fd;
  bool m_closed = false;
  FakeFrameParser m_parser;
  std::vector<FakePacket> m_packets;
};

TEST(FakeController, RunsStepsInOrderAndRepeatsTheLast) {
  FakeController fake;
  fake.on(40).reply("first").delay(50ms).reply("second");
  fake.on(41).noReply();
  RawClient client(fake.port());
  for (int i = 0; i < 3; ++i) client.send(framePacket(40, ""));
  client.send(framePacket(41, "payload"));

  const std::vector<FakePacket> answers = client.read(3);
  ASSERT_EQ(answers.size(), 3u);
  EXPECT_EQ(answers[0].body, "first");
  EXPECT_EQ(answers[1].body, "second");
  EXPECT_EQ(answers[2].body, "second");
  EXPECT_EQ(answers[2].type, 40);

  ASSERT_TRUE(fake.waitForReceived(4));
  const std::vector<FakePacket> got = fake.received();
  EXPECT_EQ(got[3].type, 41);
  EXPECT_EQ(got[3].body, "payload");
  EXPECT_EQ(got[3].lengthField, 19);
  EXPECT_TRUE(fake.waitForSent(3));
  EXPECT_TRUE(client.read(4, 100ms).size() == 3) << "noReply() must answer nothing";
}

TEST(FakeController, DelayedAnswerDoesNotHoldUpOthers) {
  FakeController fake;
  fake.on(40).delay(300ms).reply("slow");
  fake.on(41).reply("fast");
  RawClient client(fake.port());
  client.send(framePacket(40, ""));
  client.send(framePacket(41, ""));
  const std::vector<FakePacket> answers = client.read(2);
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[0].body, "fast");
  EXPECT_EQ(answers[1].body, "slow");
}

TEST(FakeController, PushesRawBytesAndCloses) {
  FakeController fake;
  RawClient client(fake.port());
  ASSERT_TRUE(fake.waitForConnections(1));
  EXPECT_TRUE(fake.push(2, "event"));
  EXPECT_TRUE(fake.pushBurst(3, "js", 5));
  const std::string packet = framePacket(7, "angles");
  EXPECT_TRUE(fake.sendRawSplit({packet.substr(0, 2), packet.substr(2)}, 5ms));
  EXPECT_EQ(client.read(7).size(), 7u);
  fake.closeConnection();
  client.read(8, 1000ms);
  EXPECT_TRUE(client.closed());
  EXPECT_TRUE(fake.waitForClientGone());
}

TEST(FakeController, ScriptedCloseEndsTheConnectionAfterTheAnswer) {
  FakeController fake;
  fake.on(40).replyRaw(framePacket(40, "cut").substr(0, 10)).thenClose();
  RawClient client(fake.port());
  client.send(framePacket(40, ""));
  EXPECT_TRUE(client.read(1, 1000ms).empty());
  EXPECT_TRUE(client.closed());
}

TEST(FakeController, FailsTheTestForStepsThatNeverRan) {
  EXPECT_NONFATAL_FAILURE(
      {
        FakeController fake;
        fake.on(40).reply("never asked for");
      },
      "step 1 of 1 for type 40 never ran");
  EXPECT_NONFATAL_FAILURE(
      {
        FakeController fake;
        fake.on(40).delay(10ms);
      },
      "has no step after it");
  // allowUnused() opts out.
  FakeController fake;
  fake.on(40).reply("optional").allowUnused();
}

TEST(FakeController, FailsTheTestForMalformedBytesFromTheClient) {
  EXPECT_NONFATAL_FAILURE(
      {
        FakeController fake;
        RawClient client(fake.port());
        client.send("junk" + framePacket(1, ""));
        fake.waitForReceived(1);
      },
      "skipped 4 byte(s)");
}

}  // namespace
