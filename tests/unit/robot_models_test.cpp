#include "kinematics/robot_models.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "geometry/robotutilservice.h"
#include "kinematics/ikfunc.h"
#include "kinematics/kinematic_store.h"
#include "util/server_version_code.h"
#include "log_capture.h"
#include "ruko_sdk/robot_error.h"
#include "ruko_sdk/robot_parameter_types.h"
#include "ruko_sdk/robot_status_types.h"
#include "util/log.h"

namespace pub = ruko_robot_namespace;

namespace {

constexpr double kPi = 3.14159265358979323846;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct Lengths {
  double a2, a3, d1, d2, d5, d6, d4;
};

struct ModelCase {
  int value;
  const char* name;
  bool analytic;
  Lengths row;  // for analytic models
};

// The catalogue as the controller documents it, written out independently of the
// library's tables.
const ModelCase kModels[] = {
    {0, "ruko_m01", true, {0.408, 0.376, 0.0985, 0.1215, 0.1025, 0.094, -0.019}},
    {1, "ruko_m02", true, {0.552, 0.495, 0.1632, 0.178, 0.1025, 0.094, 0}},
    {2, "ruko_m03", true, {0.647, 0.6005, 0.1632, 0.2013, 0.1025, 0.094, 0}},
    {3, "ruko_m04", true, {0.229, 0.2015, 0.1395, 0.11055, 0.08955, 0.09055, 0}},
    {4, "ruko_m05", true, {0.266, 0.2565, 0.157, 0.119, 0.1025, 0.094, 0}},
    {5, "ruko_m06", true, {0.245, 0.215, 0.1215, 0.1215, 0.1025, 0.094, -0.019}},
    {501, "ruko_m07", true, {0.408, 0.376, 0.1278, 0.1455, 0.1265, 0.118, 0}},
    {502, "ruko_m08", true, {0.368, 0.316, 0.122, 0.1215, 0.1025, 0.094, 0}},
    {503, "ruko_m09", true, {0.408, 0.376, 0.0985, 0.1215, 0.1025, 0.114, 0}},
    {6, "ruko_m10", true, {0.608, 0.6395, 0.122, 0.1215, 0.1025, 0.094, 0}},
    {7, "ruko_m11", true, {0.58, 0.5525, 0.163, 0.191, 0.1175, 0.1035, 0}},
    {8, "ruko_m12", true, {0.48, 0.37, 0.163, 0.191, 0.1175, 0.1035, 0}},
    {9, "ruko_m13", true, {0.803, 0.72, 0.1855, 0.177, 0.127, 0.1063, 0}},
    {901, "ruko_m14", true, {0.703, 0.67, 0.1955, 0.1935, 0.127, 0.1063, 0}},
    {902, "ruko_m15", true, {0.803, 0.72, 0.1955, 0.1935, 0.127, 0.1063, 0}},
    {10, "ruko_m16", true, {0.5, 0.473, 0.1955, 0.214, 0.127, 0.119, 0}},
    {11, "ruko_m17", false, {}},
    {12, "ruko_m18", false, {}},
    {20, "ruko_m19", false, {}},
};

const Lengths kM05 = kModels[4].row;

void expectLengths(const ruko::KinematicParams& p, const Lengths& l) {
  EXPECT_EQ(p.a2, l.a2);
  EXPECT_EQ(p.a3, l.a3);
  EXPECT_EQ(p.d1, l.d1);
  EXPECT_EQ(p.d2, l.d2);
  EXPECT_EQ(p.d5, l.d5);
  EXPECT_EQ(p.d6, l.d6);
  EXPECT_EQ(p.d4, l.d4);
}

// The chain FK's table follows the selected row (a of joints 3, 4; d of 1, 2, 5, 6).
void expectDhVectorRow(const ruko::KinematicParams& p, const Lengths& l) {
  EXPECT_EQ(p.dh_vector[14], l.a2);
  EXPECT_EQ(p.dh_vector[15], l.a3);
  EXPECT_EQ(p.dh_vector[18], l.d1);
  EXPECT_EQ(p.dh_vector[19], l.d2);
  EXPECT_EQ(p.dh_vector[22], l.d5);
  EXPECT_EQ(p.dh_vector[23], l.d6);
}

// Every test leaves the process-wide store as it found it.
class KinematicStoreTest : public ::testing::Test {
 protected:
  ruko::ScopedKinematicParamsRestore restore_;
  ruko::test::LogCapture log_;
};

}  // namespace

