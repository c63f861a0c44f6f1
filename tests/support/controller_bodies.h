#ifndef RUKO_TEST_SUPPORT_CONTROLLER_BODIES_H
#define RUKO_TEST_SUPPORT_CONTROLLER_BODIES_H

// Reply and push bodies as the controller writes them, made with the generated message classes (not with
// the library's codec), for scripting the fake controller.

#include <cstdint>
#include <string>
#include <vector>

#include "ruko_sdk/robot_status_types.h"

namespace ruko {
namespace test {

// Joint-status push or reply: six joints; joint i carries base + i in every field.
std::string jointStatusBody(int base, int serverCode = 0);
std::string jointAngleBody(const double (&joints)[6], int serverCode = 0);
// End speed in mm/s as the controller sends it (an integer, read as metres per second / 1000).
std::string generalIntBody(const std::vector<int>& ints, int serverCode = 0);
std::string moveControlBody(int ret, int serverCode = 0);
// A login reply: model, the six DH values A3, A4, D1, D2, D5, D6, server code.
std::string dhParamBody(int robotType, const double (&dh)[6], int serverCode = 0);
// A reply carrying one boolean (is-real-robot, rotation flags, firmware result).
std::string boolBody(bool value, int serverCode = 0);
// A reply carrying one text (version, ethernet device name).
std::string textBody(const std::string& text, int serverCode = 0);
std::string diagnosisBody(bool armPowerStatus, int serverCode = 0);
std::string collisionCurrentBody(int collisionClass, int serverCode = 0);
// Device information with the interface board's revision text; the other texts empty.
std::string devInfoBody(const std::string& revision, int serverCode = 0);
std::string safetyConfigBody(const ruko_robot_namespace::RobotSafetyConfig& config, int serverCode = 0);
std::string tcpParamBody(const RobotTcpParam& tcpParam, int serverCode = 0);

// Readers of request bodies, for checking what the library sent. Each returns false when the body is not
// the message it names.
// A general-data body (e.g. the collision grade): its integers.
bool readGeneralInts(const std::string& body, std::vector<int>& ints);
// An integer value list (e.g. joint parameters): its values.
bool readIntVector(const std::string& body, std::vector<int>& values);
// A safety I/O body: its parameters.
bool readSafeIoParams(const std::string& body, std::vector<uint32_t>& params);
// A tool centre and payload body.
bool readTcpParam(const std::string& body, RobotTcpParam& tcpParam);
// A start-up body: its tool centre and payload and its collision class.
bool readStartup(const std::string& body, RobotTcpParam& tcpParam, int& collisionClass);

}  // namespace test
}  // namespace ruko

#endif
