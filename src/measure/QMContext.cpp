#include "measure/QMContext.h"

#include "measure/MotionDataBase.h"
#include "measure/SheetElement.h"

void RefreshAllHeaders(TMotionDataBase& db) {
  const TObjDefList& objects = db.Objects();
  for (std::size_t i = 0; i < objects.Count(); ++i)
    if (auto* columns = dynamic_cast<TSheetElements*>(objects.Object(i)->Columns()))
      columns->RefreshHeaders();
}
