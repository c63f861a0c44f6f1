#include "fake_controller.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

namespace ruko {
namespace test {

bool waitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!predicate()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return predicate();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// ---- Script ----------------------------------------------------------------------------------------------------

FakeController::Script& FakeController::Script::reply(const std::string& body) {
  std::lock_guard<std::mutex> lock(m_owner->m_mutex);
  Step step;
  step.bytes = framePacket(m_type, body);
  step.delay = m_pendingDelay;
  m_steps.push_back(std::move(step));
  m_pendingDelay = std::chrono::milliseconds(0);
  m_hasPendingDelay = false;
  return *this;
}

FakeController::Script& FakeController::Script::replyRaw(const std::string& bytes) {
  std::lock_guard<std::mutex> lock(m_owner->m_mutex);
  Step step;
  step.bytes = bytes;
  step.raw = true;
  step.delay = m_pendingDelay;
  m_steps.push_back(std::move(step));
  m_pendingDelay = std::chrono::milliseconds(0);
  m_hasPendingDelay = false;
  return *this;
}

FakeController::Script& FakeController::Script::noReply() {
  std::lock_guard<std::mutex> lock(m_owner->m_mutex);
  Step step;
  step.delay = m_pendingDelay;
  m_steps.push_back(std::move(step));
  m_pendingDelay = std::chrono::milliseconds(0);
  m_hasPendingDelay = false;
  return *this;
}

FakeController::Script& FakeController::Script::delay(std::chrono::milliseconds wait) {
  std::lock_guard<std::mutex> lock(m_owner->m_mutex);
  m_pendingDelay = wait;
  m_hasPendingDelay = true;
  return *this;
}

FakeController::Script& FakeController::Script::thenClose() {
  std::lock_guard<std::mutex> lock(m_owner->m_mutex);
  if (m_steps.empty()) {
    m_steps.emplace_back();
  }
  m_steps.back().close = true;
  return *this;
}

FakeController::Script& FakeController::Script::allowUnused() {
  std::lock_guard<std::mutex> lock(m_owner->m_mutex);
  m_allowUnused = true;
  return *this;
}

// ---- FakeController --------------------------------------------------------------------------------------------

namespace {

sim::ServerOptions fakeServerOptions() {
  sim::ServerOptions options;
  options.singleClient = true;
  return options;
}

}  // namespace

FakeController::FakeController()
    : m_server(fakeServerOptions(),
               sim::ServerHooks{[this](sim::SessionId id) { onConnected(id); },
                                [this](sim::SessionId id, std::vector<FakePacket>& packets,
                                       const std::vector<std::string>& errors,
                                       size_t bytes) { onReceived(id, packets, errors, bytes); },
                                [this](sim::SessionId id) { onDisconnected(id); },
                                [this](sim::SessionId, const sim::Action& action) { onWritten(action); }}) {
  std::string error;
  if (!m_server.start(&error)) {
    ADD_FAILURE() << "fake controller: cannot listen on 127.0.0.1: " << error;
  }
  m_port = m_server.port();
}

FakeController::~FakeController() {
  m_server.stop();
  for (const std::string& error : m_server.errors()) {
    ADD_FAILURE() << "fake controller: " << error;
  }
  for (const auto& entry : m_scripts) {
    const Script& script = *entry.second;
    if (script.m_hasPendingDelay) {
      ADD_FAILURE() << "fake controller: delay() for type " << script.m_type << " has no step after it";
    }
    if (script.m_allowUnused) {
      continue;
    }
    for (size_t i = 0; i < script.m_steps.size(); ++i) {
      if (script.m_steps[i].runs == 0) {
        ADD_FAILURE() << "fake controller: step " << i + 1 << " of " << script.m_steps.size() << " for type "
                      << script.m_type << " never ran";
      }
    }
  }
  for (const std::string& error : m_protocolErrors) {
    ADD_FAILURE() << "fake controller: malformed bytes from the client: " << error;
  }
}

FakeController::Script& FakeController::on(int32_t type) {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::unique_ptr<Script>& script = m_scripts[type];
  if (!script) {
    script.reset(new Script(this, type));
  }
  return *script;
}

bool FakeController::push(int32_t type, const std::string& body) {
  return sendRaw(framePacket(type, body));
}

bool FakeController::pushBurst(int32_t type, const std::string& body, int count) {
  const std::string one = framePacket(type, body);
  std::string all;
  all.reserve(one.size() * static_cast<size_t>(count > 0 ? count : 0));
  for (int i = 0; i < count; ++i) {
    all += one;
  }
  return sendRaw(all);
}

bool FakeController::sendRaw(const std::string& bytes) {
  return m_server.send(m_server.latestSession(), bytes);
}

bool FakeController::sendRawSplit(const std::vector<std::string>& pieces, std::chrono::milliseconds pause) {
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) {
      std::this_thread::sleep_for(pause);
    }
    if (!sendRaw(pieces[i])) {
      return false;
    }
  }
  return true;
}