TEST(RobotModels, NameMapHoldsExactlyTheCatalogue) {
  EXPECT_EQ(RUKO_ROBOT_NAME.size(), 19u);
  for (const auto& m : kModels) {
    ASSERT_EQ(RUKO_ROBOT_NAME.count(m.value), 1u) << m.value;
    EXPECT_EQ(RUKO_ROBOT_NAME.at(m.value), m.name);
  }
  EXPECT_EQ(RUKO_ROBOT_NAME.count(ruko_robot_type_num), 0u);
}

// The public robot type and the kinematics' model numbers are one set of values.
static_assert(static_cast<int>(pub::ROBOT_M07) == ruko_m07, "");
static_assert(static_cast<int>(pub::ROBOT_M15) == ruko_m15, "");
static_assert(static_cast<int>(pub::ROBOT_M19) == ruko_m19, "");
static_assert(std::is_same<std::underlying_type<ruko_robot_type>::type, int>::value, "");

TEST(RobotModels, InitialStateIsTheDefaultRow) {
  const ruko::KinematicParams p{};
  EXPECT_EQ(p.robot_type, 0);
  expectLengths(p, kModels[0].row);
  // Joint 2's d agrees with the closed form's d2 from the start.
  const double expectedDh[24] = {kPi, -kPi / 2, 0,     -kPi / 2, 0, 0, 0,      -kPi / 2, kPi, kPi, -kPi / 2, kPi / 2,
                                 0,   0,        0.408, 0.376,    0, 0, 0.0985, 0.1215,   0,   0,   0.1025,   0.094};
  for (int i = 0; i < 24; ++i) EXPECT_EQ(p.dh_vector[i], expectedDh[i]) << i;
  EXPECT_FALSE(p.dh_real);
  EXPECT_TRUE(p.k_series_robot);
  EXPECT_FALSE(p.joint6Rot360);
  EXPECT_FALSE(p.joint1Rot360);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(p.RobotSystemParamCalib.dA[i], 0.0f);
    EXPECT_EQ(p.RobotSystemParamCalib.dBeta[i], 0.0f);
  }
}

TEST_F(KinematicStoreTest, SelectsEveryAnalyticModelByValue) {
  for (const auto& m : kModels) {
    if (!m.analytic) continue;
    SCOPED_TRACE(m.name);
    log_.clear();
    ASSERT_TRUE(Ikfunc::SetDhParaLen(static_cast<ruko_robot_type>(m.value)));
    const auto p = ruko::kinematicParams();
    EXPECT_EQ(p->robot_type, m.value);
    EXPECT_EQ(getRobotType(), m.value);
    EXPECT_TRUE(p->k_series_robot);
    expectLengths(*p, m.row);
    expectDhVectorRow(*p, m.row);
    EXPECT_EQ(log_.count(std::string("set robot successfully, robot name: ") + m.name, LL_INFO), 1);
    // Only the model without a row of its own warns, with its value.
    EXPECT_EQ(log_.count("Ikfunc::SetDhParaLen unkown robottype[", LL_WARN), m.value == 0 ? 1 : 0);
  }
}

TEST_F(KinematicStoreTest, DefaultRowWarnsBeforeTheSuccessLine) {
  Ikfunc::SetDhParaLen(ruko_m05);
  log_.clear();
  ASSERT_TRUE(Ikfunc::SetDhParaLen(ruko_m01));
  const auto lines = log_.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "Ikfunc::SetDhParaLen unkown robottype[0]");
  EXPECT_EQ(lines[1].text, "set robot successfully, robot name: ruko_m01");
  EXPECT_EQ(ruko::kinematicParams()->d4, -0.019);
}

