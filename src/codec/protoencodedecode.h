#ifndef RUKO_CODEC_PROTOENCODEDECODE_H
#define RUKO_CODEC_PROTOENCODEDECODE_H

// Conversions between the library's records and the controller's packet bodies.
//
// Builders (getRequest_..., makeRequest_..., getResponse_..., makeResponse_...) hand out a new[] array of exactly
// the body's size; the caller owns it. A builder that fails hands out no array, sets the size to 0 and writes
// one failure line. Resolvers (resolveResponse_..., ParseResponse_..., resolveRequest_...) read a body they do not
// own; a body that does not parse leaves the outputs as they were. The codec holds no state: every member may run
// on any thread at any time.

#include <string>
#include <vector>

#include "codec/codec_records.h"
#include "codec/robotmoveprofile.h"
#include "robotParameters.pb.h"
#include "robotcommon.pb.h"
#include "robotcommunication.pb.h"
#include "robotmovecondition.pb.h"
#include "ruko_sdk/robot_geometry.h"
#include "ruko_sdk/robot_io_types.h"
#include "ruko_sdk/robot_motion_types.h"
#include "ruko_sdk/robot_parameter_types.h"
#include "ruko_sdk/robot_status_types.h"
#include "sensor.pb.h"
#include "util/internalmatetype.h"

class ProtoEncodeDecode {
 public:
  ProtoEncodeDecode() = default;

  // ---- Builders -------------------------------------------------------------------------------------------------

  static bool getRequest_login(char** data, int* size, const std::string& userName, const std::string& password);
  static bool getRequest_roadpoint(char** data, int* size, const ruko_robot_namespace::wayPoint_S& wayPoint);
  static bool getRequest_tcpParam(char** data, int* size, const RobotTcpParam& tcpParam);
  static bool getRequest_setToolDynamicsParam(char** data, int* size,
                                              const ruko_robot_namespace::ToolDynamicsParam& toolDynamicsParam);
  static bool getRequest_setToolKinematicsParam(char** data, int* size,
                                                const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc);
  static bool getRequest_startupOfflineExcitTraj(char** data, int* size, const std::string& trackFile, int type,
                                                 int subtype);
  static bool getRequest_robotControl(char** data, int* size, ruko_robot_namespace::RobotControlCommand command);
  static bool getRequest_setRobotPowerStatus(char** data, int* size, bool value);
  static bool getRequest_setRobotWorkMode(char** data, int* size, ruko_robot_namespace::RobotWorkMode mode);
  static bool getRequest_robotMoveControl(char** data, int* size,
                                          ruko_robot_namespace::RobotMoveControlCommand command);
  static bool getRequest_setRobotBoardMaxAcc(char** data, int* size, int maxAcc);
  static bool getRequest_setRobotCollision(char** data, int* size, int collisionClass);
  static bool getRequest_robotStartup(char** data, int* size, const RobotTcpParam& tcpParam, uint8_t collisionClass,
                                      bool readPose, bool staticCollisionDetect, int maxAcc);
  static bool getRequest_setSafetyConfig(char** data, int* size,
                                         const ruko_robot_namespace::RobotSafetyConfig& safetyConfig);
  static bool getRequest_safeIoParamAbout(char** data, int* size, const std::vector<int>& params);
  static bool getRequest_robotMove(char** data, int* size, const RobotMoveProfile& moveProfile,
                                   const std::vector<ruko_robot_namespace::wayPoint_S>& wayPointVector);
  // The three joint-angle sets become waypoints by forward kinematics
  // (protoencodedecode_teachmove.cpp); the frame's tool is sent along.
  static bool getRequest_robotTeachMove(
      char** data, int* size, const RobotMoveProfile& moveProfile,
      const ruko_robot_namespace::CoordCalibrateByJointAngleAndTool& coordinateSystem);
  static bool getRequest_robotTeachMove(char** data, int* size, const RobotMoveProfile& moveProfile,
                                        const CoordCalibrateByToolEndPoint& coordinateSystem);
  static bool getRequest_firmwareUpgrade(char** data, int* size, int command, const void* content, int length);
  static bool getRequest_robotDiagnosisIOData(char** data, int* size,
                                              const std::vector<ruko_robot_namespace::RobotDiagnosisIODesc>& ioList);
  static bool getRequest_robotAnalogIOData(char** data, int* size,
                                           const std::vector<ruko_robot_namespace::RobotAnalogIODesc>& ioList);
  static bool getRequest_robotRobotJointOffsetData(char** data, int* size,
                                                   const ruko_robot_namespace::RobotJointOffset& jointOffset);
  static bool getRequest_intTypeValueVector(char** data, int* size, const std::vector<int>& values);
  static bool getRequest_doubleTypeValueVector(char** data, int* size, const std::vector<double>& values);
  static bool getRequest_ConveyorTrackValuePoint(char** data, int* size, const ruko_robot_namespace::Pos& position,
                                                 const ruko_robot_namespace::Ori& ori, int timestamp);
  static bool getRequest_SeamTracking(char** data, int* size, const ruko_robot_namespace::SeamTracking& seamTrack);
  // Exactly three joint-angle sets and three wrenches.
  static bool getRequest_FtSensorCalibParam(char** data, int* size, const ruko_robot_namespace::JointParam* jointSets,
                                            const WrenchParam* wrenches);

