// ruko-sim: the simulated robot controller as a program. Flags are listed by --help.

#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "simulator.h"

namespace {

const char kUsage[] =
    "Usage: ruko-sim [flags]\n"
    "A simulated robot controller: serves the controller protocol over TCP until Ctrl-C or SIGTERM.\n"
    "\n"
    "  --host ADDR          dotted IPv4 address to listen on (default 127.0.0.1)\n"
    "  --port N             TCP port (default 8899; 0 picks a free one, printed at start)\n"
    "  --model M            arm model by name or value (default 3); one of:\n"
    "                       %s\n"
    "  --version TEXT       version text reported for type 124 (default 4.10.1)\n"
    "  --user NAME          with --password: only these credentials log in (default: any)\n"
    "  --password TEXT\n"
    "  --push-hz HZ         rate of joint-status, joint-angle and end-speed pushes (default 50)\n"
    "  --time-scale F       factor on every simulated duration: lifecycle steps 100 ms x F,\n"
    "                       moves 500 ms x F (default 1; 0.1 is ten times faster)\n"
    "  --joints J1,...,J6   initial joint angles in radians (default all 0)\n"
    "  --power-off          the arm starts unpowered (start-up powers it)\n"
    "  --no-arm             report no real arm attached (type 37)\n"
    "Fault injection (TYPE is a command type; each flag may be repeated):\n"
    "  --delay TYPE=MS      answer TYPE this many milliseconds late\n"
    "  --no-reply TYPE      never answer TYPE\n"
    "  --error TYPE=CODE    answer TYPE with this result code (the request changes nothing)\n"
    "  --event-first TYPE   send the completion events of TYPE before its reply\n"
    "  --event TYPE:CODE:MS[:TEXT]\n"
    "                       send this event to each client MS milliseconds after its login\n"
    "  --help               this text\n";

bool toInt(const std::string& text, int* out) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value < -2147483647L || value > 2147483647L) return false;
  *out = static_cast<int>(value);
  return true;
}

bool toDouble(const std::string& text, double* out) {
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || errno != 0 || !(value == value)) return false;
  *out = value;
  return true;
}

std::vector<std::string> split(const std::string& text, char separator, size_t maxParts = 0) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : text) {
    if (c == separator && (maxParts == 0 || parts.size() + 1 < maxParts)) {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  return parts;
}

// TYPE=VALUE
bool typeAndValue(const std::string& text, int* type, int* value) {
  const std::vector<std::string> parts = split(text, '=');
  return parts.size() == 2 && toInt(parts[0], type) && toInt(parts[1], value);
}

int usageError(const std::string& message) {
  std::cerr << "ruko-sim: " << message << "\n(see ruko-sim --help)\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  ruko::sim::Options options;
  options.port = 8899;
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--help" || flag == "-h") {
      std::printf(kUsage, ruko::sim::Simulator::modelList().c_str());
      return 0;
    }
    const bool takesValue = flag != "--power-off" && flag != "--no-arm";
    if (takesValue && i + 1 >= argc) return usageError(flag + " needs a value");
    const std::string value = takesValue ? argv[++i] : "";
    int type = 0;
    int number = 0;
    if (flag == "--host") {
      options.host = value;
    } else if (flag == "--port") {
      if (!toInt(value, &options.port) || options.port < 0 || options.port > 65535) return usageError("bad port");
    } else if (flag == "--model") {
      if (!ruko::sim::Simulator::findModel(value, &options.model)) return usageError("no analytic model " + value);
    } else if (flag == "--version") {
      options.version = value;
    } else if (flag == "--user") {
      options.user = value;
    } else if (flag == "--password") {
      options.password = value;
    } else if (flag == "--push-hz") {
      if (!toDouble(value, &options.pushHz) || options.pushHz <= 0 || options.pushHz > 10000) {
        return usageError("bad push rate");
      }
    } else if (flag == "--time-scale") {
      if (!toDouble(value, &options.timeScale) || options.timeScale < 0 || options.timeScale > 1000) {
        return usageError("bad time scale");
      }
    } else if (flag == "--joints") {
      const std::vector<std::string> parts = split(value, ',');
      if (parts.size() != 6) return usageError("--joints needs six values");
      for (size_t j = 0; j < 6; ++j) {
        if (!toDouble(parts[j], &options.joints[j])) return usageError("bad joint angle " + parts[j]);
      }
    } else if (flag == "--power-off") {
      options.powerOn = false;
    } else if (flag == "--no-arm") {
      options.armAttached = false;
    } else if (flag == "--delay") {
      if (!typeAndValue(value, &type, &number) || number < 0) return usageError("bad --delay " + value);
      options.faults[type].delay = std::chrono::milliseconds(number);
    } else if (flag == "--no-reply") {
      if (!toInt(value, &type)) return usageError("bad --no-reply " + value);
      options.faults[type].noReply = true;
    } else if (flag == "--error") {
      if (!typeAndValue(value, &type, &number)) return usageError("bad --error " + value);
      options.faults[type].errorCode = number;
    } else if (flag == "--event-first") {
      if (!toInt(value, &type)) return usageError("bad --event-first " + value);
      options.faults[type].eventBeforeReply = true;
    } else if (flag == "--event") {
      const std::vector<std::string> parts = split(value, ':', 4);
      ruko::sim::TimedEvent event;
      int after = 0;
      if (parts.size() < 3 || !toInt(parts[0], &event.type) || !toInt(parts[1], &event.code) ||
          !toInt(parts[2], &after) || after < 0) {
        return usageError("bad --event " + value);
      }
      event.afterLogin = std::chrono::milliseconds(after);
      event.text = parts.size() == 4 ? parts[3] : "";
      options.loginEvents.push_back(event);
    } else {
      return usageError("unknown flag " + flag);
    }
  }

  // Block the stop signals before the server's thread starts, so it inherits the mask and only sigwait()
  // below receives them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  ruko::sim::Simulator simulator(options);
  std::string error;
  if (!simulator.start(&error)) {
    std::cerr << "ruko-sim: " << error << "\n";
    return 1;
  }
  std::cout << "ruko-sim listening on " << options.host << ":" << simulator.port() << std::endl;

  int signal = 0;
  while (sigwait(&stopSignals, &signal) != 0) {
  }
  simulator.stop();
  std::cout << "ruko-sim stopped" << std::endl;
  return 0;
}