TEST_F(KinematicStoreTest, ModelsOutsideTheAnalyticSetKeepThePreviousLengths) {
  for (const auto& m : kModels) {
    if (m.analytic) continue;
    SCOPED_TRACE(m.name);
    ASSERT_TRUE(Ikfunc::SetDhParaLen(ruko_m05));
    ASSERT_TRUE(Ikfunc::SetDhParaLen(static_cast<ruko_robot_type>(m.value)));
    const auto p = ruko::kinematicParams();
    EXPECT_FALSE(p->k_series_robot);
    EXPECT_EQ(p->robot_type, ruko_m05);
    expectLengths(*p, kM05);
    expectDhVectorRow(*p, kM05);
    // Selecting an analytic model again restores the flag.
    ASSERT_TRUE(Ikfunc::SetDhParaLen(ruko_m02));
    EXPECT_TRUE(ruko::kinematicParams()->k_series_robot);
  }
}

TEST_F(KinematicStoreTest, ByNameSetUpChangesNothing) {
  const auto before = ruko::kinematicParams();
  for (const auto& m : kModels) {
    EXPECT_TRUE(Ikfunc::SetRobotType(RUKO_ROBOT_NAME.at(m.value), ""));
  }
  EXPECT_EQ(ruko::kinematicParams(), before);
}

TEST_F(KinematicStoreTest, UnknownModelValuesAreRefusedAndChangeNothing) {
  ASSERT_TRUE(Ikfunc::SetDhParaLen(ruko_m05));
  const auto before = ruko::kinematicParams();
  const int unknown[] = {-1, 13, 19, ruko_robot_type_num, 500, 504, 900, 903, 100000};
  for (int value : unknown) {
    SCOPED_TRACE(value);
    log_.clear();
    EXPECT_FALSE(Ikfunc::SetDhParaLen(static_cast<ruko_robot_type>(value)));
    EXPECT_FALSE(Ikfunc::setDhParameters(static_cast<ruko_robot_type>(value), 1, 1, 1, 1, 1, 1));
    RobotUtilService::setRobotDhParam(value, pub::RobotDhPara{1, 1, 1, 1, 1, 1, {}, {}, {}, {}});
    EXPECT_EQ(ruko::kinematicParams(), before);  // nothing was published
    EXPECT_EQ(log_.count("set robot failed, robot name: ", LL_WARN), 3);
    EXPECT_EQ(log_.count("set robot successfully", -1), 0);
  }
}

TEST_F(KinematicStoreTest, GetDhParaReportsD2RelativeToD4OnRequest) {
  ASSERT_TRUE(Ikfunc::SetDhParaLen(ruko_m01));
  double a2, a3, d1, d2, d5, d6, d4 = 0;
  getDhPara(a2, a3, d1, d2, d5, d6, &d4);
  EXPECT_DOUBLE_EQ(d2, 0.1405);
  EXPECT_EQ(d4, -0.019);
  getDhPara(a2, a3, d1, d2, d5, d6, nullptr);
  EXPECT_EQ(d2, 0.1215);
  EXPECT_EQ(a2, 0.408);
  EXPECT_EQ(d6, 0.094);
}

TEST_F(KinematicStoreTest, ModifyDhParaLenMovesD2WithD4) {
  ASSERT_TRUE(Ikfunc::SetDhParaLen(ruko_m01));
  const float da[6] = {9, 9, 0.5f, 0.25f, 9, 9};
  const float dd[6] = {0.125f, 0.0625f, 9, 0.03125f, 1, 2};
  modifyDhParaLen(da, dd);
  const auto p = ruko::kinematicParams();
  EXPECT_EQ(p->a2, 0.408 + 0.5);
  EXPECT_EQ(p->a3, 0.376 + 0.25);
  EXPECT_EQ(p->d1, 0.0985 + 0.125);
  EXPECT_EQ(p->d2, 0.1215 + (0.0625 + 0.03125));
  EXPECT_EQ(p->d4, -0.019 + 0.03125);
  EXPECT_EQ(p->d5, 0.1025 + 1);
  EXPECT_EQ(p->d6, 0.094 + 2);
}