  // Serialises into the caller's buffer; *size is its capacity on entry and the body's length on success. A buffer
  // too small gives false with *size unchanged and no failure line.
  static bool getResponse_Event(char* data, int* size, const ruko_robot_namespace::RobotEventInfo& eventInfo);

  // Controller's side.
  static bool getResponse_Wrench(char** data, int* size, const WrenchParam& wrench, int errorCode,
                                 const std::string& errorMsg);
  static bool getResponse_FtSensorCalibResult(char** data, int* size, const FtSensorCalResult& result, int errorCode,
                                              const std::string& errorMsg);

  // ---- Resolvers ------------------------------------------------------------------------------------------------

  static bool resolveResponse_commonFormat(const char* data, int size, CommunicationCommonResultResponse& response);
  static bool resolveResponse_robotEvent(const char* data, int size, ruko_robot_namespace::RobotEventInfo& eventInfo);
  static bool resolveResponse_robotEndSpeed(const char* data, int size, double& endSpeed);
  static bool resolveResponse_movepProgressNotify(const char* data, int size, int& progress);
  static bool resolveResponse_jointAngle(const char* data, int size, ruko_robot_namespace::JointParam& jointParam,
                                         int& errorCode);
  static bool resolveResponse_tcpforcesensorData(const char* data, int size,
                                                 ruko_robot_namespace::ForceSensorData& sensorData, int& errorCode);
  static bool resolveResponse_waypoint(const char* data, int size, ruko_robot_namespace::wayPoint_S& wayPoint,
                                       int& errorCode);
  static bool resolveResponse_jointStatus(const char* data, int size, ruko_robot_namespace::JointStatus* jointStatus,
                                          int capacity, int& errorCode);
  static bool resolveResponse_robotDiagnosis(const char* data, int size,
                                             ruko_robot_namespace::RobotDiagnosis& diagnosis);
  static bool resolveResponse_robotDiagnosisInfo(const char* data, int size,
                                                 ruko_robot_namespace::RobotDiagnosis& diagnosis, int& errorCode);
  static bool resolveResponse_devInfo(const char* data, int size, ruko_robot_namespace::RobotDevInfo& devInfo,
                                      int& errorCode);
  static bool resolveResponse_tcpParam(const char* data, int size, RobotTcpParam& tcpParam, int& errorCode);
  static bool resolveResponse_getToolDynamicsParam(const char* data, int size,
                                                   ruko_robot_namespace::ToolDynamicsParam& toolDynamicsParam,
                                                   int& errorCode);
  static bool resolveResponse_getToolKinematicsParam(const char* data, int size,
                                                     ruko_robot_namespace::ToolInEndDesc& toolInEndDesc,
                                                     int& errorCode);
  static bool resolveResponse_getDynIdentifyResults(const char* data, int size, std::vector<int>& params,
                                                    int& errorCode);
  static bool resolveResponse_gravityComponent(const char* data, int size,
                                               ruko_robot_namespace::RobotGravityComponent& gravityComponent,
                                               int& errorCode);
  static bool resolveResponse_collisionCurrent(const char* data, int size, RobotCollisionCurrent& collisionCurrent,
                                               int& errorCode);
  static bool resolveResponse_robotWorkMode(const char* data, int size, ruko_robot_namespace::RobotWorkMode& mode,
                                            int& errorCode);
  static bool resolveResponse_robotState(const char* data, int size, ruko_robot_namespace::RobotState& state,
                                         int& errorCode);
  static bool resolveResponse_isRealRobotExist(const char* data, int size, bool& value, int& errorCode);
  static bool resolveResponse_safetyConfig(const char* data, int size,
                                           ruko_robot_namespace::RobotSafetyConfig& safetyConfig, int& errorCode);
  static bool resolveResponse_safetyStatus(const char* data, int size,
                                           ruko_robot_namespace::OrpeSafetyStatus& safetyStatus, int& errorCode);
  static bool resolveResponse_DhParam(const char* data, int size, ruko_robot_namespace::RobotType& robotType,
                                      ruko_robot_namespace::RobotDhPara& dhPara, int& errorCode);
  static bool resolveResponse_moveControlResule(const char* data, int size, call_robot_motion_func_result& result,
                                                int& errorCode);
  // Both IO list resolvers empty the list before parsing.
  static bool resolveResponse_robotDiagnosisIOData(const char* data, int size,
                                                   std::vector<ruko_robot_namespace::RobotDiagnosisIODesc>& ioList,
                                                   int& errorCode);
  static bool resolveResponse_robotAnalogIOData(const char* data, int size,
                                                std::vector<ruko_robot_namespace::RobotAnalogIODesc>& ioList,
                                                int& errorCode);
  static bool resolveResponse_robotToolIoStatus(const char* data, int size, RobotToolAllIOStatus& toolStatus,
                                                int& errorCode);
  static bool resolveResponse_ethernetDeviceName(const char* data, int size, std::string& name, int& errorCode);
  // Appends to the list without emptying it first.
  static bool resolveResponse_jointCommonData(const char* data, int size,
                                              std::vector<ruko_robot_namespace::JointCommonData>& jointCommonData,
                                              int& errorCode);
  static bool resolveResponse_intTypeValueVector(const char* data, int size, std::vector<int>& values, int& errorCode);
  static bool resolveResponse_doubleTypeValueVector(const char* data, int size, std::vector<double>& values,
                                                    int& errorCode);
  static bool resolveResponse_SeamTracking(const char* data, int size, ruko_robot_namespace::SeamTracking& seamTrack,
                                           int& errorCode);
  static bool resolveResponse_FtSensorCalibResult(const char* data, int size, FtSensorCalResult& result,
                                                  int& errorCode);
  static bool resolveResponse_Wrench(const char* data, int size, WrenchParam& wrench, int& errorCode);

