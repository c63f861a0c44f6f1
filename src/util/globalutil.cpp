#include "util/globalutil.h"

#include <sys/select.h>

#include <cstdlib>
#include <sstream>

#include "util/log.h"

namespace {
constexpr double kPi = 3.141592653589793;
constexpr int kPositionAndRpyValueCount = 6;
}  // namespace

std::string commonUtil::trim(std::string s) {
  const std::string::size_type first = s.find_first_not_of(' ');
  if (first == std::string::npos) {
    return std::string();
  }
  const std::string::size_type last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

std::string commonUtil::removeSurplusSpaces(const std::string& s) {
  const std::string trimmed = trim(s);
  std::string result;
  result.reserve(trimmed.size());
  for (std::string::size_type i = 0; i < trimmed.size(); ++i) {
    // Trimmed text never ends in a space, so a space always has a successor.
    if (trimmed[i] == ' ' && trimmed[i + 1] == ' ') {
      continue;
    }
    result.push_back(trimmed[i]);
  }
  return result;
}

std::vector<double> commonUtil::splitToDoubles(const std::string& text, char splitSymbol) {
  std::vector<double> values;
  std::istringstream stream(text);
  std::string field;
  while (std::getline(stream, field, splitSymbol)) {
    values.push_back(std::atof(field.c_str()));
  }
  return values;
}

void commonUtil::mmDegToPositionAndRpy(const double* values, ruko_robot_namespace::Pos& position,
                                       ruko_robot_namespace::Rpy& rpy) {
  position.x = values[0] / 1000;
  position.y = values[1] / 1000;
  position.z = values[2] / 1000;
  // Dividing by 180 before multiplying by pi keeps results identical to the
  // controller's own conversion of the same files.
  rpy.rx = values[3] / 180 * kPi;
  rpy.ry = values[4] / 180 * kPi;
  rpy.rz = values[5] / 180 * kPi;
}

bool commonUtil::StringToPositionAndRpy(const std::string& text, ruko_robot_namespace::Pos& position,
                                        ruko_robot_namespace::Rpy& rpy) {
  const std::vector<double> values = splitToDoubles(text, ' ');
  if (values.size() < kPositionAndRpyValueCount) {
    return false;
  }
  mmDegToPositionAndRpy(values.data(), position, rpy);
  return true;
}

void commonUtil::iir_low_filter_Init(double F0, double Fs, double Ly, double* Coe) {
  if (Coe == nullptr) {
    ruko::logPrint(LL_ERROR, "sdk log: iir_low_filter_Init: coefficient buffer is NULL.");
    return;
  }
  // The mix of single and double precision below is part of the filter's contract: a filtered
  // trajectory must reproduce bit for bit, so the single-precision steps stay exactly as they are.
  const float w = static_cast<float>(2 * kPi * F0 / Fs);
  const float b = w * w;
  const float c = static_cast<float>(static_cast<double>(b) + (4 + w * (4 * Ly)));
  Coe[0] = static_cast<double>(b / c);
  Coe[1] = 2 * Coe[0];
  Coe[2] = Coe[0];
  Coe[3] = static_cast<double>((2 * b - 8) / c);
  const float w4 = 4 * w;
  Coe[4] = (static_cast<double>(b) + (4 - w4 * Ly)) / static_cast<double>(c);
}

void commonUtil::iir_low_filter_run(double* dat_in, double* dat_o, double* coe, int num) {
  if (dat_in == nullptr || dat_o == nullptr || coe == nullptr) {
    ruko::logPrint(LL_ERROR, "sdk log: iir_low_filter_run: NULL buffer.");
    return;
  }
  if (num < 2) {
    ruko::logPrint(LL_ERROR, "sdk log: iir_low_filter_run needs at least 2 samples, num=%d", num);
    return;
  }
  // The history is kept in locals so that filtering a buffer in place reads the
  // raw samples, not outputs already written over them.
  double x2 = dat_in[0];
  double x1 = dat_in[1];
  double y2 = x2;
  double y1 = x1;
  dat_o[0] = y2;
  dat_o[1] = y1;
  for (int i = 2; i < num; ++i) {
    const double x0 = dat_in[i];
    const double y0 = coe[0] * x0 + coe[1] * x1 + coe[2] * x2 - coe[3] * y1 - coe[4] * y2;
    dat_o[i] = y0;
    x2 = x1;
    x1 = x0;
    y2 = y1;
    y1 = y0;
  }
}

void commonUtil::delay(int seconds, int mSeconds) {
  if (seconds < 0 || mSeconds < 0) {
    ruko::logPrint(LL_ERROR, "sdk log: delay: negative duration, seconds=%d mSeconds=%d", seconds, mSeconds);
    return;
  }
  // Whole seconds are carried out of mSeconds: select() refuses a tv_usec of a second or more and would
  // return at once.
  timeval timeout{};
  timeout.tv_sec = static_cast<time_t>(seconds) + mSeconds / 1000;
  timeout.tv_usec = (mSeconds % 1000) * 1000;
  select(0, nullptr, nullptr, nullptr, &timeout);
}
