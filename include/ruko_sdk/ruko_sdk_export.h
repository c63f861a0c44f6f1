#ifndef RUKO_SDK_EXPORT_H
#define RUKO_SDK_EXPORT_H

// The library is built with hidden visibility; this marks what leaves libruko_sdk_d.so.2.
#if defined(__GNUC__) || defined(__clang__)
#define RUKO_SDK_API __attribute__((visibility("default")))
#else
#define RUKO_SDK_API
#endif

#endif
