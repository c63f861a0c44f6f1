#include "server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ruko {
namespace sim {

Server::Server(ServerOptions options, ServerHooks hooks) : m_options(std::move(options)), m_hooks(std::move(hooks)) {}

Server::~Server() { stop(); }

bool Server::start(std::string* error) {
  const auto fail = [&](const std::string& what) {
    if (error != nullptr) {
      *error = what + ": " + std::strerror(errno);
    }
    if (m_listenFd != -1) {
      close(m_listenFd);
      m_listenFd = -1;
    }
    return false;
  };
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(m_options.port));
  if (inet_pton(AF_INET, m_options.host.c_str(), &address.sin_addr) != 1) {
    errno = EINVAL;
    return fail("not a dotted IPv4 address: " + m_options.host);
  }
  m_listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (m_listenFd < 0) {
    return fail("socket");
  }
  const int one = 1;
  setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  if (bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    return fail("cannot bind " + m_options.host + ":" + std::to_string(m_options.port));
  }
  if (listen(m_listenFd, 16) != 0) {
    return fail("listen");
  }
  socklen_t length = sizeof(address);
  getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length);
  m_port = ntohs(address.sin_port);
  if (pipe2(m_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    return fail("pipe");
  }
  m_thread = std::thread(&Server::run, this);
  return true;
}

void Server::stop() {
  if (!m_thread.joinable()) {
    return;
  }
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = true;
  }
  wake();
  m_thread.join();
  std::map<SessionId, std::shared_ptr<Session>> sessions;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    sessions.swap(m_sessions);
    m_actions.clear();
    m_streams.clear();
    m_latest = 0;
  }
  for (auto& entry : sessions) {
    std::lock_guard<std::mutex> writeLock(entry.second->writeMutex);
    if (entry.second->fd != -1) {
      close(entry.second->fd);
      entry.second->fd = -1;
    }
  }
  close(m_listenFd);
  close(m_wakePipe[0]);
  close(m_wakePipe[1]);
  m_listenFd = m_wakePipe[0] = m_wakePipe[1] = -1;
}

void Server::schedule(SessionId session, Clock::time_point at, Action action) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (action.stream != 0 && m_streams.count(action.stream) == 0) {
      return;  // cancelled before it began
    }
    m_actions.emplace(at, Scheduled{session, std::move(action)});
  }
  wake();
}

uint64_t Server::newStreamId() {
  std::lock_guard<std::mutex> lock(m_mutex);
  const uint64_t id = m_nextStream++;
  m_streams.insert(id);
  return id;
}

void Server::cancelStream(uint64_t stream) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_streams.erase(stream);
  for (auto it = m_actions.begin(); it != m_actions.end();) {
    it = it->second.action.stream == stream ? m_actions.erase(it) : std::next(it);
  }
}

std::shared_ptr<Server::Session> Server::find(SessionId id) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  const auto found = m_sessions.find(id);
  return found == m_sessions.end() ? nullptr : found->second;
}

bool Server::writeAll(int fd, const char* data, size_t size, int flags) {
  size_t done = 0;
  while (done < size) {
    const ssize_t r = ::send(fd, data + done, size - done, flags | MSG_NOSIGNAL);
    if (r < 0 && errno == EINTR) {
      continue;
    }
    if (r <= 0) {
      return false;
    }
    done += static_cast<size_t>(r);
  }
  return true;
}

bool Server::send(SessionId id, const std::string& bytes, int flags) {
  const std::shared_ptr<Session> session = find(id);
  if (!session) {
    return false;
  }
  std::lock_guard<std::mutex> writeLock(session->writeMutex);
  return session->fd != -1 && writeAll(session->fd, bytes.data(), bytes.size(), flags);
}

void Server::shutdownSession(SessionId id) {
  // Only the server's thread closes the descriptor (it may be polling it); shutdown() sends the end of the
  // stream now and makes that thread read it and close.
  const std::shared_ptr<Session> session = find(id);
  if (!session) {
    return;
  }
  std::lock_guard<std::mutex> writeLock(session->writeMutex);
  if (session->fd != -1) {
    shutdown(session->fd, SHUT_RDWR);
  }
}

void Server::pauseReading(bool paused) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_readingPaused = paused;
  }
  wake();
}

std::vector<SessionId> Server::sessions() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<SessionId> ids;
  for (const auto& entry : m_sessions) {
    ids.push_back(entry.first);
  }
  return ids;
}

SessionId Server::latestSession() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_latest;
}

std::vector<std::string> Server::errors() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_errors;
}

void Server::wake() {
  const char byte = 1;
  // A full pipe already holds a wake-up.
  (void)!write(m_wakePipe[1], &byte, 1);
}