// Reported lengths replace the row's up to the single-precision rounding of each
// difference; the chain FK's table keeps the nominal row.
TEST_F(KinematicStoreTest, SetDhParametersOverridesEveryAnalyticModel) {
  for (const auto& m : kModels) {
    if (!m.analytic) continue;
    SCOPED_TRACE(m.name);
    const Lengths& r = m.row;
    const double reported[6] = {r.a2 + 0.0013, r.a3 - 0.0021, r.d1 + 0.0007,
                                r.d2 - 0.0011, r.d5 + 0.0003, r.d6 + 0.0101};
    ASSERT_TRUE(Ikfunc::setDhParameters(static_cast<ruko_robot_type>(m.value), reported[0], reported[1], reported[2],
                                        reported[3], reported[4], reported[5]));
    const auto p = ruko::kinematicParams();
    const double nominal[6] = {r.a2, r.a3, r.d1, r.d2, r.d5, r.d6};
    const double stored[6] = {p->a2, p->a3, p->d1, p->d2, p->d5, p->d6};
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(stored[i], nominal[i] + static_cast<double>(static_cast<float>(reported[i] - nominal[i]))) << i;
    }
    EXPECT_EQ(p->d4, r.d4);
    EXPECT_EQ(p->robot_type, m.value);
    expectDhVectorRow(*p, r);
  }
}

TEST_F(KinematicStoreTest, SetDhParametersWithRowValuesKeepsTheRowExactly) {
  ASSERT_TRUE(Ikfunc::setDhParameters(ruko_m05, 0.266, 0.2565, 0.157, 0.119, 0.1025, 0.094));
  expectLengths(*ruko::kinematicParams(), kM05);
}

TEST_F(KinematicStoreTest, SetDhParametersRoundsTheDifferenceToSinglePrecision) {
  ASSERT_TRUE(Ikfunc::setDhParameters(ruko_m05, 0.266, 0.2565, 0.157, 0.12, 0.1025, 0.094));
  const double d2 = ruko::kinematicParams()->d2;
  EXPECT_EQ(d2, 0.119 + static_cast<double>(static_cast<float>(0.12 - 0.119)));
  EXPECT_NE(d2, 0.12);
  EXPECT_NEAR(d2, 0.12, 1e-10);
}

TEST_F(KinematicStoreTest, RobotDhParamUsesOnlyTheSixLengths) {
  pub::RobotDhPara dh{};
  dh.A3 = 0.266;
  dh.A4 = 0.2565;
  dh.D1 = 0.157;
  dh.D2 = 0.119;
  dh.D5 = 0.1025;
  dh.D6 = 0.094;
  for (int i = 0; i < 6; ++i) dh.alpha[i] = dh.a[i] = dh.d[i] = dh.theta[i] = 123.0;
  RobotUtilService::setRobotDhParam(ruko_m05, dh);
  const auto p = ruko::kinematicParams();
  expectLengths(*p, kM05);
  expectDhVectorRow(*p, kM05);
}

TEST_F(KinematicStoreTest, NonFiniteLengthsAreRefusedAndChangeNothing) {
  ASSERT_TRUE(Ikfunc::SetDhParaLen(ruko_m02));
  const auto before = ruko::kinematicParams();
  for (int field = 0; field < 6; ++field) {
    for (double bad : {kNaN, kInf, -kInf, 1e300 /* overflows single precision */}) {
      SCOPED_TRACE(testing::Message() << "field " << field << " value " << bad);
      double v[6] = {0.266, 0.2565, 0.157, 0.119, 0.1025, 0.094};
      v[field] = bad;
      log_.clear();
      EXPECT_FALSE(Ikfunc::setDhParameters(ruko_m05, v[0], v[1], v[2], v[3], v[4], v[5]));
      EXPECT_EQ(ruko::kinematicParams(), before);
      EXPECT_EQ(log_.count("Ikfunc::setDhParameters refused non-finite lengths", LL_ERROR), 1);
      EXPECT_EQ(log_.count("set robot successfully"), 0);
    }
  }
  setDhParaLen(ruko_m05, 0.1, 0.1, kNaN, 0.1, 0.1, 0.1, 0);
  const float hugeDelta[6] = {0, 0, std::numeric_limits<float>::infinity(), 0, 0, 0};
  const float zero[6] = {};
  modifyDhParaLen(hugeDelta, zero);
  EXPECT_EQ(ruko::kinematicParams(), before);
}