  // ---- General property carrier ---------------------------------------------------------------------------------

  static bool makeProtoCommunicationGeneralData(ruko::robot::communication::ProtoCommunicationGeneralData& message,
                                                const std::vector<int>& intValues, const std::vector<bool>& boolValues);
  static bool ProtoCommunicationGeneralDataMessageSerialize(
      const ruko::robot::communication::ProtoCommunicationGeneralData& message, char** data, int* size);
  static bool ProtoCommunicationGeneralDataMessageParse(
      const char* data, int size, ruko::robot::communication::ProtoCommunicationGeneralData& message);
  static bool resolveProtoCommunicationGeneralData(
      const ruko::robot::communication::ProtoCommunicationGeneralData& message, std::vector<int>& intValues,
      std::vector<bool>& boolValues, int& errorCode);

  // ---- Record <-> message conversions ---------------------------------------------------------------------------

  static bool roadPointTypeConversion(const ruko_robot_namespace::wayPoint_S& wayPoint,
                                      ruko::robot::common::ProtoRoadPoint& protoRoadPoint);
  // True only when both the position and the six joint angles were found.
  static bool roadPointTypeConversion(const ruko::robot::common::ProtoRoadPoint& protoRoadPoint,
                                      ruko_robot_namespace::wayPoint_S& wayPoint);
  static bool jointCartUTypeConversion(const joint_cart_U& value, ruko::robot::common::joint_cart_U& protoValue);
  static bool jointCartUTypeConversion(const ruko::robot::common::joint_cart_U& protoValue, joint_cart_U& value);
  static bool cartesianOriUTypeConversion(const cartesian_Ori_U& value,
                                          ruko::robot::common::cartesianOri_U& protoValue);
  static bool cartesianOriUTypeConversion(const ruko::robot::common::cartesianOri_U& protoValue,
                                          cartesian_Ori_U& value);
  // False when an enumeration value has no wire counterpart (nothing useful can be sent then).
  static bool RobotMovePatamTypeConversion(const RobotMoveProfile& moveProfile,
                                           const std::vector<ruko_robot_namespace::wayPoint_S>& wayPointVector,
                                           ruko::robot::common::RobotMove& robotMove);
  static bool RobotMovePatamTypeConversion(const ruko::robot::common::RobotMove& robotMove,
                                           RobotMoveProfile& moveProfile,
                                           std::vector<ruko_robot_namespace::wayPoint_S>& wayPointVector);
  static bool RukoRobotMoveProfileType2ProtoType(const RobotMoveProfile& moveProfile,
                                                 ruko::robot::common::RobotMoveProfile& protoMoveProfile);
  static bool ProtoRobotMoveProfileType2RukoType(const ruko::robot::common::RobotMoveProfile& protoMoveProfile,
                                                 RobotMoveProfile& moveProfile);
  static bool robotTcpParamTypeConversion(const RobotTcpParam& tcpParam,
                                          ruko::robot::communication::RobotTcpParam& protoTcpParam);
  static bool robotTcpParamTypeConversion(const ruko::robot::communication::RobotTcpParam& protoTcpParam,
                                          RobotTcpParam& tcpParam);
  static bool jointStatusTypeConversion(const ruko_robot_namespace::JointStatus& jointStatus,
                                        ruko::robot::common::ProtoJointStatus& protoJointStatus);
  static bool jointStatusTypeConversion(const ruko::robot::common::ProtoJointStatus& protoJointStatus,
                                        ruko_robot_namespace::JointStatus& jointStatus);
  static bool robotDiagnosisTypeConversionToProto(const ruko_robot_namespace::RobotDiagnosis& diagnosis,
                                                  ruko::robot::communication::RobotDiagnosis& protoDiagnosis);
  static bool robotDiagnosisTypeConversionToStruct(const ruko::robot::communication::RobotDiagnosis& protoDiagnosis,
                                                   ruko_robot_namespace::RobotDiagnosis& diagnosis);
  static bool robotGravityComponentTypeConversion(
      const ruko_robot_namespace::RobotGravityComponent& gravityComponent,
      ruko::robot::communication::RobotGravityComponent& protoGravityComponent);
  static bool robotGravityComponentTypeConversion(
      const ruko::robot::communication::RobotGravityComponent& protoGravityComponent,
      ruko_robot_namespace::RobotGravityComponent& gravityComponent);
  static bool robotCollisionCurrentTypeConversion(
      const RobotCollisionCurrent& collisionCurrent,
      ruko::robot::communication::RobotCollisionCurrent& protoCollisionCurrent);
  static bool robotCollisionCurrentTypeConversion(
      const ruko::robot::communication::RobotCollisionCurrent& protoCollisionCurrent,
      RobotCollisionCurrent& collisionCurrent);
  static bool RobotSafetyConfigTypeConversion(const ruko_robot_namespace::RobotSafetyConfig& safetyConfig,
                                              ruko::robot::common::ProtoRobotSafetyConfig& protoSafetyConfig);
  static bool RobotSafetyConfigTypeConversion(const ruko::robot::common::ProtoRobotSafetyConfig& protoSafetyConfig,
                                              ruko_robot_namespace::RobotSafetyConfig& safetyConfig);
  static bool OrpeSafetyStatusTypeConversion(const ruko_robot_namespace::OrpeSafetyStatus& safetyStatus,
                                             ruko::robot::common::ProtoOrpeSafetyStatus& protoSafetyStatus);
  static bool OrpeSafetyStatusTypeConversion(const ruko::robot::common::ProtoOrpeSafetyStatus& protoSafetyStatus,
                                             ruko_robot_namespace::OrpeSafetyStatus& safetyStatus);
  // Message to record: false, touching nothing, when the message holds no element of the kind asked for.
  static bool toolParamTypeConversion(const ruko::robot::common::ToolParam& toolParam,
                                      ruko_robot_namespace::ToolDynamicsParam& toolDynamicsParam);
  static bool toolParamTypeConversion(const ruko::robot::common::ToolParam& toolParam,
                                      ruko_robot_namespace::ToolInEndDesc& toolInEndDesc);
  static bool toolParamTypeConversion(const ruko_robot_namespace::ToolDynamicsParam& toolDynamicsParam,
                                      ruko::robot::common::ToolParam& toolParam);
  static bool toolParamTypeConversion(const ruko_robot_namespace::ToolInEndDesc& toolInEndDesc,
                                      ruko::robot::common::ToolParam& toolParam);
  static void robotEventTypeConversion(const ruko_robot_namespace::RobotEventInfo& eventInfo,
                                       ruko::robot::communication::ProtoCommunicationRobotEvent& protoEvent);
  static void robotEventTypeConversion(const ruko::robot::communication::ProtoCommunicationRobotEvent& protoEvent,
                                       ruko_robot_namespace::RobotEventInfo& eventInfo);
  static void RobotDevInfoTypeConversion(const ruko::robot::communication::OurRobotDevInfo& protoDevInfo,
                                         ruko_robot_namespace::RobotDevInfo& devInfo);
  static void RobotDiagnosisIODescTypeConversion(const ruko_robot_namespace::RobotDiagnosisIODesc& ioDesc,
                                                 ruko::robot::communication::ProtoRobotDiagnosisIODesc& protoIoDesc);
  static void RobotDiagnosisIODescTypeConversion(
      const ruko::robot::communication::ProtoRobotDiagnosisIODesc& protoIoDesc,
      ruko_robot_namespace::RobotDiagnosisIODesc& ioDesc);
  static void RobotAnalogIODescTypeConversion(const ruko_robot_namespace::RobotAnalogIODesc& ioDesc,
                                              ruko::robot::communication::ProtoRobotAnalogIODesc& protoIoDesc);
  static void RobotAnalogIODescTypeConversion(const ruko::robot::communication::ProtoRobotAnalogIODesc& protoIoDesc,
                                              ruko_robot_namespace::RobotAnalogIODesc& ioDesc);
  static bool SeamTrackToProtoSeamTrack(const ruko_robot_namespace::SeamTracking& seamTrack,
                                        ruko::robot::common::ProtoSeamTrack_t& protoSeamTrack);
  static bool ProtoSeamTrackToSeamTrack(const ruko::robot::common::ProtoSeamTrack_t& protoSeamTrack,
                                        ruko_robot_namespace::SeamTracking& seamTrack);
  static bool ProtoJointCommonDataToRobotStruct(const ruko::robot::communication::ProtoJointCommonData& protoData,
                                                ruko_robot_namespace::JointCommonData& jointCommonData);
  static bool WrenchToProtoWrench(const WrenchParam& wrench, peripheral::ProtoWrench& protoWrench);
  // False, touching nothing, when either list holds fewer than three values.
  static bool ProtoWrenchToWrench(const peripheral::ProtoWrench& protoWrench, WrenchParam& wrench);
  static bool FtSensorCalResultToProtoType(const FtSensorCalResult& result,
                                           peripheral::ProtoFtSensorCalibResult& protoResult);
  // False, touching nothing, when a list is shorter than what the record holds.
  static bool ProtoFtSensorCalResultToRobotType(const peripheral::ProtoFtSensorCalibResult& protoResult,
                                                FtSensorCalResult& result);
  static bool FtSensorCalibParamToProtoType(const ruko_robot_namespace::JointParam* jointSets,
                                            const WrenchParam* wrenches,
                                            peripheral::ProtoFtSensorCalibParam& protoCalibParam);
  // The text is copied up to its first zero byte.
  static void ProtoRobotCommonResponseInit(ruko::robot::common::RobotCommonResponse& message, int errorCode,
                                           const std::string& errorMsg);
  static bool ProtobufDataSerializeToArray(const google::protobuf::MessageLite& message, char** data, int* size);

