// The public records are the library's binary interface: an application
// compiled against an older header must see every field where it expects it.
// These tests pin what a wrong type, a missing field or a swapped order would
// change (sizes and key offsets), the properties that let applications copy
// records with memcpy, and the wire values of the enumerations.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>

#include "codec/robotmoveprofile.h"
#include "ruko_sdk/robot_error.h"
#include "ruko_sdk/robot_geometry.h"
#include "ruko_sdk/robot_io_types.h"
#include "ruko_sdk/robot_motion_types.h"
#include "ruko_sdk/robot_parameter_types.h"
#include "ruko_sdk/robot_status_types.h"
#include "util/internalmatetype.h"

namespace {

using namespace ruko_robot_namespace;

// --- compile-time properties --------------------------------------------

// One instantiation per type, so a failure names the offending record.
template <typename T>
struct PlainRecord {
  static_assert(std::is_standard_layout_v<T>, "record must be standard layout");
  static_assert(std::is_trivially_copyable_v<T>, "record must be trivially copyable");
  static_assert(std::is_aggregate_v<T>, "record must stay an aggregate");
  static constexpr bool ok = true;
};

template <typename... T>
constexpr bool allPlain() {
  return (PlainRecord<T>::ok && ...);
}

static_assert(allPlain<JointStatus, RobotDiagnosis, RobotDevInfo, RobotSafetyConfig, OrpeSafetyStatus, RobotDhPara,
                       JointCommonData, RobotGravityComponent, RobotJointOffset, SeamTracking, ForceSensorData,
                       ::TcpParam, ::RobotTcpParam, ::RobotCollisionCurrent>());
static_assert(allPlain<JointVelcAccParam, MoveProfile_t, WeaveMove, RegulateSpeedModeParamConfig_t, AdmittancePatam_t,
                       RangeOfMotion, JointRangeOfMotion>());
static_assert(allPlain<RobotIoDesc, RobotDiagnosisIODesc, RobotAnalogIODesc>());
static_assert(allPlain<Pos, cartesianPos_U, Ori, Rpy, ToolInEndDesc, wayPoint_S, PositionAndQuaternion, JointParam,
                       ToolInertia, ToolDynamicsParam, MoveRelative, CoordCalibrateByJointAngleAndTool>());
static_assert(allPlain<RobotInfo, RobotDynamicsParameters, RobotHandguidingParameters, RobotKinematicsParameters,
                       RobotFrictionParameters, RobotBaseParameters, RobotJointsParameter>());
static_assert(allPlain<::RobotMoveProfile, ::joint_cart_U, ::cartesian_Ori_U, ::RobotToolAllIOStatus,
                       ::CoordCalibrateByToolEndPoint>());
// The event record carries a string, so it is only required to be an aggregate.
static_assert(std::is_aggregate_v<RobotEventInfo>);

template <typename E>
struct IntEnum {
  static_assert(std::is_same_v<std::underlying_type_t<E>, int>,
                "wire enumerations must have a fixed int underlying type");
  static constexpr bool ok = true;
};

template <typename... E>
constexpr bool allIntEnums() {
  return (IntEnum<E>::ok && ...);
}

static_assert(
    allIntEnums<RobotEventType, RobotState, RobotWorkMode, ROBOT_SERVICE_STATE, CollisionMode, RobotMoveControlCommand,
                Robot_Dyn_identify_traj, update_board_firmware_cmd, RobotControlCommand, RobotType, ::move_mode,
                ::arrival_ahead_state, move_track, teach_mode, RobotIoType, IO_STATUS, ToolPowerType, ToolIOType,
                ToolDigitalIOAddr, RobotErrorCode, RobotControlServerErrorCode, LOG_LEVEL, coordinate_refer,
                CoordCalibrateMathod, ToolKinematicsOriCalibrateMathod>());

// Where each name lives is part of the source interface: every name below must resolve exactly as written, so a
// record or enumeration that moves into or out of the namespace stops this file from compiling.
template <typename... T>
constexpr bool declaredAsWritten() {
  return sizeof...(T) > 0;
}
static_assert(
    declaredAsWritten<
        ruko_robot_namespace::RobotErrorCode, ruko_robot_namespace::RobotControlServerErrorCode,
        ruko_robot_namespace::LOG_LEVEL, ruko_robot_namespace::Pos, ruko_robot_namespace::cartesianPos_U,
        ruko_robot_namespace::Ori, ruko_robot_namespace::Rpy, ruko_robot_namespace::ToolInEndDesc,
        ruko_robot_namespace::wayPoint_S, ruko_robot_namespace::PositionAndQuaternion, ruko_robot_namespace::JointParam,
        ruko_robot_namespace::ToolInertia, ruko_robot_namespace::ToolDynamicsParam, ruko_robot_namespace::MoveRelative,
        ruko_robot_namespace::CoordCalibrateByJointAngleAndTool, ruko_robot_namespace::coordinate_refer,
        ruko_robot_namespace::CoordCalibrateMathod, ruko_robot_namespace::ToolKinematicsOriCalibrateMathod>());
static_assert(
    declaredAsWritten<ruko_robot_namespace::JointStatus, ruko_robot_namespace::RobotEventType,
                      ruko_robot_namespace::RobotEventInfo, ruko_robot_namespace::RobotDiagnosis,
                      ruko_robot_namespace::RobotDevInfo, ruko_robot_namespace::RobotSafetyConfig,
                      ruko_robot_namespace::OrpeSafetyStatus, ruko_robot_namespace::RobotDhPara,
                      ruko_robot_namespace::JointCommonData, ruko_robot_namespace::RobotGravityComponent,
                      ruko_robot_namespace::RobotJointOffset, ruko_robot_namespace::RobotState,
                      ruko_robot_namespace::RobotWorkMode, ruko_robot_namespace::ROBOT_SERVICE_STATE,
                      ruko_robot_namespace::CollisionMode, ruko_robot_namespace::RobotMoveControlCommand,
                      ruko_robot_namespace::Robot_Dyn_identify_traj, ruko_robot_namespace::update_board_firmware_cmd,
                      ruko_robot_namespace::RobotControlCommand, ruko_robot_namespace::RobotType,
                      ruko_robot_namespace::SeamTracking, ruko_robot_namespace::ForceSensorData, ::TcpParam,
                      ::RobotTcpParam, ::RobotCollisionCurrent, ::RealTimeJointStatusCallback,
                      ::RealTimeRoadPointCallback, ::RealTimeEndSpeedCallback, ::RealTimeMovepStepNumNotifyCallback,
                      ::RobotEventCallback, ::RobotLogPrintCallback>());
static_assert(
    declaredAsWritten<
        ::move_mode, ::arrival_ahead_state, ruko_robot_namespace::move_track, ruko_robot_namespace::teach_mode,
        ruko_robot_namespace::JointVelcAccParam, ruko_robot_namespace::MoveProfile_t, ruko_robot_namespace::WeaveMove,
        ruko_robot_namespace::RegulateSpeedModeParamConfig_t, ruko_robot_namespace::AdmittancePatam_t,
        ruko_robot_namespace::RangeOfMotion, ruko_robot_namespace::JointRangeOfMotion,
        ruko_robot_namespace::RobotIoType, ruko_robot_namespace::IO_STATUS, ruko_robot_namespace::ToolPowerType,
        ruko_robot_namespace::ToolIOType, ruko_robot_namespace::ToolDigitalIOAddr, ruko_robot_namespace::RobotIoDesc,
        ruko_robot_namespace::RobotDiagnosisIODesc, ruko_robot_namespace::RobotAnalogIODesc,
        ruko_robot_namespace::RobotInfo, ruko_robot_namespace::RobotDynamicsParameters,
        ruko_robot_namespace::RobotHandguidingParameters, ruko_robot_namespace::RobotKinematicsParameters,
        ruko_robot_namespace::RobotFrictionParameters, ruko_robot_namespace::RobotBaseParameters,
        ruko_robot_namespace::RobotJointsParameter>());

// The controller temperature goes below zero. Plain char is signed on some targets only, so a plain char here
// would pass on one machine and turn -5 degrees into 251 on another.
static_assert(std::is_same_v<decltype(RobotDiagnosis::contorllerTemp), signed char>);

// The callbacks are called by the library with exactly these signatures.
static_assert(std::is_same_v<RealTimeJointStatusCallback, void (*)(const JointStatus*, int, void*)>);
static_assert(std::is_same_v<RealTimeRoadPointCallback, void (*)(const wayPoint_S*, void*)>);
static_assert(std::is_same_v<RealTimeEndSpeedCallback, void (*)(double, void*)>);
static_assert(std::is_same_v<RealTimeMovepStepNumNotifyCallback, void (*)(int, void*)>);
static_assert(std::is_same_v<RobotEventCallback, void (*)(const RobotEventInfo*, void*)>);
static_assert(std::is_same_v<::RobotLogPrintCallback, void (*)(LOG_LEVEL, const char*, void*)>);

// --- layout ----------------------------------------------------------------

struct LayoutCase {
  const char* what;
  std::size_t actual;
  std::size_t expected;
};

#define RECORD_SIZE(T, n)          \
  LayoutCase {                     \
    "sizeof(" #T ")", sizeof(T), n \
  }
#define FIELD_AT(T, f, n)         \
  LayoutCase {                    \
#T "::" #f, offsetof(T, f), n \
  }

void expectLayout(std::initializer_list<LayoutCase> cases) {
  for (const LayoutCase& c : cases) {
    EXPECT_EQ(c.actual, c.expected) << c.what;
  }
}

TEST(PublicRecords, StatusAndDeviceRecordsKeepTheirLayout) {
  expectLayout({
      RECORD_SIZE(JointStatus, 36),
      FIELD_AT(JointStatus, jointTagCurrentI, 20),
      FIELD_AT(JointStatus, jointErrorNum, 32),

      // The diagnosis table is declared down the left column, then the right.
      RECORD_SIZE(RobotDiagnosis, 52),
      FIELD_AT(RobotDiagnosis, armPowerCurrent, 4),
      FIELD_AT(RobotDiagnosis, contorllerTemp, 13),
      FIELD_AT(RobotDiagnosis, brakeStuats, 20),
      FIELD_AT(RobotDiagnosis, robotEndSpeed, 24),
      FIELD_AT(RobotDiagnosis, robotMaxAcc, 28),
      FIELD_AT(RobotDiagnosis, robotMountingPoseWarning, 43),
      FIELD_AT(RobotDiagnosis, macTargetPosBufferSize, 44),
      FIELD_AT(RobotDiagnosis, controlBoardAbnormalStateFlag, 49),

      RECORD_SIZE(RobotDevInfo, 465),
      FIELD_AT(RobotDevInfo, revision, 1),
      FIELD_AT(RobotDevInfo, joint_ver, 49),
      FIELD_AT(RobotDevInfo, desc, 241),
      FIELD_AT(RobotDevInfo, jointProductID, 305),
      FIELD_AT(RobotDevInfo, slave_version, 433),
      FIELD_AT(RobotDevInfo, extio_version, 449),
      RECORD_SIZE(RobotJointVersion, 24),
      FIELD_AT(RobotJointVersion, sw_version, 8),

      RECORD_SIZE(RobotSafetyConfig, 32),
      FIELD_AT(RobotSafetyConfig, robotReducedConfigTcpSpeed, 12),
      FIELD_AT(RobotSafetyConfig, robotSafeguradResetConfig, 28),
      RECORD_SIZE(OrpeSafetyStatus, 21),
      FIELD_AT(OrpeSafetyStatus, systemEmergencyStop, 18),

      RECORD_SIZE(RobotDhPara, 240),
      FIELD_AT(RobotDhPara, alpha, 48),
      FIELD_AT(RobotDhPara, theta, 192),

      // Drive data: left column, then right column.
      RECORD_SIZE(JointCommonData, 64),
      FIELD_AT(JointCommonData, JointTagCurrent, 12),
      FIELD_AT(JointCommonData, JointMaxAcc, 28),
      FIELD_AT(JointCommonData, JointMINPos, 32),
      FIELD_AT(JointCommonData, JointSEVLock, 40),
      FIELD_AT(JointCommonData, JointPosDS, 62),

      RECORD_SIZE(RobotGravityComponent, 12),
      RECORD_SIZE(RobotJointOffset, 48),
      RECORD_SIZE(::TcpParam, 16),
      RECORD_SIZE(::RobotTcpParam, 32),
      RECORD_SIZE(::RobotCollisionCurrent, 50),
      FIELD_AT(::RobotCollisionCurrent, CollisionClass, 48),

      RECORD_SIZE(SeamTracking, 272),
      FIELD_AT(SeamTracking, currentRoadPoint, 8),
      FIELD_AT(SeamTracking, nextRoadPoint, 112),
      FIELD_AT(SeamTracking, timeInterval, 216),
      FIELD_AT(SeamTracking, currentPosError, 224),
      FIELD_AT(SeamTracking, paraChanged, 264),
      RECORD_SIZE(ForceSensorData, 48),
  });
}

TEST(PublicRecords, MotionRecordsKeepTheirLayout) {
  expectLayout({
      RECORD_SIZE(JointVelcAccParam, 48),
      RECORD_SIZE(MoveProfile_t, 432),
      FIELD_AT(MoveProfile_t, jointMaxVelc, 48),
      FIELD_AT(MoveProfile_t, endMaxLineVelc, 104),
      FIELD_AT(MoveProfile_t, relative, 112),
      FIELD_AT(MoveProfile_t, relativeOnCoord, 160),
      FIELD_AT(MoveProfile_t, blendRadius, 368),
      FIELD_AT(MoveProfile_t, toolInEndDesc, 376),
      RECORD_SIZE(WeaveMove, 40),
      FIELD_AT(WeaveMove, weaveType, 4),
      FIELD_AT(WeaveMove, weaveStep, 8),
      RECORD_SIZE(RegulateSpeedModeParamConfig_t, 112),
      FIELD_AT(RegulateSpeedModeParamConfig_t, maxJointAcceleration, 64),
      RECORD_SIZE(AdmittancePatam_t, 144),
      FIELD_AT(AdmittancePatam_t, stiffness, 96),
      RECORD_SIZE(JointRangeOfMotion, 104),
      FIELD_AT(JointRangeOfMotion, rangeValues, 8),
  });
}

TEST(PublicRecords, IoRecordsKeepTheirLayout) {
  expectLayout({
      RECORD_SIZE(RobotIoDesc, 80),
      FIELD_AT(RobotIoDesc, ioType, 32),
      FIELD_AT(RobotIoDesc, ioName, 36),
      FIELD_AT(RobotIoDesc, ioAddr, 68),
      FIELD_AT(RobotIoDesc, ioValue, 72),
      RECORD_SIZE(RobotDiagnosisIODesc, 3),
      RECORD_SIZE(RobotAnalogIODesc, 12),
      FIELD_AT(RobotAnalogIODesc, value, 4),
      FIELD_AT(RobotAnalogIODesc, type, 8),
  });
}

TEST(PublicRecords, GeometryRecordsKeepTheirLayout) {
  expectLayout({
      RECORD_SIZE(Pos, 24),
      RECORD_SIZE(cartesianPos_U, 24),
      RECORD_SIZE(Ori, 32),
      FIELD_AT(Ori, w, 0),
      FIELD_AT(Ori, z, 24),
      RECORD_SIZE(Rpy, 24),
      FIELD_AT(Rpy, rz, 16),
      RECORD_SIZE(ToolInEndDesc, 56),
      FIELD_AT(ToolInEndDesc, toolInEndOrientation, 24),
      RECORD_SIZE(wayPoint_S, 104),
      FIELD_AT(wayPoint_S, orientation, 24),
      FIELD_AT(wayPoint_S, jointpos, 56),
      RECORD_SIZE(PositionAndQuaternion, 56),
      FIELD_AT(PositionAndQuaternion, quaternion, 24),
      RECORD_SIZE(JointParam, 48),
      RECORD_SIZE(ToolInertia, 48),
      FIELD_AT(ToolInertia, yy, 24),
      RECORD_SIZE(ToolDynamicsParam, 80),
      FIELD_AT(ToolDynamicsParam, payload, 24),
      FIELD_AT(ToolDynamicsParam, toolInertia, 32),
      // The position offset is single precision: three floats after the flag, then the quaternion.
      RECORD_SIZE(MoveRelative, 48),
      FIELD_AT(MoveRelative, relativePosition, 4),
      FIELD_AT(MoveRelative, relativeOri, 16),
      RECORD_SIZE(CoordCalibrateByJointAngleAndTool, 208),
      FIELD_AT(CoordCalibrateByJointAngleAndTool, methods, 4),
      FIELD_AT(CoordCalibrateByJointAngleAndTool, wayPointArray, 8),
      FIELD_AT(CoordCalibrateByJointAngleAndTool, toolDesc, 152),
  });
}

TEST(PublicRecords, ParameterRecordsKeepTheirLayout) {
  expectLayout({
      RECORD_SIZE(RobotInfo, 48),
      FIELD_AT(RobotInfo, auth_type, 2),
      FIELD_AT(RobotInfo, robot_expire, 4),
      FIELD_AT(RobotInfo, reserve, 8),
      FIELD_AT(RobotInfo, robot_duration, 20),
      FIELD_AT(RobotInfo, joint_duration, 24),
      RECORD_SIZE(RobotDynamicsParameters, 464),
      FIELD_AT(RobotDynamicsParameters, IA, 48),
      FIELD_AT(RobotDynamicsParameters, M, 80),
      FIELD_AT(RobotDynamicsParameters, MXYZ, 88),
      FIELD_AT(RobotDynamicsParameters, IXYZ, 192),
      FIELD_AT(RobotDynamicsParameters, CB, 416),
      RECORD_SIZE(RobotHandguidingParameters, 336),
      FIELD_AT(RobotHandguidingParameters, pos_limit, 192),
      FIELD_AT(RobotHandguidingParameters, acceleration_limit, 288),
      RECORD_SIZE(RobotKinematicsParameters, 288),
      FIELD_AT(RobotKinematicsParameters, dbeta, 144),
      FIELD_AT(RobotKinematicsParameters, dtheta, 240),
      RECORD_SIZE(RobotFrictionParameters, 168),
      FIELD_AT(RobotFrictionParameters, tmp_a, 24),
      FIELD_AT(RobotFrictionParameters, posvel_c2, 96),
      FIELD_AT(RobotFrictionParameters, negvel_c2, 156),
      RECORD_SIZE(RobotBaseParameters, 1136),
      FIELD_AT(RobotBaseParameters, dynamicParam, 48),
      FIELD_AT(RobotBaseParameters, handguidingParam, 512),
      FIELD_AT(RobotBaseParameters, kinematicsParam, 848),
      RECORD_SIZE(RobotJointsParameter, 168),
  });
}

// The friction arrays differ in signedness one by one; a swapped sign turns a small negative
// coefficient read from the controller into a large positive one.
static_assert(std::is_same_v<std::remove_extent_t<decltype(RobotFrictionParameters::tmp_a)>, int16_t> &&
              std::is_same_v<std::remove_extent_t<decltype(RobotFrictionParameters::tmp_b)>, uint16_t> &&
              std::is_same_v<std::remove_extent_t<decltype(RobotFrictionParameters::posvel_a1)>, int16_t> &&
              std::is_same_v<std::remove_extent_t<decltype(RobotFrictionParameters::posvel_c2)>, uint16_t> &&
              std::is_same_v<std::remove_extent_t<decltype(RobotFrictionParameters::negvel_b1)>, int16_t> &&
              std::is_same_v<std::remove_extent_t<decltype(RobotFrictionParameters::negvel_a2)>, uint16_t> &&
              std::is_same_v<std::remove_extent_t<decltype(RobotFrictionParameters::negvel_c2)>, int16_t>);

// --- zero initialisation ----------------------------------------------------

// Builds `T{}` on storage full of garbage, so bytes the initialisation misses
// show up as non-zero.
template <typename T>
const T& initialiseOverGarbage(unsigned char (&storage)[sizeof(T)]) {
  std::memset(storage, 0xA5, sizeof(T));
  return *new (storage) T{};
}

template <typename T>
bool everyByteZero(const T& value) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

template <typename T>
class PaddingFreeRecord : public ::testing::Test {};

// Records without padding: `T{}` must clear all of their bytes.
using PaddingFreeRecords =
    ::testing::Types<RobotDevInfo, OrpeSafetyStatus, RobotDhPara, RobotJointOffset, RobotGravityComponent,
                     ForceSensorData, ::RobotTcpParam, JointVelcAccParam, RegulateSpeedModeParamConfig_t,
                     AdmittancePatam_t, RobotDiagnosisIODesc, ::joint_cart_U, ::cartesian_Ori_U, Pos, cartesianPos_U,
                     Ori, Rpy, ToolInEndDesc, wayPoint_S, PositionAndQuaternion, JointParam, ToolDynamicsParam,
                     RobotBaseParameters, RobotJointsParameter>;
TYPED_TEST_SUITE(PaddingFreeRecord, PaddingFreeRecords);

TYPED_TEST(PaddingFreeRecord, ValueInitialisationZeroesEveryByte) {
  alignas(TypeParam) unsigned char storage[sizeof(TypeParam)];
  EXPECT_TRUE(everyByteZero(initialiseOverGarbage<TypeParam>(storage)));
}

TEST(MoveProfileRecord, ValueInitialisationZeroesTheWholeLimitUnions) {
  // A union's `{}` only initialises one member; the joint limits are the
  // widest one and must all read zero for a joint move built from `{}`.
  alignas(::RobotMoveProfile) unsigned char storage[sizeof(::RobotMoveProfile)];
  const ::RobotMoveProfile& profile = initialiseOverGarbage<::RobotMoveProfile>(storage);
  for (int joint = 0; joint < 6; ++joint) {
    EXPECT_EQ(profile.maxVelc.jointPara[joint], 0.0) << "joint " << joint;
    EXPECT_EQ(profile.maxAcc.jointPara[joint], 0.0) << "joint " << joint;
  }
}

// The parameter reads succeed without touching a block whose lists do not fit, so a record the
// caller declared without braces must already read zero.
template <typename T>
class ZeroWithoutBraces : public ::testing::Test {};
using ZeroWithoutBracesRecords = ::testing::Types<RobotBaseParameters, RobotJointsParameter>;
TYPED_TEST_SUITE(ZeroWithoutBraces, ZeroWithoutBracesRecords);

TYPED_TEST(ZeroWithoutBraces, DefaultInitialisationZeroesEveryByte) {
  alignas(TypeParam) unsigned char storage[sizeof(TypeParam)];
  std::memset(storage, 0xA5, sizeof storage);
  EXPECT_TRUE(everyByteZero(*new (storage) TypeParam));
}

// --- enumerator values ------------------------------------------------------

struct EnumeratorCase {
  const char* name;
  int actual;
  int expected;
};

void expectEnumerators(std::initializer_list<EnumeratorCase> cases) {
  for (const EnumeratorCase& c : cases) {
    EXPECT_EQ(c.actual, c.expected) << c.name;
  }
}

// A move that a controller event ends returns 20000 plus that event's value; the two enumerations
// name each pair with the same stem. Pairing them by token catches a slip on either side.
#define EVENT_CODE(stem)                           \
  EnumeratorCase {                                 \
#stem, ErrCode##stem, 20000 + RobotEvent##stem \
  }

TEST(PublicEnumerations, EventResultCodesAreTwentyThousandAboveTheirEvent) {
  expectEnumerators({
      EVENT_CODE(_collision),
      EVENT_CODE(_robotControllerError),
      EVENT_CODE(MoveJConfigError),
      EVENT_CODE(MoveLConfigError),
      EVENT_CODE(MovePConfigError),
      EVENT_CODE(InvailConfigError),
      EVENT_CODE(WaitRobotStopped),
      EVENT_CODE(JointOutRange),
      EVENT_CODE(FirstWaypointSetError),
      EVENT_CODE(ConveyorTrackConfigError),
      EVENT_CODE(ConveyorTrackTrajectoryTypeError),
      EVENT_CODE(RelativeTransformIKFailed),
      EVENT_CODE(TeachModeCollision),
      EVENT_CODE(extErnalToolConfigError),
      EVENT_CODE(TrajectoryAbnormal),
      EVENT_CODE(OnlineTrajectoryPlanError),
      EVENT_CODE(OnlineTrajectoryTypeIIError),
      EVENT_CODE(IKFailed),
      EVENT_CODE(AbnormalLimitProtect),
      EVENT_CODE(ConveyorTrackingFailed),
      EVENT_CODE(ConveyorOutWorkingRange),
      EVENT_CODE(TrajectoryJointOutOfRange),
      EVENT_CODE(TrajectoryJointOverspeed),
      EVENT_CODE(OfflineTrajectoryPlanFailed),
      EVENT_CODE(TrajectoryJointAccOutOfRange),
      EVENT_CODE(ForceModeException),
      EVENT_CODE(ForceModeIKFailed),
      EVENT_CODE(ForceModeTrackJointverspeed),
      EVENT_CODE(ControllerIKFailed),
      EVENT_CODE(ControllerStatusException),
      EVENT_CODE(ControllerTrackingLost),
      EVENT_CODE(MonitorErrTrackingLost),
      EVENT_CODE(MonitorErrNoArrivalInTime),
      EVENT_CODE(MonitorErrCurrentOverload),
      EVENT_CODE(MonitorErrJointOutOfRange),
      // The one pair whose stems differ.
      EnumeratorCase{"FifoDataTimeNotRead", ErrCodeFifoDataTimeNotRead,
                     20000 + RobotEventMonitorErrFifoDataTimeNotRead},
      EVENT_CODE(MoveEnterStopState),
      EVENT_CODE(HardwareErrorNotify),
      EVENT_CODE(JointError),
      EVENT_CODE(JointOverCurrent),
      EVENT_CODE(JointOverVoltage),
      EVENT_CODE(JointLowVoltage),
      EVENT_CODE(JointOverTemperature),
      EVENT_CODE(JointHallError),
      EVENT_CODE(JointEncoderError),
      EVENT_CODE(JointAbsoluteEncoderError),
      EVENT_CODE(JointCurrentDetectError),
      EVENT_CODE(JointEncoderPollustion),
      EVENT_CODE(JointEncoderZSignalError),
      EVENT_CODE(JointEncoderCalibrateInvalid),
      EVENT_CODE(Joint_IMU_SensorInvalid),
      EVENT_CODE(JointTemperatureSensorError),
      EVENT_CODE(JointCanBusError),
      EVENT_CODE(JointCurrentError),
      EVENT_CODE(JointCurrentPositionError),
      EVENT_CODE(JointOverSpeed),
      EVENT_CODE(JointOverAccelerate),
      EVENT_CODE(JointTraceAccuracy),
      EVENT_CODE(JointTargetPositionOutOfRange),
      EVENT_CODE(JointTargetSpeedOutOfRange),
      EVENT_CODE(JointCollision),
      EVENT_CODE(DataAbnormal),
      EVENT_CODE(RobotTypeError),
      EVENT_CODE(AccelerationSensorError),
      EVENT_CODE(EncoderLineError),
      EVENT_CODE(EnterDragAndTeachModeError),
      EVENT_CODE(ExitDragAndTeachModeError),
      EVENT_CODE(MACDataInterruptionError),
      EVENT_CODE(DriveVersionError),
      EVENT_CODE(InitAbnormal),
      EVENT_CODE(DriverEnableFailed),
      EVENT_CODE(DriverEnableAutoBackFailed),
      EVENT_CODE(DriverEnableCurrentLoopFailed),
      EVENT_CODE(DriverSetTargetCurrentFailed),
      EVENT_CODE(DriverReleaseBrakeFailed),
      EVENT_CODE(DriverEnablePostionLoopFailed),
      EVENT_CODE(SetMaxAccelerateFailed),
      EVENT_CODE(SafetyError),
      EVENT_CODE(ExternEmergencyStop),
      EVENT_CODE(SystemEmergencyStop),
      EVENT_CODE(TeachpendantEmergencyStop),
      EVENT_CODE(ControlCabinetEmergencyStop),
      EVENT_CODE(ProtectionStopTimeout),
      EVENT_CODE(EeducedModeTimeout),
      EVENT_CODE(SystemAbnormal),
      EVENT_CODE(_MCU_CommunicationAbnormal),
      EVENT_CODE(485CommunicationAbnormal),
      EVENT_CODE(SoftEmergency),
      EVENT_CODE(ArmPowerOff),
  });
}

}  // namespace

TEST(DiagnosisRecord, DefaultConstructionWithoutBracesReadsZero) {
  // A reply with an empty diagnosis list succeeds without writing the record, so a caller that declares
  // `RobotDiagnosis d;` must still read zeros, not stack garbage.
  alignas(RobotDiagnosis) unsigned char storage[sizeof(RobotDiagnosis)];
  std::memset(storage, 0xA5, sizeof storage);
  const RobotDiagnosis& d = *new (storage) RobotDiagnosis;
  EXPECT_EQ(d.armCanbusStatus, 0);
  EXPECT_EQ(d.armPowerCurrent, 0.0f);
  EXPECT_EQ(d.robotMaxAcc, 0);
  EXPECT_FALSE(d.jointErrorStatus);
  EXPECT_EQ(d.macTargetPosDataSize, 0);
  EXPECT_EQ(d.controlBoardAbnormalStateFlag, 0);
}
