// Waypoints, move profiles, move and teach-move requests, seam tracking and conveyor points.
#include "codec/codec_support.h"
#include "codec/protoencodedecode.h"

namespace common = ruko::robot::common;
namespace mc = ruko::robot::movecondition;
namespace rrn = ruko_robot_namespace;
using ruko::codec::appendAll;
using ruko::codec::copyPrefix;
using ruko::codec::encode;
using ruko::codec::requiredErrorCode;
using ruko::codec::resolve;
using ruko::codec::toLog;
using ruko::codec::toStdErr;
using ruko::codec::toStdOut;

namespace {

void setPos(const rrn::Pos& from, common::Pos* to) {
  to->set_x(from.x);
  to->set_y(from.y);
  to->set_z(from.z);
}

void setOri(const rrn::Ori& from, common::Ori* to) {
  to->set_w(from.w);
  to->set_x(from.x);
  to->set_y(from.y);
  to->set_z(from.z);
}

void takePos(const common::Pos& from, rrn::Pos& to) {
  to = {from.x(), from.y(), from.z()};
}

void takeOri(const common::Ori& from, rrn::Ori& to) {
  to = {from.w(), from.x(), from.y(), from.z()};
}

}  // namespace

// ---- Waypoint -----------------------------------------------------------------------------------------------------

bool ProtoEncodeDecode::roadPointTypeConversion(const rrn::wayPoint_S& wayPoint,
                                                common::ProtoRoadPoint& protoRoadPoint) {
  common::cartesianPos_U* cartPos = protoRoadPoint.mutable_cartpos();
  setPos(wayPoint.cartPos.position, cartPos->add_position());
  appendAll(cartPos->mutable_positionvector(), wayPoint.cartPos.positionVector);
  setOri(wayPoint.orientation, protoRoadPoint.mutable_orientation());
  appendAll(protoRoadPoint.mutable_jointpos(), wayPoint.jointpos);
  return true;
}

bool ProtoEncodeDecode::roadPointTypeConversion(const common::ProtoRoadPoint& protoRoadPoint,
                                                rrn::wayPoint_S& wayPoint) {
  const common::cartesianPos_U& cartPos = protoRoadPoint.cartpos();
  bool positionTaken = true;
  if (cartPos.position_size() > 0) {
    takePos(cartPos.position(0), wayPoint.cartPos.position);
  } else if (cartPos.positionvector_size() >= 3) {
    copyPrefix(cartPos.positionvector(), wayPoint.cartPos.positionVector);
  } else {
    positionTaken = false;
  }
  takeOri(protoRoadPoint.orientation(), wayPoint.orientation);
  const bool jointsTaken = ruko::codec::hasLength(protoRoadPoint.jointpos(), wayPoint.jointpos);
  if (jointsTaken) {
    copyPrefix(protoRoadPoint.jointpos(), wayPoint.jointpos);
  }
  return positionTaken && jointsTaken;
}

bool ProtoEncodeDecode::getRequest_roadpoint(char** data, int* size, const rrn::wayPoint_S& wayPoint) {
  common::ProtoRoadPoint message;
  roadPointTypeConversion(wayPoint, message);
  return encode(message, data, size, toStdOut("getResponse_roadpoint Serialize fail."));
}

// A waypoint whose position or joint angles were missing is not reported as read, whatever the error record says.
bool ProtoEncodeDecode::resolveResponse_waypoint(const char* data, int size, rrn::wayPoint_S& wayPoint,
                                                 int& errorCode) {
  return resolve<common::ProtoRoadPointResponse>(
      data, size, toStdErr("resolveResponse_waypoint Parse fail."), [&](const common::ProtoRoadPointResponse& message) {
        const bool haveCode = ruko::codec::readFirstErrorCode(message, errorCode);
        const bool whole = roadPointTypeConversion(message.waypoint(), wayPoint);
        return haveCode && whole;
      });
}

// ---- Move profile -------------------------------------------------------------------------------------------------

bool ProtoEncodeDecode::jointCartUTypeConversion(const joint_cart_U& value, common::joint_cart_U& protoValue) {
  appendAll(protoValue.mutable_jointpara(), value.jointPara);
  return true;
}

