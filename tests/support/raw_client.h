#ifndef RUKO_TEST_SUPPORT_RAW_CLIENT_H
#define RUKO_TEST_SUPPORT_RAW_CLIENT_H

// A bare TCP client for driving a controller server (the simulator) with raw packets: it frames with
// framePacket and reads with the fake's own parser, never with the library's engine.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "frame.h"
#include "robotcommunication.pb.h"

namespace ruko {
namespace test {

using sim::FakeFrameParser;
using sim::FakePacket;
using sim::framePacket;
using std::chrono::milliseconds;

// A bare TCP client that keeps every packet it reads, in order.
class RawClient {
 public:
  explicit RawClient(int port) {
    m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    const timeval turn{0, 20000};
    setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &turn, sizeof(turn));
  }
  ~RawClient() { close(m_fd); }

  void send(int type, const std::string& body = "") {
    const std::string bytes = framePacket(type, body);
    ASSERT_EQ(::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
  }

  // Reads until `done` holds for the packets read so far, or the deadline passes.
  bool readUntil(const std::function<bool(const std::vector<FakePacket>&)>& done, milliseconds timeout = milliseconds(3000)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[4096];
    while (!done(m_packets)) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      const ssize_t n = recv(m_fd, buffer, sizeof(buffer), 0);
      if (n > 0) {
        for (FakePacket& packet : m_parser.feed(buffer, static_cast<size_t>(n))) m_packets.push_back(packet);
      } else if (n == 0) {
        return done(m_packets);
      }
    }
    return true;
  }

  // The first packet of `type` at or after position `from`, waiting for it; nullptr when none came.
  const FakePacket* next(int type, size_t from = 0, milliseconds timeout = milliseconds(3000)) {
    const auto find = [&](const std::vector<FakePacket>& packets) -> const FakePacket* {
      for (size_t i = from; i < packets.size(); ++i) {
        if (packets[i].type == type) return &packets[i];
      }
      return nullptr;
    };
    readUntil([&](const std::vector<FakePacket>& packets) { return find(packets) != nullptr; }, timeout);
    return find(m_packets);
  }

  // The reply to a request of `type` sent now.
  const FakePacket* request(int type, const std::string& body = "") {
    const size_t from = m_packets.size();
    send(type, body);
    return next(type, from);
  }

  size_t indexOf(const FakePacket* packet) const { return static_cast<size_t>(packet - m_packets.data()); }
  const std::vector<FakePacket>& packets() const { return m_packets; }
  const FakeFrameParser& parser() const { return m_parser; }

  void login(const std::string& user = "user", const std::string& password = "pw") {
    ruko::robot::communication::ProtoRequestLogin request;
    request.set_username(user);
    request.set_passwd(password);
    const FakePacket* reply = this->request(0, request.SerializeAsString());
    ASSERT_NE(reply, nullptr);
  }

 private:
  int m_fd = -1;
  FakeFrameParser m_parser;
  std::vector<FakePacket> m_packets;
};

}  // namespace test
}  // namespace ruko

#endif
