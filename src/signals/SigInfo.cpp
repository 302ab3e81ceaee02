#include "signals/SigInfo.h"

#include <cmath>

#include "textio/FloatText.h"

double AsShownInField(double value) {
  if (!std::isfinite(value)) return value;
  return StrToFloat(FloatToStrF(value, TFloatFormat::General, 7, 0));
}

void TSigInfoRecord::SetFrequency(double hertz) {
  frequency_ = AsShownInField(hertz);
}

void TSigInfoRecord::SetFirstSampleMs(double ms) {
  firstMs_ = AsShownInField(ms);
}
