#include "platform/avifile/AviSaveOptions.h"

bool AVISaveOptions(QWidget*, unsigned, int, PAVISTREAM*, AVICOMPRESSOPTIONS**) {
  return false;
}

HRESULT AVISaveOptionsFree(int, AVICOMPRESSOPTIONS**) {
  return AVIERR_OK;
}