bool FakeController::sendUrgent(char byte) {
  return m_server.send(m_server.latestSession(), std::string(1, byte), MSG_OOB);
}

void FakeController::closeConnection() {
  m_server.shutdownSession(m_server.latestSession());
}

void FakeController::pauseReading(bool paused) {
  m_server.pauseReading(paused);
}

bool FakeController::waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_changed.wait_for(lock, timeout, predicate);
}

bool FakeController::waitForConnections(int count, std::chrono::milliseconds timeout) {
  return waitUntil([&] { return m_connections >= count; }, timeout);
}

bool FakeController::waitForClientGone(std::chrono::milliseconds timeout) {
  return waitUntil([&] { return !m_clientOpen; }, timeout);
}

bool FakeController::waitForReceived(size_t count, std::chrono::milliseconds timeout) {
  return waitUntil([&] { return m_received.size() >= count; }, timeout);
}

bool FakeController::waitForSent(size_t count, std::chrono::milliseconds timeout) {
  return waitUntil([&] { return m_sent.size() >= count; }, timeout);
}

int FakeController::connectionCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_connections;
}

std::vector<FakePacket> FakeController::received() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_received;
}

std::vector<FakePacket> FakeController::receivedOfType(int32_t type) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<FakePacket> out;
  for (const FakePacket& packet : m_received) {
    if (packet.type == type) {
      out.push_back(packet);
    }
  }
  return out;
}

std::vector<FakeSent> FakeController::sent() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_sent;
}

uint64_t FakeController::bytesReceived() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_bytesReceived;
}

void FakeController::onConnected(sim::SessionId) {
  std::lock_guard<std::mutex> lock(m_mutex);
  ++m_connections;
  m_clientOpen = true;
  m_changed.notify_all();
}

void FakeController::onDisconnected(sim::SessionId) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_clientOpen = false;
  m_changed.notify_all();
}

void FakeController::onReceived(sim::SessionId session, std::vector<FakePacket>& packets,
                                const std::vector<std::string>& errors, size_t bytes) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_bytesReceived += bytes;
  m_protocolErrors.insert(m_protocolErrors.end(), errors.begin(), errors.end());
  for (FakePacket& packet : packets) {
    const auto found = m_scripts.find(packet.type);
    if (found != m_scripts.end() && !found->second->m_steps.empty()) {
      Script& script = *found->second;
      const size_t index = script.m_next < script.m_steps.size() ? script.m_next++ : script.m_steps.size() - 1;
      Script::Step& step = script.m_steps[index];
      ++step.runs;
      if (!step.bytes.empty() || step.close) {
        sim::Action action;
        action.bytes = step.bytes;
        action.close = step.close;
        action.tag = packet.type;
        m_server.schedule(session, packet.at + step.delay, std::move(action));
      }
    }
    m_received.push_back(std::move(packet));
  }
  m_changed.notify_all();
}

void FakeController::onWritten(const sim::Action& action) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_sent.push_back({action.tag, std::chrono::steady_clock::now()});
  m_changed.notify_all();
}

}  // namespace test
}  // namespace ruko
