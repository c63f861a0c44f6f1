// Records converted row by row from a field table: each record field travels in the message field of its own name
// (the generated accessors are the lower-cased field names), in every direction the codec converts it. A round trip
// through one table cannot see two rows that point at each other's message field; reading the message by name can.
#include <google/protobuf/descriptor.h>
#include <google/protobuf/message.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "codec/field_tables.h"
#include "codec/protoencodedecode.h"
#include "codec_body.h"

namespace {

namespace comm = ruko::robot::communication;
namespace common = ruko::robot::common;
namespace pbparam = ruko::robot::paramerter;
namespace rrn = ruko_robot_namespace;
using google::protobuf::FieldDescriptor;
using google::protobuf::Message;
using P = ProtoEncodeDecode;
using ruko::test::Body;

// A table row seen from the record only: the field's name, its length (0 for a scalar) and its elements as doubles;
// set() narrows to the field's type. The message side is found by name, never through the table's second column.
template <class Record>
struct Row {
  const char* name;
  int length;
  void (*set)(Record&, int, double);
  double (*get)(const Record&, int);
};
template <class Record>
using Rows = std::vector<Row<Record>>;

#define SCALAR_ROW(field, accessor)                                                       \
  {#field, 0, [](Rec& r, int, double v) { r.field = static_cast<decltype(r.field)>(v); }, \
   [](const Rec& r, int) { return static_cast<double>(r.field); }},
#define LIST_ROW(field, accessor)                                                                            \
  {#field, static_cast<int>(std::extent<decltype(Rec::field)>::value),                                       \
   [](Rec& r, int i, double v) { r.field[i] = static_cast<std::remove_extent_t<decltype(Rec::field)>>(v); }, \
   [](const Rec& r, int i) { return static_cast<double>(r.field[i]); }},

// The value a row's element i is given: distinct per element, small enough for every field's width, and 1 in a bool.
double valueFor(int i) {
  return 7 + i;
}

const FieldDescriptor* namesake(const Message& message, const char* recordField) {
  std::string lower(recordField);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return message.GetDescriptor()->FindFieldByLowercaseName(lower);
}

double readField(const Message& m, const FieldDescriptor* f, int i) {
  const auto* r = m.GetReflection();
  const bool list = f->is_repeated();
  switch (f->cpp_type()) {
    case FieldDescriptor::CPPTYPE_INT32:
      return list ? r->GetRepeatedInt32(m, f, i) : r->GetInt32(m, f);
    case FieldDescriptor::CPPTYPE_INT64:
      return static_cast<double>(list ? r->GetRepeatedInt64(m, f, i) : r->GetInt64(m, f));
    case FieldDescriptor::CPPTYPE_UINT32:
      return list ? r->GetRepeatedUInt32(m, f, i) : r->GetUInt32(m, f);
    case FieldDescriptor::CPPTYPE_UINT64:
      return static_cast<double>(list ? r->GetRepeatedUInt64(m, f, i) : r->GetUInt64(m, f));
    case FieldDescriptor::CPPTYPE_DOUBLE:
      return list ? r->GetRepeatedDouble(m, f, i) : r->GetDouble(m, f);
    case FieldDescriptor::CPPTYPE_FLOAT:
      return list ? r->GetRepeatedFloat(m, f, i) : r->GetFloat(m, f);
    case FieldDescriptor::CPPTYPE_BOOL:
      return list ? r->GetRepeatedBool(m, f, i) : r->GetBool(m, f);
    default:
      ADD_FAILURE() << f->name() << " is no number";
      return 0;
  }
}

void writeField(Message& m, const FieldDescriptor* f, int i, double v) {
  const auto* r = m.GetReflection();
  const bool list = f->is_repeated();
  switch (f->cpp_type()) {
    case FieldDescriptor::CPPTYPE_INT32:
      list ? r->SetRepeatedInt32(&m, f, i, static_cast<int32_t>(v)) : r->SetInt32(&m, f, static_cast<int32_t>(v));
      break;
    case FieldDescriptor::CPPTYPE_INT64:
      list ? r->SetRepeatedInt64(&m, f, i, static_cast<int64_t>(v)) : r->SetInt64(&m, f, static_cast<int64_t>(v));
      break;
    case FieldDescriptor::CPPTYPE_UINT32:
      list ? r->SetRepeatedUInt32(&m, f, i, static_cast<uint32_t>(v)) : r->SetUInt32(&m, f, static_cast<uint32_t>(v));
      break;
    case FieldDescriptor::CPPTYPE_UINT64:
      list ? r->SetRepeatedUInt64(&m, f, i, static_cast<uint64_t>(v)) : r->SetUInt64(&m, f, static_cast<uint64_t>(v));
      break;
    case FieldDescriptor::CPPTYPE_DOUBLE:
      list ? r->SetRepeatedDouble(&m, f, i, v) : r->SetDouble(&m, f, v);
      break;
    case FieldDescriptor::CPPTYPE_FLOAT:
      list ? r->SetRepeatedFloat(&m, f, i, static_cast<float>(v)) : r->SetFloat(&m, f, static_cast<float>(v));
      break;
    case FieldDescriptor::CPPTYPE_BOOL:
      list ? r->SetRepeatedBool(&m, f, i, v != 0) : r->SetBool(&m, f, v != 0);
      break;
    default:
      ADD_FAILURE() << f->name() << " is no number";
  }
}

int elements(const Message& m, const FieldDescriptor* f) {
  return f->is_repeated() ? m.GetReflection()->FieldSize(m, f) : 1;
}

// Each row in turn is the only one set, so whatever message field it lands in, only its namesake may hold it.
// toMessage or toRecord may be empty where the codec converts one way only; the message a zero record converts to
// (or an empty one) is the starting point on the way back, so every list has its length.
template <class Rec, class Msg>
void expectNamesakes(const Rows<Rec>& rows, const std::function<bool(const Rec&, Msg&)>& toMessage,
                     const std::function<bool(const Msg&, Rec&)>& toRecord) {
  Msg blank;
  if (toMessage) {
    ASSERT_TRUE(toMessage(Rec{}, blank));
  }
  for (const Row<Rec>& row : rows) {
    SCOPED_TRACE(row.name);
    const FieldDescriptor* field = namesake(blank, row.name);
    ASSERT_NE(field, nullptr) << "no message field of that name";
    ASSERT_EQ(field->is_repeated(), row.length > 0);
    const int n = std::max(row.length, 1);
    Rec sent{};
    for (int i = 0; i < n; ++i) row.set(sent, i, valueFor(i));

    if (toMessage) {
      Msg message;
      ASSERT_TRUE(toMessage(sent, message));
      ASSERT_EQ(elements(message, field), n);
      for (int i = 0; i < n; ++i) EXPECT_EQ(readField(message, field, i), row.get(sent, i)) << "to message, " << i;
    }
    if (toRecord) {
      Msg message = blank;
      ASSERT_EQ(elements(message, field), n);
      for (int i = 0; i < n; ++i) writeField(message, field, i, valueFor(i));
      Rec back{};
      ASSERT_TRUE(toRecord(message, back));
      for (int i = 0; i < n; ++i) EXPECT_EQ(row.get(back, i), row.get(sent, i)) << "to record, " << i;
    }
  }
}

// Picks one overload of a conversion named the same both ways.
template <class Rec, class Msg>
using ToMessage = bool (*)(const Rec&, Msg&);
template <class Rec, class Msg>
using ToRecord = bool (*)(const Msg&, Rec&);

TEST(CodecFieldTables, EachRecordFieldTravelsInTheMessageFieldOfItsOwnName) {
  {
    SCOPED_TRACE("joint status");
    using Rec = rrn::JointStatus;
    using Msg = common::ProtoJointStatus;
    expectNamesakes<Rec, Msg>({RUKO_JOINT_STATUS_FIELDS(SCALAR_ROW)},
                              ToMessage<Rec, Msg>(&P::jointStatusTypeConversion),
                              ToRecord<Rec, Msg>(&P::jointStatusTypeConversion));
  }
  {
    SCOPED_TRACE("diagnosis");
    using Rec = rrn::RobotDiagnosis;
    using Msg = comm::RobotDiagnosis;
    expectNamesakes<Rec, Msg>({RUKO_DIAGNOSIS_FIELDS(SCALAR_ROW)}, &P::robotDiagnosisTypeConversionToProto,
                              &P::robotDiagnosisTypeConversionToStruct);
  }
  {
    SCOPED_TRACE("joint drive data");
    using Rec = rrn::JointCommonData;
    using Msg = comm::ProtoJointCommonData;
    expectNamesakes<Rec, Msg>({RUKO_JOINT_COMMON_DATA_FIELDS(SCALAR_ROW)}, nullptr,
                              &P::ProtoJointCommonDataToRobotStruct);
  }
  {
    SCOPED_TRACE("safety configuration");
    using Rec = rrn::RobotSafetyConfig;
    using Msg = common::ProtoRobotSafetyConfig;
    expectNamesakes<Rec, Msg>({RUKO_SAFETY_CONFIG_SCALARS(SCALAR_ROW)},
                              ToMessage<Rec, Msg>(&P::RobotSafetyConfigTypeConversion),
                              ToRecord<Rec, Msg>(&P::RobotSafetyConfigTypeConversion));
  }
  {
    SCOPED_TRACE("safety status");
    using Rec = rrn::OrpeSafetyStatus;
    using Msg = common::ProtoOrpeSafetyStatus;
    expectNamesakes<Rec, Msg>({RUKO_ORPE_SAFETY_SCALARS(SCALAR_ROW)},
                              ToMessage<Rec, Msg>(&P::OrpeSafetyStatusTypeConversion),
                              ToRecord<Rec, Msg>(&P::OrpeSafetyStatusTypeConversion));
  }
  {
    SCOPED_TRACE("joint offset request");
    using Rec = rrn::RobotJointOffset;
    using Msg = common::RobotJointOffset;
    expectNamesakes<Rec, Msg>(
        {RUKO_JOINT_OFFSET_FIELDS(SCALAR_ROW)},
        [](const Rec& r, Msg& m) {
          Body body;
          return P::getRequest_robotRobotJointOffsetData(&body.data, &body.size, r) &&
                 m.ParseFromArray(body.data, body.size);
        },
        nullptr);
  }
  {
    SCOPED_TRACE("tool inertia");
    using Rec = rrn::ToolInertia;
    using Msg = common::ToolInertia;
    // Carried inside the tool dynamics: the request is a whole tool parameter reply, and reads back as one.
    auto request = [](const Rec& r, common::ToolParam& toolParam) {
      rrn::ToolDynamicsParam dynamics{};
      dynamics.toolInertia = r;
      Body body;
      return P::getRequest_setToolDynamicsParam(&body.data, &body.size, dynamics) &&
             toolParam.ParseFromArray(body.data, body.size);
    };
    expectNamesakes<Rec, Msg>(
        {RUKO_TOOL_INERTIA_FIELDS(SCALAR_ROW)},
        [&](const Rec& r, Msg& m) {
          common::ToolParam toolParam;
          if (!request(r, toolParam) || toolParam.tooldynamicsparam_size() != 1) return false;
          m = toolParam.tooldynamicsparam(0).toolinertia();
          return true;
        },
        [&](const Msg& m, Rec& r) {
          common::ToolParam toolParam;
          if (!request(Rec{}, toolParam) || toolParam.tooldynamicsparam_size() != 1) return false;
          *toolParam.mutable_tooldynamicsparam(0)->mutable_toolinertia() = m;
          const std::string bytes = toolParam.SerializeAsString();
          rrn::ToolDynamicsParam dynamics{};
          int errorCode = -1;
          if (!P::resolveResponse_getToolDynamicsParam(bytes.data(), static_cast<int>(bytes.size()), dynamics,
                                                       errorCode)) {
            return false;
          }
          r = dynamics.toolInertia;
          return errorCode == 0;
        });
  }
  {
    SCOPED_TRACE("robot information");
    using Rec = rrn::RobotInfo;
    using Msg = pbparam::ProtoRobotInfo;
    expectNamesakes<Rec, Msg>({RUKO_ROBOT_INFO_SCALARS(SCALAR_ROW)}, &P::RobotInfo_RukoToProto,
                              &P::RobotInfo_ProtoToRuko);
  }
  {
    SCOPED_TRACE("dynamics");
    using Rec = rrn::RobotDynamicsParameters;
    using Msg = pbparam::ProtoRobotDynamicsParameter;
    expectNamesakes<Rec, Msg>({RUKO_DYNAMICS_LISTS(LIST_ROW)}, &P::RobotDynamicsParameters_RukoToProto,
                              &P::RobotDynamicsParameters_ProtoToRuko);
  }
  {
    SCOPED_TRACE("hand guiding");
    using Rec = rrn::RobotHandguidingParameters;
    using Msg = pbparam::ProtoRobotHandguidingParameter;
    expectNamesakes<Rec, Msg>({RUKO_HANDGUIDING_LISTS(LIST_ROW)}, &P::RobotHandguidingParameter_RukoToProto,
                              &P::RobotHandguidingParameter_ProtoToRuko);
  }
  {
    SCOPED_TRACE("kinematics");
    using Rec = rrn::RobotKinematicsParameters;
    using Msg = pbparam::ProtoRobotKinematicsParameter;
    expectNamesakes<Rec, Msg>({RUKO_KINEMATICS_LISTS(LIST_ROW)}, &P::RobotKinematicsParameter_RukoToProto,
                              &P::RobotKinematicsParameter_ProtoToRuko);
  }
  {
    SCOPED_TRACE("kinematics, legacy form");
    using Rec = rrn::RobotKinematicsParameters;
    using Msg = pbparam::ProtoRobotKinematicsParameter_legacy;
    expectNamesakes<Rec, Msg>({RUKO_KINEMATICS_LISTS(LIST_ROW)}, &P::RobotKinematicsParameter_RukoToProto_Legacy,
                              &P::RobotKinematicsParameter_ProtoToRuko_Legacy);
  }
  {
    SCOPED_TRACE("friction");
    using Rec = rrn::RobotFrictionParameters;
    using Msg = pbparam::ProtoRobotFrictionParameter;
    expectNamesakes<Rec, Msg>({RUKO_FRICTION_LISTS(LIST_ROW)}, &P::RobotFrictionParameter_RukoToProto,
                              &P::RobotFrictionParameter_ProtoToRuko);
  }
}

#undef SCALAR_ROW
#undef LIST_ROW

}  // namespace
