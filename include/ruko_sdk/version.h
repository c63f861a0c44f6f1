#ifndef RUKO_SDK_VERSION_H
#define RUKO_SDK_VERSION_H

#include "ruko_sdk/ruko_sdk_export.h"

/** The library's version, "major.minor.patch" (the soname carries the major number). */
RUKO_SDK_API const char* ruko_sdk_version();

#endif