bool ProtoEncodeDecode::jointCartUTypeConversion(const common::joint_cart_U& protoValue, joint_cart_U& value) {
  for (double& v : value.jointPara) {
    v = 0.0;
  }
  copyPrefix(protoValue.jointpara(), value.jointPara);
  return true;
}

bool ProtoEncodeDecode::cartesianOriUTypeConversion(const cartesian_Ori_U& value, common::cartesianOri_U& protoValue) {
  setOri(value.orientation, protoValue.add_orientation());
  appendAll(protoValue.mutable_quaternionvector(), value.quaternionVector);
  return true;
}

bool ProtoEncodeDecode::cartesianOriUTypeConversion(const common::cartesianOri_U& protoValue, cartesian_Ori_U& value) {
  if (protoValue.orientation_size() > 0) {
    takeOri(protoValue.orientation(0), value.orientation);
  }
  copyPrefix(protoValue.quaternionvector(), value.quaternionVector);
  return true;
}

// libprotobuf asserts on an enumeration value its schema does not list, so such values are refused here: the
// record's move_track in particular has kinds (arcs, circles) that exist only on this side.
bool ProtoEncodeDecode::RukoRobotMoveProfileType2ProtoType(const RobotMoveProfile& moveProfile,
                                                           common::RobotMoveProfile& protoMoveProfile) {
  if (!mc::move_mode_IsValid(moveProfile.moveMode) || !mc::move_track_IsValid(moveProfile.subMoveMode) ||
      !mc::teach_mode_IsValid(moveProfile.teachMode)) {
    return false;
  }
  protoMoveProfile.set_movemode(static_cast<mc::move_mode>(moveProfile.moveMode));
  protoMoveProfile.set_submovemode(static_cast<mc::move_track>(moveProfile.subMoveMode));
  protoMoveProfile.set_teachmode(static_cast<mc::teach_mode>(moveProfile.teachMode));
  protoMoveProfile.set_enableiterik(moveProfile.enableIterIk);
  protoMoveProfile.set_tooltrack(moveProfile.toolTrack);
  setPos(moveProfile.toolInEndPosition.position, protoMoveProfile.mutable_toolinendposition());
  setOri(moveProfile.toolInEndOrientation, protoMoveProfile.mutable_toolinendorientation());

  common::relativeMove_t* relativeMove = protoMoveProfile.mutable_relativemove();
  relativeMove->set_ena(moveProfile.relativeMove.ena);
  appendAll(relativeMove->mutable_relativeposition(), moveProfile.relativeMove.relativePosition);
  cartesianOriUTypeConversion(moveProfile.relativeMove.relativeOrientation,
                              *relativeMove->mutable_relativeorientation());

  jointCartUTypeConversion(moveProfile.maxVelc, *protoMoveProfile.mutable_maxvelc());
  jointCartUTypeConversion(moveProfile.maxAcc, *protoMoveProfile.mutable_maxacc());
  protoMoveProfile.set_blendradius(moveProfile.blendRadius);
  protoMoveProfile.set_circularlooptimes(moveProfile.circularLoopTimes);
  common::arrivalAhead_t* arrivalAhead = protoMoveProfile.mutable_arrivalahead();
  arrivalAhead->set_arrivalaheadstat(static_cast<int32_t>(moveProfile.arrivalAhead.arrivalAheadStat));
  arrivalAhead->set_arrivalaheadthr(moveProfile.arrivalAhead.arrivalAheadThr);
  return true;
}

