#ifndef RUKO_CODEC_FIELD_TABLES_H
#define RUKO_CODEC_FIELD_TABLES_H

// Records whose fields map one to one onto a message, as X(recordField, messageAccessor) tables: the generated
// accessors are the lower-cased field names, and one table serves both directions of a conversion.

#include <type_traits>

#include "codec/codec_support.h"

// The 30 diagnosis fields; the record's narrower widths decide what is kept on reading.
#define RUKO_DIAGNOSIS_FIELDS(X)                          \
  X(armCanbusStatus, armcanbusstatus)                     \
  X(armPowerCurrent, armpowercurrent)                     \
  X(armPowerVoltage, armpowervoltage)                     \
  X(armPowerStatus, armpowerstatus)                       \
  X(contorllerTemp, contorllertemp)                       \
  X(contorllerHumidity, contorllerhumidity)               \
  X(remoteHalt, remotehalt)                               \
  X(softEmergency, softemergency)                         \
  X(remoteEmergency, remoteemergency)                     \
  X(robotCollision, robotcollision)                       \
  X(forceControlMode, forcecontrolmode)                   \
  X(brakeStuats, brakestuats)                             \
  X(robotEndSpeed, robotendspeed)                         \
  X(robotMaxAcc, robotmaxacc)                             \
  X(orpeStatus, orpestatus)                               \
  X(enableReadPose, enablereadpose)                       \
  X(robotMountingPoseChanged, robotmountingposechanged)   \
  X(encoderErrorStatus, encodererrorstatus)               \
  X(staticCollisionDetect, staticcollisiondetect)         \
  X(jointCollisionDetect, jointcollisiondetect)           \
  X(encoderLinesError, encoderlineserror)                 \
  X(jointErrorStatus, jointerrorstatus)                   \
  X(singularityOverSpeedAlarm, singularityoverspeedalarm) \
  X(robotCurrentAlarm, robotcurrentalarm)                 \
  X(toolIoError, toolioerror)                             \
  X(robotMountingPoseWarning, robotmountingposewarning)   \
  X(macTargetPosBufferSize, mactargetposbuffersize)       \
  X(macTargetPosDataSize, mactargetposdatasize)           \
  X(macDataInterruptWarning, macdatainterruptwarning)     \
  X(controlBoardAbnormalStateFlag, controlboardabnormalstateflag)

// One joint's drive data; 16-bit record fields keep the low 16 bits on reading.
#define RUKO_JOINT_COMMON_DATA_FIELDS(X) \
  X(JointCurVol, jointcurvol)            \
  X(JointCurTemp, jointcurtemp)          \
  X(JointWorkMode, jointworkmode)        \
  X(JointDriEnable, jointdrienable)      \
  X(JointOpenPwm, jointopenpwm)          \
  X(JointTagCurrent, jointtagcurrent)    \
  X(JointTagSpeed, jointtagspeed)        \
  X(JointTagPos, jointtagpos)            \
  X(JointMaxCur, jointmaxcur)            \
  X(JointMaxSpeed, jointmaxspeed)        \
  X(JointMaxAcc, jointmaxacc)            \
  X(JointMINPos, jointminpos)            \
  X(JointMAXPos, jointmaxpos)            \
  X(JointSEVLock, jointsevlock)          \
  X(JointCurP, jointcurp)                \
  X(JointCurI, jointcuri)                \
  X(JointCurD, jointcurd)                \
  X(JointSpeedP, jointspeedp)            \
  X(JointSpeedI, jointspeedi)            \
  X(JointSpeedD, jointspeedd)            \
  X(JointSpeedDS, jointspeedds)          \
  X(JointPosP, jointposp)                \
  X(JointPosI, jointposi)                \
  X(JointPosD, jointposd)                \
  X(JointPosDS, jointposds)

// One joint's status; jointErrorNum keeps the low 16 bits on reading.
#define RUKO_JOINT_STATUS_FIELDS(X)       \
  X(jointCurrentI, jointcurrenti)         \
  X(jointSpeedMoto, jointspeedmoto)       \
  X(jointPosJ, jointposj)                 \
  X(jointCurVol, jointcurvol)             \
  X(jointCurTemp, jointcurtemp)           \
  X(jointTagCurrentI, jointtagcurrenti)   \
  X(jointTagSpeedMoto, jointtagspeedmoto) \
  X(jointTagPosJ, jointtagposj)           \
  X(jointErrorNum, jointerrornum)