// ---- Calibration deltas ----------------------------------------------------------------

namespace {

using KinematicsBlock = pub::RobotKinematicsParameters;

KinematicsBlock block(double da, double dd, double dalpha, double dtheta, double dbeta) {
  KinematicsBlock b{};
  for (int i = 0; i < 6; ++i) {
    b.da[i] = da * (i + 1);
    b.dd[i] = dd * (i + 1);
    b.dalpha[i] = dalpha * (i + 1);
    b.dtheta[i] = dtheta * (i + 1);
    b.dbeta[i] = dbeta * (i + 1);
    b.dratio[i] = 777;
  }
  return b;
}

}  // namespace

TEST_F(KinematicStoreTest, CalibrationUnitsFollowTheVersionCode) {
  const double degree = kPi / 180;
  const struct {
    int versionCode;
    KinematicsBlock in;
    // Expected first-joint values (each joint i scales by i + 1 before conversion).
    double dA, dD, dAlpha, dTheta, dBeta;
  } cases[] = {
      // Up to 4.5.0: micrometres and 1e-4 degrees.
      {0, block(1000, -500, 10000, 20000, -5000), 0.001, -0.0005, degree, 2 * degree, -0.5 * degree},
      {4005000, block(1000, -500, 10000, 20000, -5000), 0.001, -0.0005, degree, 2 * degree, -0.5 * degree},
      // Later: metres and radians as they are.
      {4005001, block(0.001, -0.0005, 0.01, 0.02, -0.005), 0.001, -0.0005, 0.01, 0.02, -0.005},
      {5000000, block(0.001, -0.0005, 0.01, 0.02, -0.005), 0.001, -0.0005, 0.01, 0.02, -0.005},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.versionCode);
    log_.clear();
    ASSERT_EQ(RobotUtilService::setRobotSystemCalibParam(c.in, c.versionCode), pub::ErrnoSucc);
    const auto p = ruko::kinematicParams();
    EXPECT_TRUE(p->dh_real);
    const RobotSystemParamCalib_S& k = p->RobotSystemParamCalib;
    for (int i = 0; i < 6; ++i) {
      // Integer inputs scale exactly; the conversions round once to single precision
      // (tolerance: two single-precision steps of the value).
      const double n = i + 1;
      EXPECT_NEAR(k.dA[i], n * c.dA, 2e-7 * std::fabs(n * c.dA)) << i;
      EXPECT_NEAR(k.dD[i], n * c.dD, 2e-7 * std::fabs(n * c.dD)) << i;
      EXPECT_NEAR(k.dAlpha[i], n * c.dAlpha, 2e-7 * std::fabs(n * c.dAlpha)) << i;
      EXPECT_NEAR(k.dTheta[i], n * c.dTheta, 2e-7 * std::fabs(n * c.dTheta)) << i;
      EXPECT_NEAR(k.dBeta[i], n * c.dBeta, 2e-7 * std::fabs(n * c.dBeta)) << i;
    }
    EXPECT_EQ(log_.count("", LL_INFO), 7);
    EXPECT_TRUE(log_.contains("--------------kinematicsParam--------------------"));
    EXPECT_TRUE(log_.contains("dA=0.001000,0.002000,0.003000,0.004000,0.005000,0.006000"));
    EXPECT_TRUE(log_.contains("dD=-0.000500,-0.001000,"));
    EXPECT_TRUE(log_.contains("dBeta="));
    EXPECT_TRUE(log_.contains("-------------------------------------------------"));
  }
}