bool ProtoEncodeDecode::ProtoRobotMoveProfileType2RukoType(const common::RobotMoveProfile& protoMoveProfile,
                                                           RobotMoveProfile& moveProfile) {
  moveProfile.moveMode = static_cast<move_mode>(protoMoveProfile.movemode());
  moveProfile.subMoveMode = static_cast<rrn::move_track>(protoMoveProfile.submovemode());
  moveProfile.teachMode = static_cast<rrn::teach_mode>(protoMoveProfile.teachmode());
  moveProfile.enableIterIk = protoMoveProfile.enableiterik();
  moveProfile.toolTrack = protoMoveProfile.tooltrack();
  takePos(protoMoveProfile.toolinendposition(), moveProfile.toolInEndPosition.position);
  takeOri(protoMoveProfile.toolinendorientation(), moveProfile.toolInEndOrientation);

  const common::relativeMove_t& relativeMove = protoMoveProfile.relativemove();
  moveProfile.relativeMove.ena = relativeMove.ena();
  if (ruko::codec::hasLength(relativeMove.relativeposition(), moveProfile.relativeMove.relativePosition)) {
    copyPrefix(relativeMove.relativeposition(), moveProfile.relativeMove.relativePosition);
  }
  cartesianOriUTypeConversion(relativeMove.relativeorientation(), moveProfile.relativeMove.relativeOrientation);

  jointCartUTypeConversion(protoMoveProfile.maxvelc(), moveProfile.maxVelc);
  jointCartUTypeConversion(protoMoveProfile.maxacc(), moveProfile.maxAcc);
  moveProfile.blendRadius = protoMoveProfile.blendradius();
  moveProfile.circularLoopTimes = protoMoveProfile.circularlooptimes();
  moveProfile.arrivalAhead.arrivalAheadStat =
      static_cast<arrival_ahead_state>(protoMoveProfile.arrivalahead().arrivalaheadstat());
  moveProfile.arrivalAhead.arrivalAheadThr = protoMoveProfile.arrivalahead().arrivalaheadthr();
  return true;
}

// ---- Move and teach-move requests ---------------------------------------------------------------------------------

bool ProtoEncodeDecode::RobotMovePatamTypeConversion(const RobotMoveProfile& moveProfile,
                                                     const std::vector<rrn::wayPoint_S>& wayPointVector,
                                                     common::RobotMove& robotMove) {
  if (!RukoRobotMoveProfileType2ProtoType(moveProfile, *robotMove.mutable_move_profile())) {
    return false;
  }
  auto* roadPoints = robotMove.mutable_roadpointvector();
  roadPoints->Reserve(roadPoints->size() + static_cast<int>(wayPointVector.size()));
  for (const rrn::wayPoint_S& wayPoint : wayPointVector) {
    roadPointTypeConversion(wayPoint, *roadPoints->Add());
  }
  return true;
}

// Every element becomes a waypoint; the result says whether all of them were complete.
bool ProtoEncodeDecode::RobotMovePatamTypeConversion(const common::RobotMove& robotMove, RobotMoveProfile& moveProfile,
                                                     std::vector<rrn::wayPoint_S>& wayPointVector) {
  bool whole = ProtoRobotMoveProfileType2RukoType(robotMove.move_profile(), moveProfile);
  wayPointVector.clear();
  wayPointVector.reserve(static_cast<std::size_t>(robotMove.roadpointvector_size()));
  for (const common::ProtoRoadPoint& roadPoint : robotMove.roadpointvector()) {
    wayPointVector.push_back(rrn::wayPoint_S{});
    whole = roadPointTypeConversion(roadPoint, wayPointVector.back()) && whole;
  }
  return whole;
}

bool ProtoEncodeDecode::getRequest_robotMove(char** data, int* size, const RobotMoveProfile& moveProfile,
                                             const std::vector<rrn::wayPoint_S>& wayPointVector) {
  const auto line = toStdOut("getRequest_robotMove Serialize fail.");
  ruko::codec::ScratchMessage<common::RobotMove> message;
  if (!RobotMovePatamTypeConversion(moveProfile, wayPointVector, *message)) {
    return ruko::codec::refuse(data, size, line);
  }
  return encode(*message, data, size, line);
}