  // ---- Robot parameters -----------------------------------------------------------------------------------------
  // Message to record: false, leaving the record untouched, unless every list has exactly its expected length.

  static bool RobotInfo_ProtoToRuko(const ruko::robot::paramerter::ProtoRobotInfo& message,
                                    ruko_robot_namespace::RobotInfo& info);
  static bool RobotInfo_RukoToProto(const ruko_robot_namespace::RobotInfo& info,
                                    ruko::robot::paramerter::ProtoRobotInfo& message);
  static bool RobotDynamicsParameters_ProtoToRuko(const ruko::robot::paramerter::ProtoRobotDynamicsParameter& message,
                                                  ruko_robot_namespace::RobotDynamicsParameters& param);
  static bool RobotDynamicsParameters_RukoToProto(const ruko_robot_namespace::RobotDynamicsParameters& param,
                                                  ruko::robot::paramerter::ProtoRobotDynamicsParameter& message);
  static bool RobotHandguidingParameter_ProtoToRuko(
      const ruko::robot::paramerter::ProtoRobotHandguidingParameter& message,
      ruko_robot_namespace::RobotHandguidingParameters& param);
  static bool RobotHandguidingParameter_RukoToProto(const ruko_robot_namespace::RobotHandguidingParameters& param,
                                                    ruko::robot::paramerter::ProtoRobotHandguidingParameter& message);
  static bool RobotKinematicsParameter_ProtoToRuko(
      const ruko::robot::paramerter::ProtoRobotKinematicsParameter& message,
      ruko_robot_namespace::RobotKinematicsParameters& param);
  static bool RobotKinematicsParameter_RukoToProto(const ruko_robot_namespace::RobotKinematicsParameters& param,
                                                   ruko::robot::paramerter::ProtoRobotKinematicsParameter& message);
  static bool RobotKinematicsParameter_ProtoToRuko_Legacy(
      const ruko::robot::paramerter::ProtoRobotKinematicsParameter_legacy& message,
      ruko_robot_namespace::RobotKinematicsParameters& param);
  static bool RobotKinematicsParameter_RukoToProto_Legacy(
      const ruko_robot_namespace::RobotKinematicsParameters& param,
      ruko::robot::paramerter::ProtoRobotKinematicsParameter_legacy& message);
  static bool RobotFrictionParameter_ProtoToRuko(const ruko::robot::paramerter::ProtoRobotFrictionParameter& message,
                                                 ruko_robot_namespace::RobotFrictionParameters& param);
  static bool RobotFrictionParameter_RukoToProto(const ruko_robot_namespace::RobotFrictionParameters& param,
                                                 ruko::robot::paramerter::ProtoRobotFrictionParameter& message);
  static bool RobotBaseParameter_ProtoToRuko(const ruko::robot::paramerter::ProtoRobotBaseParameter& message,
                                             ruko_robot_namespace::RobotBaseParameters& param);
  static bool RobotBaseParameter_RukoToProto(const ruko_robot_namespace::RobotBaseParameters& param,
                                             ruko::robot::paramerter::ProtoRobotBaseParameter& message);
  static bool RobotBaseParameter_ProtoToRuko_Legacy(
      const ruko::robot::paramerter::ProtoRobotBaseParameter_legacy& message,
      ruko_robot_namespace::RobotBaseParameters& param);
  static bool RobotBaseParameter_RukoToProto_Legacy(const ruko_robot_namespace::RobotBaseParameters& param,
                                                    ruko::robot::paramerter::ProtoRobotBaseParameter_legacy& message);
  static bool RobotJointsParameter_ProtoToRuko(const ruko::robot::paramerter::ProtoRobotJointsParameter& message,
                                               ruko_robot_namespace::RobotJointsParameter& param);
  static bool RobotJointsParameter_RukoToProto(const ruko_robot_namespace::RobotJointsParameter& param,
                                               ruko::robot::paramerter::ProtoRobotJointsParameter& message);

