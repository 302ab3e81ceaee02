#include "clip/AviStream.h"

HRESULT TAVISTREAM::Scatter(const QString&, int, TScatterCallback, void*) {
  Scattered = true;
  return AVIERR_UNSUPPORTED;
}