bool ProtoEncodeDecode::getRequest_robotTeachMove(char** data, int* size, const RobotMoveProfile& moveProfile,
                                                  const CoordCalibrateByToolEndPoint& coordinateSystem) {
  const auto line = toStdOut("getRequest_robotTeachMove Serialize fail.");
  common::RobotTeachMove message;
  if (!RukoRobotMoveProfileType2ProtoType(moveProfile, *message.mutable_move_profile())) {
    return ruko::codec::refuse(data, size, line);
  }
  message.set_coordinatesystemtype(static_cast<int32_t>(coordinateSystem.coordType));
  for (const rrn::wayPoint_S& wayPoint : coordinateSystem.wayPointArray) {
    roadPointTypeConversion(wayPoint, *message.add_calibrateroadpointvector());
  }
  message.add_calibratemathod(static_cast<int32_t>(coordinateSystem.methods));
  return encode(message, data, size, line);
}

// ---- Seam tracking and conveyor points ----------------------------------------------------------------------------

bool ProtoEncodeDecode::SeamTrackToProtoSeamTrack(const rrn::SeamTracking& seamTrack,
                                                  common::ProtoSeamTrack_t& protoSeamTrack) {
  protoSeamTrack.set_trackenable(seamTrack.trackEnable ? 1 : 0);
  roadPointTypeConversion(seamTrack.currentRoadPoint, *protoSeamTrack.mutable_currentroadpoint());
  roadPointTypeConversion(seamTrack.nextRoadPoint, *protoSeamTrack.mutable_nextroadpoint());
  protoSeamTrack.set_timeinterval(seamTrack.timeInterval);
  appendAll(protoSeamTrack.mutable_currentposerror(), seamTrack.currentPosError);
  protoSeamTrack.set_maxvel(seamTrack.maxVel);
  protoSeamTrack.set_maxacc(seamTrack.maxAcc);
  protoSeamTrack.set_parachanged(seamTrack.paraChanged ? 1 : 0);
  return true;
}

// False when either waypoint lacked its position or its six joint angles.
bool ProtoEncodeDecode::ProtoSeamTrackToSeamTrack(const common::ProtoSeamTrack_t& protoSeamTrack,
                                                  rrn::SeamTracking& seamTrack) {
  seamTrack.trackEnable = protoSeamTrack.trackenable() > 0;
  const bool current = roadPointTypeConversion(protoSeamTrack.currentroadpoint(), seamTrack.currentRoadPoint);
  const bool next = roadPointTypeConversion(protoSeamTrack.nextroadpoint(), seamTrack.nextRoadPoint);
  seamTrack.timeInterval = protoSeamTrack.timeinterval();
  copyPrefix(protoSeamTrack.currentposerror(), seamTrack.currentPosError);
  seamTrack.maxVel = protoSeamTrack.maxvel();
  seamTrack.maxAcc = protoSeamTrack.maxacc();
  seamTrack.paraChanged = protoSeamTrack.parachanged() > 0;
  return current && next;
}

bool ProtoEncodeDecode::getRequest_SeamTracking(char** data, int* size, const rrn::SeamTracking& seamTrack) {
  common::ProtoSeamTrack_t message;
  SeamTrackToProtoSeamTrack(seamTrack, message);
  return encode(message, data, size, toLog("getRequest_SeamTracking Serialize fail."));
}

bool ProtoEncodeDecode::resolveResponse_SeamTracking(const char* data, int size, rrn::SeamTracking& seamTrack,
                                                     int& errorCode) {
  return resolve<common::ProtoSeamTrackResponse_t>(data, size,
                                                   toStdErr("ERROR:resolveResponse_SeamTracking Parse fail."),
                                                   [&](const common::ProtoSeamTrackResponse_t& message) {
                                                     errorCode = requiredErrorCode(message);
                                                     return ProtoSeamTrackToSeamTrack(message.seamtrack(), seamTrack);
                                                   });
}

bool ProtoEncodeDecode::getRequest_ConveyorTrackValuePoint(char** data, int* size, const rrn::Pos& position,
                                                           const rrn::Ori& ori, int timestamp) {
  common::ProtoConveyorTrackValuePoint message;
  setPos(position, message.mutable_position());
  setOri(ori, message.mutable_ori());
  message.set_timestamp(timestamp);
  return encode(message, data, size, toLog("getRequest_ConveyorTrackValuePoint Serialize fail."));
}
