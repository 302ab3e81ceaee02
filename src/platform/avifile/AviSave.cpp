#include "platform/avifile/AviSave.h"

HRESULT AVISaveVA(const char*, const void*, AVISAVECALLBACK, int, PAVISTREAM*,
                  AVICOMPRESSOPTIONS**) {
  return AVIERR_UNSUPPORTED;
}