void Server::run() {
  std::vector<pollfd> fds;
  std::vector<std::shared_ptr<Session>> polled;
  for (;;) {
    int timeoutMs = -1;
    bool paused = false;
    polled.clear();
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_stop) {
        return;
      }
      paused = m_readingPaused;
      if (!m_actions.empty()) {
        const auto wait = m_actions.begin()->first - Clock::now();
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
        timeoutMs = ms < 0 ? 0 : static_cast<int>(ms);
      }
      if (!paused) {
        for (const auto& entry : m_sessions) {
          polled.push_back(entry.second);
        }
      }
    }
    fds.assign({{m_wakePipe[0], POLLIN, 0}, {m_listenFd, POLLIN, 0}});
    for (const auto& session : polled) {
      // Only this thread changes a session's descriptor, so reading it here needs no lock.
      fds.push_back({session->fd, POLLIN, 0});
    }
    const int ready = poll(fds.data(), fds.size(), timeoutMs);
    if (ready < 0 && errno != EINTR) {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_errors.push_back(std::string("poll failed: ") + std::strerror(errno));
      return;
    }
    if (ready > 0) {
      if ((fds[0].revents & POLLIN) != 0) {
        char drain[64];
        while (read(m_wakePipe[0], drain, sizeof(drain)) > 0) {
        }
      }
      if ((fds[1].revents & POLLIN) != 0) {
        acceptClient();
      }
      for (size_t i = 0; i < polled.size(); ++i) {
        if (fds[i + 2].revents != 0) {
          readSession(polled[i]);
        }
      }
    }
    runDueActions();
  }
}

void Server::acceptClient() {
  const int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) {
    return;
  }
  // Small writes leave as separate segments, so a split marker really arrives split.
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
  const timeval sendTimeout{static_cast<time_t>(m_options.sendTimeout.count()), 0};
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof(sendTimeout));
  if (m_options.singleClient) {
    std::vector<std::shared_ptr<Session>> old;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      for (const auto& entry : m_sessions) {
        old.push_back(entry.second);
      }
    }
    for (const auto& session : old) {
      closeSession(session);
    }
  }
  auto session = std::make_shared<Session>(m_options.maxLengthField);
  session->fd = fd;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    session->id = m_nextSession++;
    m_sessions.emplace(session->id, session);
    m_latest = session->id;
  }
  if (m_hooks.connected) {
    m_hooks.connected(session->id);
  }
}

void Server::closeSession(const std::shared_ptr<Session>& session) {
  {
    std::lock_guard<std::mutex> writeLock(session->writeMutex);
    if (session->fd == -1) {
      return;
    }
    close(session->fd);
    session->fd = -1;
  }
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sessions.erase(session->id);
    if (m_latest == session->id) {
      m_latest = 0;
    }
    for (auto it = m_actions.begin(); it != m_actions.end();) {
      it = it->second.session == session->id ? m_actions.erase(it) : std::next(it);
    }
  }
  if (m_hooks.disconnected) {
    m_hooks.disconnected(session->id);
  }
}

void Server::readSession(const std::shared_ptr<Session>& session) {
  static thread_local std::vector<char> buffer(1 << 16);
  if (session->fd == -1) {
    return;  // closed earlier in this turn
  }
  const ssize_t n = recv(session->fd, buffer.data(), buffer.size(), 0);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
    return;
  }
  if (n <= 0) {
    closeSession(session);
    return;
  }
  const size_t errorsBefore = session->parser.errors().size();
  std::vector<FakePacket> packets = session->parser.feed(buffer.data(), static_cast<size_t>(n));
  const std::vector<std::string> newErrors(session->parser.errors().begin() + static_cast<std::ptrdiff_t>(errorsBefore),
                                           session->parser.errors().end());
  if (m_hooks.received) {
    m_hooks.received(session->id, packets, newErrors, static_cast<size_t>(n));
  }
}

void Server::runDueActions() {
  for (;;) {
    Scheduled due;
    std::shared_ptr<Session> session;
    Clock::time_point at;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_actions.empty() || m_actions.begin()->first > Clock::now()) {
        return;
      }
      at = m_actions.begin()->first;
      due = std::move(m_actions.begin()->second);
      m_actions.erase(m_actions.begin());
      if (due.session == kNoSession) {
        session = nullptr;
      } else {
        const auto found = m_sessions.find(due.session);
        if (found == m_sessions.end()) {
          continue;  // meant for a session that has gone
        }
        session = found->second;
      }
    }
    Action& action = due.action;
    if (!session) {
      if (action.make) {
        action.make();  // a timer: runs for its effect, writes nothing
      }
      continue;
    }
    const std::string bytes = action.make ? action.make() : action.bytes;
    bool written = false;
    {
      std::lock_guard<std::mutex> writeLock(session->writeMutex);
      written = session->fd != -1 && !bytes.empty() && writeAll(session->fd, bytes.data(), bytes.size(), 0);
    }
    if (written && m_hooks.written) {
      m_hooks.written(session->id, action);
    }
    if (action.close || (!bytes.empty() && !written)) {
      closeSession(session);  // asked for, or the client stopped reading
      continue;
    }
    if (action.stream != 0 && action.period.count() > 0) {
      // The next turn keeps to the rate even when this one ran late, but never bunches up.
      Clock::time_point next = at + action.period;
      const Clock::time_point now = Clock::now();
      if (next < now) {
        next = now;
      }
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_streams.count(action.stream) != 0) {
        m_actions.emplace(next, Scheduled{due.session, std::move(action)});
      }
    }
  }
}

}  // namespace sim
}  // namespace ruko
