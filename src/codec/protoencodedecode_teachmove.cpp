// The teach-move request of a user frame given by three joint configurations.
#include "codec/codec_support.h"
#include "codec/protoencodedecode.h"
#include "geometry/robotutilservice.h"
#include "ruko_sdk/robot_error.h"

namespace common = ruko::robot::common;
namespace rrn = ruko_robot_namespace;
using ruko::codec::encode;
using ruko::codec::refuse;
using ruko::codec::toStdOut;

bool ProtoEncodeDecode::getRequest_robotTeachMove(char** data, int* size, const RobotMoveProfile& moveProfile,
                                                  const rrn::CoordCalibrateByJointAngleAndTool& coordinateSystem) {
  const auto line = toStdOut("getRequest_robotTeachMove Serialize fail.");
  common::RobotTeachMove message;
  if (!RukoRobotMoveProfileType2ProtoType(moveProfile, *message.mutable_move_profile())) {
    return refuse(data, size, line);
  }
  message.set_coordinatesystemtype(static_cast<int32_t>(coordinateSystem.coordType));
  for (const rrn::JointParam& joints : coordinateSystem.wayPointArray) {
    rrn::wayPoint_S wayPoint{};
    // Non-finite angles: forward kinematics refuses them, and so does the request.
    if (RobotUtilService::robotFk(joints.jointPos, 6, wayPoint) != rrn::ErrnoSucc) return refuse(data, size, line);
    roadPointTypeConversion(wayPoint, *message.add_calibrateroadpointvector());
  }
  message.add_calibratemathod(static_cast<int32_t>(coordinateSystem.methods));
  common::ProtoToolInEndDesc* tool = message.add_toolinenddesc();
  const rrn::ToolInEndDesc& desc = coordinateSystem.toolDesc;
  common::Pos* position = tool->mutable_toolinendposition();
  position->set_x(desc.toolInEndPosition.x);
  position->set_y(desc.toolInEndPosition.y);
  position->set_z(desc.toolInEndPosition.z);
  common::Ori* orientation = tool->mutable_toolinendorientation();
  orientation->set_w(desc.toolInEndOrientation.w);
  orientation->set_x(desc.toolInEndOrientation.x);
  orientation->set_y(desc.toolInEndOrientation.y);
  orientation->set_z(desc.toolInEndOrientation.z);
  return encode(message, data, size, line);
}
