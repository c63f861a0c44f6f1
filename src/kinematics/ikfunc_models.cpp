#include <cmath>

#include "kinematics/ikfunc.h"
#include "kinematics/kinematic_store.h"
#include "util/log.h"
#include "util/finite.h"

namespace {

enum class Selection { UnknownModel, OwnRow, DefaultRow, NotAnalytic };

// Applies a model selection to a draft of the store; logs nothing, so that it can run
// under the store's writer lock.
Selection selectModel(ruko::KinematicParams& params, int robotType) {
  const ruko::RobotModelInfo* model = ruko::findRobotModel(robotType);
  if (model == nullptr) return Selection::UnknownModel;
  params.k_series_robot = model->analytic;
  if (!model->analytic) return Selection::NotAnalytic;

  const ruko::RobotLengthRow* row = ruko::findLengthRow(robotType);
  const Selection selection = row != nullptr ? Selection::OwnRow : Selection::DefaultRow;
  if (row == nullptr) row = &ruko::defaultLengthRow();
  ruko::setDhParaLen(params, robotType, row->a2, row->a3, row->d1, row->d2, row->d5, row->d6, row->d4);
  params.dh_vector[ruko::kDhA3] = row->a2;
  params.dh_vector[ruko::kDhA4] = row->a3;
  params.dh_vector[ruko::kDhD1] = row->d1;
  params.dh_vector[ruko::kDhD2] = row->d2;
  params.dh_vector[ruko::kDhD5] = row->d5;
  params.dh_vector[ruko::kDhD6] = row->d6;
  return selection;
}

bool logSelection(Selection selection, int robotType) {
  if (selection == Selection::UnknownModel || selection == Selection::DefaultRow) {
    ruko::logPrint(LL_WARN, "Ikfunc::SetDhParaLen unkown robottype[%d]", robotType);
  }
  if (selection == Selection::UnknownModel) {
    ruko::logPrint(LL_WARN, "set robot failed, robot name: ");
    return false;
  }
  ruko::logPrint(LL_INFO, "set robot successfully, robot name: %s", ruko::findRobotModel(robotType)->name);
  return true;
}

}  // namespace

bool Ikfunc::SetRobotType(const std::string& /*modelName*/, const std::string& /*config*/) {
  return true;
}

bool Ikfunc::SetDhParaLen(ruko_robot_type robotType) {
  Selection selection = Selection::UnknownModel;
  ruko::updateKinematicParams([&](ruko::KinematicParams& params) {
    selection = selectModel(params, robotType);
    return selection != Selection::UnknownModel;
  });
  if (selection == Selection::NotAnalytic) {
    SetRobotType(ruko::findRobotModel(robotType)->name, "");
  }
  return logSelection(selection, robotType);
}

bool Ikfunc::setDhParameters(ruko_robot_type robotType, double A3, double A4, double D1, double D2, double D5,
                             double D6) {
  Selection selection = Selection::UnknownModel;
  bool finite = true;
  ruko::updateKinematicParams([&](ruko::KinematicParams& params) {
    selection = selectModel(params, robotType);
    if (selection == Selection::UnknownModel) return false;
    double a2, a3, d1, d2, d5, d6;
    ruko::getDhPara(params, a2, a3, d1, d2, d5, d6, nullptr);
    float da[6] = {0, 0, 0, 0, 0, 0};
    float dd[6] = {0, 0, 0, 0, 0, 0};
    da[2] = ruko::toSingle(A3 - a2);
    da[3] = ruko::toSingle(A4 - a3);
    dd[0] = ruko::toSingle(D1 - d1);
    dd[1] = ruko::toSingle(D2 - d2);
    dd[4] = ruko::toSingle(D5 - d5);
    dd[5] = ruko::toSingle(D6 - d6);
    ruko::modifyDhParaLen(params, da, dd);
    // Also catches finite reports whose difference overflows single precision.
    finite = ruko::lengthsAreFinite(params);
    return finite;
  });
  if (selection != Selection::UnknownModel && !finite) {
    // Refused as a whole: no line may claim the model was set.
    ruko::logPrint(LL_ERROR, "Ikfunc::setDhParameters refused non-finite lengths: %f,%f,%f,%f,%f,%f", A3, A4, D1, D2,
                   D5, D6);
    return false;
  }
  return logSelection(selection, robotType);
}

bool Ikfunc::installSystemCalibParam(const RobotSystemParamCalib_S& calib) {
  if (!ruko::allFinite(calib.dA, 6) || !ruko::allFinite(calib.dD, 6) || !ruko::allFinite(calib.dAlpha, 6) ||
      !ruko::allFinite(calib.dTheta, 6) || !ruko::allFinite(calib.dBeta, 6)) {
    return false;
  }
  ruko::updateKinematicParams([&](ruko::KinematicParams& params) {
    params.RobotSystemParamCalib = calib;
    params.dh_real = true;
    return true;
  });
  return true;
}

void Ikfunc::setJoint6Rot360(bool enable) {
  ruko::updateKinematicParams([&](ruko::KinematicParams& params) {
    params.joint6Rot360 = enable;
    return true;
  });
}

void Ikfunc::setJoint1Rot360(bool enable) {
  ruko::updateKinematicParams([&](ruko::KinematicParams& params) {
    params.joint1Rot360 = enable;
    return true;
  });
}

bool Ikfunc::joint6Rot360() {
  return ruko::kinematicParams()->joint6Rot360;
}

bool Ikfunc::joint1Rot360() {
  return ruko::kinematicParams()->joint1Rot360;
}