  // The form (current or legacy) follows ruko::serverVersionCode().
  static bool makeRequest_ProtoRobotBaseParameter(char** data, int* size,
                                                  const ruko_robot_namespace::RobotBaseParameters& param);
  // True after any successful parse, even when a block did not fit and was left as it was.
  static bool ParseResponse_ProtoRobotBaseParameter(const char* data, int size,
                                                    ruko_robot_namespace::RobotBaseParameters& param, int& errorCode);
  static bool makeRequest_ProtoRobotJointsParameter(char** data, int* size,
                                                    const ruko_robot_namespace::RobotJointsParameter& param);
  static bool ParseResponse_ProtoRobotJointsParameter(const char* data, int size,
                                                      ruko_robot_namespace::RobotJointsParameter& param,
                                                      int& errorCode);
  // Controller's side: always the current form.
  static bool resolveRequest_ProtoRobotBaseParameter(const char* data, int size,
                                                     ruko_robot_namespace::RobotBaseParameters& param);
  static bool makeResponse_ProtoRobotBaseParameter(char** data, int* size,
                                                   const ruko_robot_namespace::RobotBaseParameters& param,
                                                   int errorCode, const std::string& errorMsg);
  static bool resolveRequest_ProtoRobotJointsParameter(const char* data, int size,
                                                       ruko_robot_namespace::RobotJointsParameter& param);
  static bool makeResponse_ProtoRobotJointsParameter(char** data, int* size,
                                                     const ruko_robot_namespace::RobotJointsParameter& param,
                                                     int errorCode, const std::string& errorMsg);
};

#endif  // RUKO_CODEC_PROTOENCODEDECODE_H
