#ifndef RUKO_CODEC_CODEC_RECORDS_H
#define RUKO_CODEC_CODEC_RECORDS_H

// Internal records that only the codec and the services calling it exchange.

#include <string>

// The decoded body of a command that answers with no data.
struct CommunicationCommonResultResponse {
  int m_errorCode = 0;
  std::string m_errorMsg;
};

// What the controller did with a stop, pause or continue request. The
// underlying type is fixed so that any number read off the wire is a valid
// value of the type.
enum call_robot_motion_func_result : int {
  call_robot_motion_func_failed = 0,
  call_robot_motion_func_succ_wait_done = 1,
  call_robot_motion_func_succ_nowait = 2,
  call_robot_motion_func_succ_nocall_wait = 3,
};

// One force-sensor reading: force in N, torque in Nm, x, y, z.
struct WrenchParam {
  double force[3];
  double torque[3];
};

// The result of the tool-and-sensor calibration.
struct FtSensorCalResult {
  WrenchParam offset;
  double mass;
  double centroid[3];
  double angle[2];
};

#endif  // RUKO_CODEC_CODEC_RECORDS_H
