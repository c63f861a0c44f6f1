#ifndef RUKO_KINEMATICS_ROBOT_MODELS_H
#define RUKO_KINEMATICS_ROBOT_MODELS_H

// The catalogue of arm models and their nominal link lengths. All arms are six-axis
// with joints 2, 3 and 4 parallel; models differ only in these lengths.

#include <map>
#include <string>

// Values are the controller's model numbers (the public RobotType uses the same);
// they are not consecutive, so never index an array by them.
enum ruko_robot_type : int {
  ruko_m01 = 0,
  ruko_m02 = 1,
  ruko_m03 = 2,
  ruko_m04 = 3,
  ruko_m05 = 4,
  ruko_m06 = 5,
  ruko_m07 = 501,
  ruko_m08 = 502,
  ruko_m09 = 503,
  ruko_m10 = 6,
  ruko_m11 = 7,
  ruko_m12 = 8,
  ruko_m13 = 9,
  ruko_m14 = 901,
  ruko_m15 = 902,
  ruko_m16 = 10,
  ruko_m17 = 11,
  ruko_m18 = 12,
  ruko_m19 = 20,
  ruko_robot_type_num = 21,  // no model
};

// Model value -> model name, exactly the models of the catalogue.
extern const std::map<int, std::string> RUKO_ROBOT_NAME;

namespace ruko {

struct RobotModelInfo {
  int value;
  const char* name;
  bool analytic;  // the closed-form kinematics apply to this model
};

// Nominal lengths in metres. a2 upper arm, a3 forearm, d1 base height, d2 shoulder
// offset, d5 offset along joint 5, d6 flange offset; d4 only feeds getDhPara.
struct RobotLengthRow {
  double a2;
  double a3;
  double d1;
  double d2;
  double d5;
  double d6;
  double d4;
};

// The catalogue entry of a model value, or nullptr when the value is no model.
const RobotModelInfo* findRobotModel(int robotType);

// The length row of a model value, or nullptr when it has no row of its own (the
// default row then applies).
const RobotLengthRow* findLengthRow(int robotType);

const RobotLengthRow& defaultLengthRow();

}  // namespace ruko

#endif  // RUKO_KINEMATICS_ROBOT_MODELS_H