TEST_F(KinematicStoreTest, CalibrationAtTheBoundaryUsesTheLegacyUnitsExactly) {
  KinematicsBlock b{};
  b.da[0] = 1000;
  b.dalpha[0] = 10000;
  ASSERT_EQ(RobotUtilService::setRobotSystemCalibParam(b, 4005000), pub::ErrnoSucc);
  const RobotSystemParamCalib_S& k = ruko::kinematicParams()->RobotSystemParamCalib;
  EXPECT_EQ(k.dA[0], static_cast<float>(0.001));
  EXPECT_EQ(k.dAlpha[0], static_cast<float>(kPi / 180));
}

TEST_F(KinematicStoreTest, CalibrationDefaultsToTheServerVersionCode) {
  KinematicsBlock b{};
  b.da[0] = 1000;
  ruko::setServerVersionCode(4005000);
  RobotUtilService::setRobotSystemCalibParam(b);
  EXPECT_EQ(ruko::kinematicParams()->RobotSystemParamCalib.dA[0], static_cast<float>(0.001));
  ruko::setServerVersionCode(4005001);
  RobotUtilService::setRobotSystemCalibParam(b);
  EXPECT_EQ(ruko::kinematicParams()->RobotSystemParamCalib.dA[0], 1000.0f);
  ruko::setServerVersionCode(0);
}

TEST_F(KinematicStoreTest, AllZeroCalibrationStillSwitchesToTheCalibratedChain) {
  ASSERT_FALSE(ruko::kinematicParams()->dh_real);
  EXPECT_EQ(RobotUtilService::setRobotSystemCalibParam(KinematicsBlock{}, 4005001), 0);
  EXPECT_TRUE(ruko::kinematicParams()->dh_real);
}

TEST_F(KinematicStoreTest, NonFiniteCalibrationIsRefusedAndChangesNothing) {
  const auto before = ruko::kinematicParams();
  const struct {
    int versionCode;
    double KinematicsBlock::*array;
    double value;
  } cases[] = {
      {4005001, nullptr, kNaN}, {4005001, nullptr, kInf},  {4005001, nullptr, 1e300},
      {4005000, nullptr, kNaN}, {4005000, nullptr, -kInf},
  };
  double(KinematicsBlock::*const arrays[])[6] = {&KinematicsBlock::da, &KinematicsBlock::dd, &KinematicsBlock::dalpha,
                                                 &KinematicsBlock::dtheta, &KinematicsBlock::dbeta};
  for (const auto& c : cases) {
    for (auto array : arrays) {
      KinematicsBlock b{};
      (b.*array)[3] = c.value;
      log_.clear();
      EXPECT_EQ(RobotUtilService::setRobotSystemCalibParam(b, c.versionCode), pub::ErrCode_ParamError);
      EXPECT_EQ(ruko::kinematicParams(), before);
      EXPECT_EQ(log_.count("", LL_ERROR), 1);
      EXPECT_EQ(log_.count("", LL_INFO), 0);
    }
  }
}

TEST_F(KinematicStoreTest, RotationFlagsAreStoredAndLogged) {
  const struct {
    int (*set)(bool);
    bool (*get)();
    bool enable;
    const char* line;
  } cases[] = {
      {RobotUtilService::setJoint6Rot360, Ikfunc::joint6Rot360, true, "sdk log: enable joint6 360."},
      {RobotUtilService::setJoint6Rot360, Ikfunc::joint6Rot360, false, "sdk log: disable joint6 360."},
      {RobotUtilService::setJoint1Rot360, Ikfunc::joint1Rot360, true, "sdk log: enable joint1 360."},
      {RobotUtilService::setJoint1Rot360, Ikfunc::joint1Rot360, false, "sdk log: disenable joint1 360."},
  };
  for (const auto& c : cases) {
    log_.clear();
    EXPECT_EQ(c.set(c.enable), 0);
    EXPECT_EQ(c.get(), c.enable);
    const auto lines = log_.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].level, LL_INFO);
    EXPECT_EQ(lines[0].text, c.line);
  }
}
