#include "kinematics/robot_models.h"

#include <iterator>

namespace ruko {
namespace {

// Plain constant arrays: usable from any static initialiser, unlike the map.
constexpr RobotModelInfo kModels[] = {
    {ruko_m01, "ruko_m01", true},  {ruko_m02, "ruko_m02", true},  {ruko_m03, "ruko_m03", true},
    {ruko_m04, "ruko_m04", true},  {ruko_m05, "ruko_m05", true},  {ruko_m06, "ruko_m06", true},
    {ruko_m07, "ruko_m07", true},  {ruko_m08, "ruko_m08", true},  {ruko_m09, "ruko_m09", true},
    {ruko_m10, "ruko_m10", true},  {ruko_m11, "ruko_m11", true},  {ruko_m12, "ruko_m12", true},
    {ruko_m13, "ruko_m13", true},  {ruko_m14, "ruko_m14", true},  {ruko_m15, "ruko_m15", true},
    {ruko_m16, "ruko_m16", true},  {ruko_m17, "ruko_m17", false}, {ruko_m18, "ruko_m18", false},
    {ruko_m19, "ruko_m19", false},
};

struct KeyedLengthRow {
  int robotType;
  RobotLengthRow lengths;
};

//                        a2      a3      d1      d2       d5       d6       d4
constexpr KeyedLengthRow kLengthRows[] = {
    {4, {0.266, 0.2565, 0.157, 0.119, 0.1025, 0.094, 0}},
    {1, {0.552, 0.495, 0.1632, 0.178, 0.1025, 0.094, 0}},
    {2, {0.647, 0.6005, 0.1632, 0.2013, 0.1025, 0.094, 0}},
    {3, {0.229, 0.2015, 0.1395, 0.11055, 0.08955, 0.09055, 0}},
    {5, {0.245, 0.215, 0.1215, 0.1215, 0.1025, 0.094, -0.019}},
    {8, {0.48, 0.37, 0.163, 0.191, 0.1175, 0.1035, 0}},
    {9, {0.803, 0.72, 0.1855, 0.177, 0.127, 0.1063, 0}},
    {901, {0.703, 0.67, 0.1955, 0.1935, 0.127, 0.1063, 0}},
    {902, {0.803, 0.72, 0.1955, 0.1935, 0.127, 0.1063, 0}},
    {6, {0.608, 0.6395, 0.122, 0.1215, 0.1025, 0.094, 0}},
    {7, {0.58, 0.5525, 0.163, 0.191, 0.1175, 0.1035, 0}},
    {10, {0.5, 0.473, 0.1955, 0.214, 0.127, 0.119, 0}},
    {501, {0.408, 0.376, 0.1278, 0.1455, 0.1265, 0.118, 0}},
    {502, {0.368, 0.316, 0.122, 0.1215, 0.1025, 0.094, 0}},
    {503, {0.408, 0.376, 0.0985, 0.1215, 0.1025, 0.114, 0}},
};

constexpr RobotLengthRow kDefaultRow = {0.408, 0.376, 0.0985, 0.1215, 0.1025, 0.094, -0.019};

std::map<int, std::string> buildNameMap() {
  std::map<int, std::string> names;
  for (const auto& model : kModels) names.emplace(model.value, model.name);
  return names;
}

}  // namespace

const RobotModelInfo* findRobotModel(int robotType) {
  for (const auto& model : kModels) {
    if (model.value == robotType) return &model;
  }
  return nullptr;
}

const RobotLengthRow* findLengthRow(int robotType) {
  for (const auto& row : kLengthRows) {
    if (row.robotType == robotType) return &row.lengths;
  }
  return nullptr;
}

const RobotLengthRow& defaultLengthRow() {
  return kDefaultRow;
}

}  // namespace ruko

const std::map<int, std::string> RUKO_ROBOT_NAME = ruko::buildNameMap();