// The safety configuration besides the joint speed list.
#define RUKO_SAFETY_CONFIG_SCALARS(X)                       \
  X(robotReducedConfigTcpSpeed, robotreducedconfigtcpspeed) \
  X(robotReducedConfigTcpForce, robotreducedconfigtcpforce) \
  X(robotReducedConfigMomentum, robotreducedconfigmomentum) \
  X(robotReducedConfigPower, robotreducedconfigpower)       \
  X(robotSafeguradResetConfig, robotsafeguradresetconfig)   \
  X(robotOperationalModeConfig, robotoperationalmodeconfig)

// The safety status besides the error list; each is 8 bits in the record.
#define RUKO_ORPE_SAFETY_SCALARS(X)           \
  X(orpePause, orpepause)                     \
  X(orpeStop, orpestop)                       \
  X(systemEmergencyStop, systememergencystop) \
  X(reducedModeError, reducedmodeerror)       \
  X(safetyguardResetSucc, safetyguardresetsucc)

// Joint offsets and joint angles: joint1 to joint6.
#define RUKO_JOINT_OFFSET_FIELDS(X) \
  X(joint1, joint1)                 \
  X(joint2, joint2)                 \
  X(joint3, joint3)                 \
  X(joint4, joint4)                 \
  X(joint5, joint5)                 \
  X(joint6, joint6)

// The six inertia values of a tool.
#define RUKO_TOOL_INERTIA_FIELDS(X) \
  X(xx, xx)                         \
  X(xy, xy)                         \
  X(xz, xz)                         \
  X(yy, yy)                         \
  X(yz, yz)                         \
  X(zz, zz)

// The robot information besides its lists; robot_type and auth_type keep the low 16 bits on reading.
#define RUKO_ROBOT_INFO_SCALARS(X) \
  X(robot_type, robot_type)        \
  X(auth_type, auth_type)          \
  X(robot_expire, robot_expire)    \
  X(robot_duration, robot_duration)

// Dynamics lists; lengths are the record's array lengths.
#define RUKO_DYNAMICS_LISTS(X) \
  X(K, k)                      \
  X(IA, ia)                    \
  X(M, m)                      \
  X(MXYZ, mxyz)                \
  X(IXYZ, ixyz)                \
  X(CB, cb)

// Hand-guiding lists, six values each.
#define RUKO_HANDGUIDING_LISTS(X)   \
  X(FP, fp)                         \
  X(FD, fd)                         \
  X(FK, fk)                         \
  X(FM, fm)                         \
  X(pos_limit, pos_limit)           \
  X(velocity_limit, velocity_limit) \
  X(acceleration_limit, acceleration_limit)

// Kinematics lists, six values each, in both forms.
#define RUKO_KINEMATICS_LISTS(X) \
  X(da, da)                      \
  X(dd, dd)                      \
  X(dalpha, dalpha)              \
  X(dbeta, dbeta)                \
  X(dratio, dratio)              \
  X(dtheta, dtheta)

// Friction lists in field-number order, six values each.
#define RUKO_FRICTION_LISTS(X) \
  X(FL, fl)                    \
  X(FR, fr)                    \
  X(tmp_a, tmp_a)              \
  X(tmp_b, tmp_b)              \
  X(posvel_a1, posvel_a1)      \
  X(posvel_b1, posvel_b1)      \
  X(posvel_a2, posvel_a2)      \
  X(posvel_b2, posvel_b2)      \
  X(posvel_c2, posvel_c2)      \
  X(negvel_a1, negvel_a1)      \
  X(negvel_b1, negvel_b1)      \
  X(negvel_a2, negvel_a2)      \
  X(negvel_b2, negvel_b2)      \
  X(negvel_c2, negvel_c2)

// Row actions for the tables above, for conversions whose arguments are named `record` and `message`. Reading
// narrows to the record field's type (integers keep their low bits); writing widens to the wire type.
#define RUKO_SCALAR_TO_MESSAGE(field, accessor) \
  message.set_##accessor(static_cast<std::decay_t<decltype(message.accessor())>>(record.field));
#define RUKO_SCALAR_TO_RECORD(field, accessor) record.field = static_cast<decltype(record.field)>(message.accessor());
#define RUKO_LIST_TO_MESSAGE(field, accessor) ruko::codec::appendAll(message.mutable_##accessor(), record.field);
#define RUKO_LIST_TO_RECORD(field, accessor) ruko::codec::copyExact(message.accessor(), record.field);
#define RUKO_LIST_HAS_LENGTH(field, accessor) &&ruko::codec::hasLength(message.accessor(), record.field)

#endif  // RUKO_CODEC_FIELD_TABLES_H
