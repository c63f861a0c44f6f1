// The facade's signatures are part of the library's ABI: an application compiled against one release
// must link against the next. Every method is taken here by address with its exact type, so a drifting
// parameter, result, overload set or static-ness fails the build. Nothing here runs.
#include <string>
#include <type_traits>
#include <vector>

#include "ruko_sdk/serviceinterface.h"

namespace {

using namespace ruko_robot_namespace;
using SI = ServiceInterface;

// Accepts only a pointer of exactly type T: function pointers do not convert into each other, and an
// overloaded name resolves to the one overload of that type or to nothing. The check is the conversion
// of the argument; the pointer's value is never looked at (comparing a function's address is no
// constant expression under the sanitizers).
template <typename T>
constexpr bool exact(T) {
  return true;
}

// ---- Class shape: one opaque pointer, neither copied nor moved ---------------------------------------

static_assert(sizeof(SI) == sizeof(void*), "the public class holds one pointer and nothing else");
static_assert(std::is_default_constructible_v<SI>);
static_assert(!std::is_copy_constructible_v<SI> && !std::is_copy_assignable_v<SI>);
static_assert(!std::is_move_constructible_v<SI> && !std::is_move_assignable_v<SI>);
static_assert(!std::is_polymorphic_v<SI>, "no vtable: adding a virtual later would change the layout");

// ---- Log output and error text -------------------------------------------------------------------------

static_assert(exact<int (SI::*)(RobotLogPrintCallback, void*)>(&SI::robotServiceRegisterLogPrintCallback));
static_assert(exact<std::string (*)(RobotErrorCode)>(&SI::getErrDescByCode));

// ---- Record initialisers -------------------------------------------------------------------------------

static_assert(exact<void (*)(Pos&)>(&SI::initPosDataType));
static_assert(exact<void (*)(Ori&)>(&SI::initOriDataType));
static_assert(exact<void (*)(MoveRelative&)>(&SI::initMoveRelativeDataType));
static_assert(exact<void (*)(wayPoint_S&)>(&SI::initWayPointDataType));
static_assert(exact<void (*)(ToolInEndDesc&)>(&SI::initToolInEndDescDataType));
static_assert(exact<void (*)(CoordCalibrateByJointAngleAndTool&)>(&SI::initCoordCalibrateByJointAngleAndToolDataType));
static_assert(exact<void (*)(ToolInertia&)>(&SI::initToolInertiaDataType));
static_assert(exact<void (*)(ToolDynamicsParam&)>(&SI::initToolDynamicsParamDataType));

// ---- Kinematics and rotations --------------------------------------------------------------------------

static_assert(exact<int (*)(const double*, int, wayPoint_S&)>(&SI::robotServiceRobotFk));
static_assert(exact<int (*)(const double*, const Pos&, const Ori&, wayPoint_S&)>(&SI::robotServiceRobotIk));
static_assert(exact<int (*)(const Pos&, const Ori&, std::vector<wayPoint_S>&)>(&SI::robotServiceRobotIk));
static_assert(exact<int (*)(const Ori&, Rpy&)>(&SI::quaternionToRPY));
static_assert(exact<int (*)(const Rpy&, Ori&)>(&SI::RPYToQuaternion));
static_assert(exact<int (*)(double*, Ori&)>(&SI::robotServiceOriMatrixToQuaternion));

// ---- Frame conversions ---------------------------------------------------------------------------------

static_assert(exact<int (*)(const Pos&, const Ori&, const CoordCalibrateByJointAngleAndTool&, const ToolInEndDesc&,
                            Pos&, Ori&)>(&SI::baseToUserCoordinate));
static_assert(exact<int (*)(const Pos&, const Ori&, const ToolInEndDesc&, Pos&, Ori&)>(&SI::baseToBaseAdditionalTool));
static_assert(exact<int (*)(const Pos&, const Ori&, const CoordCalibrateByJointAngleAndTool&, const ToolInEndDesc&,
                            Pos&, Ori&)>(&SI::userToBaseCoordinate));
static_assert(exact<int (*)(const Pos&, const CoordCalibrateByJointAngleAndTool&, Pos&)>(&SI::userCoordPointToBasePoint));
static_assert(exact<int (*)(Ori&, const Ori&, Ori&)>(&SI::endOrientation2ToolOrientation));
static_assert(exact<int (*)(Ori&, const Ori&, Ori&)>(&SI::toolOrientation2EndOrientation));

// ---- Text and filter helpers ---------------------------------------------------------------------------

static_assert(exact<std::string (*)(std::string)>(&SI::trim));
static_assert(exact<std::string (*)(const std::string&)>(&SI::removeSurplusSpaces));
static_assert(exact<bool (*)(std::string&, Pos&, Rpy&)>(&SI::StringToPositionAndRpy));
static_assert(exact<void (*)(double, double, double, double*)>(&SI::iir_low_filter_Init));
static_assert(exact<void (*)(double*, double*, double*, int)>(&SI::iir_low_filter_run));

}  // namespace
