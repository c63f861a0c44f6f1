// Hostile arguments through the public API: null pointers, negative counts, out-of-range values, NaN and
// infinity. Each is refused with its code and exactly one error line, and nothing reaches the controller.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "fake_controller.h"
#include "log_capture.h"
#include "ruko_sdk/serviceinterface.h"
#include "util/timing.h"

using namespace ruko_robot_namespace;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Row {
  const char* what;
  std::function<int(ServiceInterface&)> call;
  int expected;
};

TEST(BadInput, IsRefusedWithOneLineAndNothingSent) {
  ruko::test::LogCapture log;
  ruko::ScopedTimingOverride fast(ruko::fastTiming());
  ruko::test::FakeController fake;
  ServiceInterface robot;
  fake.on(0).allowUnused();

  JointStatus statuses[6];
  JointCommonData common[6];
  uint8_t bytes[4] = {0, 1, 2, 3};
  double joints[6] = {0, 0, 0, 0, 0, 0};
  double nanJoints[6] = {0, kNaN, 0, 0, 0, 0};
  wayPoint_S waypoint{};
  Pos position{0.3, 0.1, 0.4};
  Pos nanPosition{kNaN, 0, 0};
  Ori ori{1, 0, 0, 0};
  Ori infOri{kInf, 0, 0, 0};
  std::vector<wayPoint_S> solutions;
  ToolDynamicsParam nanTool{};
  nanTool.payload = kNaN;
  ToolDynamicsParam hugeTool{};
  hugeTool.positionX = 1e300;
  ROBOT_SERVICE_STATE state = ROBOT_SERVICE_READY;

  const std::vector<Row> rows = {
      {"login without host", [](ServiceInterface& r) { return r.robotServiceLogin(nullptr, 8899, "u", "p"); },
       ErrCode_ParamError},
      {"login without user", [](ServiceInterface& r) { return r.robotServiceLogin("127.0.0.1", 8899, nullptr, "p"); },
       ErrCode_ParamError},
      {"login without password",
       [](ServiceInterface& r) { return r.robotServiceLogin("127.0.0.1", 8899, "u", nullptr); }, ErrCode_ParamError},
      {"joint status into null", [](ServiceInterface& r) { return r.robotServiceGetRobotJointStatus(nullptr, 6); },
       ErrCode_ParamError},
      {"joint status negative count",
       [&](ServiceInterface& r) { return r.robotServiceGetRobotJointStatus(statuses, -1); }, ErrCode_ParamError},
      {"safety error bytes null", [](ServiceInterface& r) { return r.robotServiceSetRobotOrpeError(nullptr, 4); },
       ErrCode_ParamError},
      {"safety error bytes negative count",
       [&](ServiceInterface& r) { return r.robotServiceSetRobotOrpeError(bytes, -4); }, ErrCode_ParamError},
      {"joint drive data into null", [](ServiceInterface& r) { return r.robotServiceGetJointCommonData(nullptr, 6); },
       ErrCode_ParamError},
      {"joint drive data negative count",
       [&](ServiceInterface& r) { return r.robotServiceGetJointCommonData(common, -6); }, ErrCode_ParamError},
      {"firmware from null",
       [](ServiceInterface& r) {
         return r.robotServiceUpdateRobotBoardFirmware(update_board_firmware_cmd{}, nullptr, 16);
       },
       ErrCode_ParamError},
      {"collision grade 32",
       [](ServiceInterface& r) { return r.robotServiceSetRobotCollisionClass(32, CollisionMode_Free); },
       ErrCode_Failed},
      {"collision grade -1",
       [](ServiceInterface& r) { return r.robotServiceSetRobotCollisionClass(-1, CollisionMode_Free); },
       ErrCode_Failed},
      {"tool payload NaN", [&](ServiceInterface& r) { return r.robotServiceSetToolDynamicsParam(nanTool); },
       ErrCode_ParamError},
      {"tool position beyond float", [&](ServiceInterface& r) { return r.robotServiceSetToolDynamicsParam(hugeTool); },
       ErrCode_ParamError},
      {"start-up with a NaN tool",
       [&](ServiceInterface& r) { return r.rootServiceRobotStartup(nanTool, 6, true, true, 1000, state, true); },
       ErrCode_ParamError},
      {"FK of null joints", [&](ServiceInterface&) { return ServiceInterface::robotServiceRobotFk(nullptr, 6, waypoint); },
       ErrCode_ParamError},
      {"FK of a negative count",
       [&](ServiceInterface&) { return ServiceInterface::robotServiceRobotFk(joints, -6, waypoint); },
       ErrCode_ParamError},
      {"FK of NaN joints",
       [&](ServiceInterface&) { return ServiceInterface::robotServiceRobotFk(nanJoints, 6, waypoint); },
       ErrCode_ParamError},
      {"IK from null reference",
       [&](ServiceInterface&) { return ServiceInterface::robotServiceRobotIk(nullptr, position, ori, waypoint); },
       ErrCode_ParamError},
      {"IK of a NaN position",
       [&](ServiceInterface&) { return ServiceInterface::robotServiceRobotIk(joints, nanPosition, ori, waypoint); },
       ErrCode_ParamError},
      {"IK of an infinite quaternion",
       [&](ServiceInterface&) { return ServiceInterface::robotServiceRobotIk(position, infOri, solutions); },
       ErrCode_ParamError},
      {"matrix to quaternion from null",
       [&](ServiceInterface&) { return ServiceInterface::robotServiceOriMatrixToQuaternion(nullptr, ori); },
       ErrCode_ParamError},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    log.clear();
    EXPECT_EQ(row.call(robot), row.expected);
    EXPECT_EQ(log.count("", LL_ERROR), 1);
  }
  EXPECT_TRUE(fake.received().empty());
}

}  // namespace
