// The facade's operations that need no controller: kinematics, rotations, frame conversions, record
// initialisers, text and filter helpers. Each forwards to the library-level service unchanged.
#include <string>
#include <utility>
#include <vector>

#include "geometry/robotutilservice.h"
#include "ruko_sdk/serviceinterface.h"
#include "util/globalutil.h"

using ruko_robot_namespace::CoordCalibrateByJointAngleAndTool;
using ruko_robot_namespace::MoveRelative;
using ruko_robot_namespace::Ori;
using ruko_robot_namespace::Pos;
using ruko_robot_namespace::Rpy;
using ruko_robot_namespace::ToolDynamicsParam;
using ruko_robot_namespace::ToolInEndDesc;
using ruko_robot_namespace::ToolInertia;
using ruko_robot_namespace::wayPoint_S;

// ---- Record initialisers ----------------------------------------------------------------------------

void ServiceInterface::initPosDataType(Pos& position) { RobotUtilService::initPosDataType(position); }

void ServiceInterface::initOriDataType(Ori& orientation) { RobotUtilService::initOriDataType(orientation); }

void ServiceInterface::initMoveRelativeDataType(MoveRelative& moveRelative) {
  RobotUtilService::initMoveRelativeDataType(moveRelative);
}

void ServiceInterface::initWayPointDataType(wayPoint_S& wayPoint) { RobotUtilService::initWayPointDataType(wayPoint); }

void ServiceInterface::initToolInEndDescDataType(ToolInEndDesc& toolInEndDesc) {
  RobotUtilService::initToolInEndDescDataType(toolInEndDesc);
}

void ServiceInterface::initCoordCalibrateByJointAngleAndToolDataType(CoordCalibrateByJointAngleAndTool& coordCalibrate) {
  RobotUtilService::initCoordCalibrateByJointAngleAndToolDataType(coordCalibrate);
}

void ServiceInterface::initToolInertiaDataType(ToolInertia& toolInertia) {
  RobotUtilService::initToolInertiaDataType(toolInertia);
}

void ServiceInterface::initToolDynamicsParamDataType(ToolDynamicsParam& toolDynamicsParam) {
  RobotUtilService::initToolDynamicsParamDataType(toolDynamicsParam);
}

// ---- Kinematics -------------------------------------------------------------------------------------

int ServiceInterface::robotServiceRobotFk(const double* jointAngle, int size, wayPoint_S& wayPoint) {
  return RobotUtilService::robotFk(jointAngle, size, wayPoint);
}

int ServiceInterface::robotServiceRobotIk(const double* startPointJointAngle, const Pos& position, const Ori& ori,
                                          wayPoint_S& wayPoint) {
  return RobotUtilService::robotIk(startPointJointAngle, position, ori, wayPoint);
}

int ServiceInterface::robotServiceRobotIk(const Pos& position, const Ori& ori, std::vector<wayPoint_S>& wayPointVector) {
  return RobotUtilService::robotIk(position, ori, wayPointVector);
}

// ---- Rotations --------------------------------------------------------------------------------------

int ServiceInterface::quaternionToRPY(const Ori& ori, Rpy& rpy) { return RobotUtilService::quaternionToRPY(ori, rpy); }

int ServiceInterface::RPYToQuaternion(const Rpy& rpy, Ori& ori) { return RobotUtilService::RPYToQuaternion(rpy, ori); }

int ServiceInterface::robotServiceOriMatrixToQuaternion(double* eerot, Ori& result) {
  return RobotUtilService::oriMatrixToQuaternion(eerot, result);
}

// ---- Frame conversions ------------------------------------------------------------------------------

int ServiceInterface::baseToUserCoordinate(const Pos& flangeCenterPositionOnBase, const Ori& flangeCenterOrientationOnBase,
                                           const CoordCalibrateByJointAngleAndTool& userCoordSystem,
                                           const ToolInEndDesc& toolInEndDesc, Pos& toolEndPositionOnUserCoord,
                                           Ori& toolEndOrientationOnUserCoord) {
  return RobotUtilService::base2UserCoordinate(flangeCenterPositionOnBase, flangeCenterOrientationOnBase,
                                               userCoordSystem, toolInEndDesc, toolEndPositionOnUserCoord,
                                               toolEndOrientationOnUserCoord);
}

int ServiceInterface::baseToBaseAdditionalTool(const Pos& flangeCenterPositionOnBase,
                                               const Ori& flangeCenterOrientationOnBase,
                                               const ToolInEndDesc& toolInEndDesc, Pos& toolEndPositionOnBase,
                                               Ori& toolEndOrientationOnBase) {
  return RobotUtilService::base2BaseAdditionalTool(flangeCenterPositionOnBase, flangeCenterOrientationOnBase,
                                                   toolInEndDesc, toolEndPositionOnBase, toolEndOrientationOnBase);
}

int ServiceInterface::userToBaseCoordinate(const Pos& toolEndPositionOnUserCoord, const Ori& toolEndOrientationOnUserCoord,
                                           const CoordCalibrateByJointAngleAndTool& userCoord,
                                           const ToolInEndDesc& toolInEndDesc, Pos& flangeCenterPositionOnBase,
                                           Ori& flangeCenterOrientationOnBase) {
  return RobotUtilService::user2BaseCoordinate(toolEndPositionOnUserCoord, toolEndOrientationOnUserCoord, userCoord,
                                               toolInEndDesc, flangeCenterPositionOnBase,
                                               flangeCenterOrientationOnBase);
}

int ServiceInterface::userCoordPointToBasePoint(const Pos& userCoordPoint,
                                                const CoordCalibrateByJointAngleAndTool& userCoordSystem,
                                                Pos& basePoint) {
  return RobotUtilService::userCoordPoint2BasePoint(userCoordPoint, userCoordSystem, basePoint);
}

int ServiceInterface::endOrientation2ToolOrientation(Ori& tcpOriInEnd, const Ori& endOri, Ori& toolOri) {
  return RobotUtilService::endOrientation2ToolOrientation(tcpOriInEnd, endOri, toolOri);
}

int ServiceInterface::toolOrientation2EndOrientation(Ori& tcpOriInEnd, const Ori& toolOri, Ori& endOri) {
  return RobotUtilService::toolOrientation2EndOrientation(tcpOriInEnd, toolOri, endOri);
}

// ---- Text and filter helpers ------------------------------------------------------------------------

std::string ServiceInterface::trim(std::string s) { return commonUtil::trim(std::move(s)); }

std::string ServiceInterface::removeSurplusSpaces(const std::string& s) { return commonUtil::removeSurplusSpaces(s); }

bool ServiceInterface::StringToPositionAndRpy(std::string& text, Pos& position, Rpy& rpy) {
  return commonUtil::StringToPositionAndRpy(text, position, rpy);
}

void ServiceInterface::iir_low_filter_Init(double F0, double Fs, double Ly, double* Coe) {
  commonUtil::iir_low_filter_Init(F0, Fs, Ly, Coe);
}

void ServiceInterface::iir_low_filter_run(double* dat_in, double* dat_o, double* coe, int num) {
  commonUtil::iir_low_filter_run(dat_in, dat_o, coe, num);
}
