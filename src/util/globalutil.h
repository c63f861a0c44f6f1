#ifndef RUKO_UTIL_GLOBALUTIL_H
#define RUKO_UTIL_GLOBALUTIL_H

#include <string>
#include <vector>

#include "ruko_sdk/robot_geometry.h"

// Text helpers for track-file lines, the trajectory low-pass filter and a sleep.
// Only the character ' ' counts as a space here: tabs and line ends belong to the text.
class commonUtil {
 public:
  static std::string trim(std::string s);

  // Of each run of spaces, after trimming, exactly one space survives.
  static std::string removeSurplusSpaces(const std::string& s);

  // Splits at every occurrence of splitSymbol and converts each field as atof does
  // (a field without a number gives 0). A separator at the very end opens no field,
  // and an empty text has none.
  static std::vector<double> splitToDoubles(const std::string& text, char splitSymbol);

  // values[0..2] in millimetres, values[3..5] as rx, ry, rz in degrees, into metres and radians.
  static void mmDegToPositionAndRpy(const double* values, ruko_robot_namespace::Pos& position,
                                    ruko_robot_namespace::Rpy& rpy);

  // One line "x y z rx ry rz" (millimetres, degrees), split at ' ' with no trimming of its
  // own; at least six numbers are needed and any after the sixth are ignored. Nothing is
  // logged: its callers report a failing line themselves.
  static bool StringToPositionAndRpy(const std::string& text, ruko_robot_namespace::Pos& position,
                                     ruko_robot_namespace::Rpy& rpy);

  // Second-order low-pass: cut-off F0 (Hz) at sampling rate Fs (Hz), damping ratio Ly.
  // Coe receives 5 coefficients: b0, b1, b2, a1, a2.
  static void iir_low_filter_Init(double F0, double Fs, double Ly, double* Coe);

  // Filters num samples (num >= 2) from dat_in into dat_o; the first two pass unchanged.
  // dat_in and dat_o may be the same buffer.
  static void iir_low_filter_run(double* dat_in, double* dat_o, double* coe, int num);

  // Blocks for seconds s plus mSeconds ms; a signal ends the wait early.
  static void delay(int seconds, int mSeconds);
};

#endif  // RUKO_UTIL_GLOBALUTIL_H
