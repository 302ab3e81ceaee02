// What leaves the Quick Measure window and comes back: the export, the measurement file, and
// the question that keeps unsaved measurements from being lost on close.
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSignalBlocker>

#include "display/ChildForm.h"
#include "measure/FrameList.h"
#include "measure/MeasureFile.h"
#include "measure/MeasureTable.h"
#include "measure/MotionDataBase.h"
#include "measure/MyStringGrid.h"
#include "measure/QMCollector.h"
#include "measure/QMForm.h"
#include "measure/QMObjectsPage.h"
#include "measure/QMReferencePage.h"
#include "measure/QMScalePage.h"
#include "measure/Units.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"

namespace {

const QString kMeasurementSuffix = QStringLiteral(".measure.json");
const QString kMeasurementFilter = QStringLiteral("Measurements (*.measure.json);;All Files (*)");

}  // namespace

void TQMForm::ExportItemClick() {
  dialogs::FileRequest r;
  r.caption = QStringLiteral("Export to File");
  r.directory = exportPath_;
  r.filter = QStringLiteral(" Excel Comma Delimited Text (*.csv)");
  r.defaultSuffix = QStringLiteral("csv");
  const dialogs::FileAnswer a = dialogs::backend().saveFile(this, r);
  if (a.names.isEmpty()) return;
  exportPath_ = QFileInfo(a.names.first()).absolutePath();
  QString error;
  if (!table_->ExportTo(a.names.first(), &error)) dialogs::showError(this, error);
}

QString TQMForm::DefaultMeasurementName() const {
  if (!display_ || display_->FileName.isEmpty())
    return QStringLiteral("untitled") + kMeasurementSuffix;
  const QFileInfo clip(display_->FileName);
  return clip.absoluteDir().filePath(clip.completeBaseName() + kMeasurementSuffix);
}

bool TQMForm::SaveMeasurementsTo(const QString& path) {
  QSaveFile file(path);
  const QByteArray text = WriteMeasurementFile(*db_);
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
    dialogs::showError(
        this, QStringLiteral("Cannot write ") + path + QStringLiteral(": ") + file.errorString());
    return false;
  }
  changed_ = false;
  return true;
}

void TQMForm::SaveMeasurementsItemClick() {
  dialogs::FileRequest r;
  r.caption = QStringLiteral("Save Measurements");
  r.directory = DefaultMeasurementName();
  r.filter = kMeasurementFilter;
  r.defaultSuffix = QStringLiteral("json");
  const dialogs::FileAnswer a = dialogs::backend().saveFile(this, r);
  if (!a.names.isEmpty()) SaveMeasurementsTo(a.names.first());
}

void TQMForm::OpenMeasurementsItemClick() {
  dialogs::FileRequest r;
  r.caption = QStringLiteral("Open Measurements");
  r.directory = DefaultMeasurementName();
  r.filter = kMeasurementFilter;
  const dialogs::FileAnswer a = dialogs::backend().openFiles(this, r, false);
  if (!a.names.isEmpty()) LoadMeasurements(a.names.first());
}

bool TQMForm::LoadMeasurements(const QString& path) {
  TMeasurementFile file;
  try {
    file = ReadMeasurementFile(path);
  } catch (const Exception& e) {
    dialogs::showError(this, e.message());
    return false;
  }
  for (const auto& object : file.objects)
    for (const auto& sample : object.samples)
      if (sample.frame > lastFrame_) {
        dialogs::showError(this, QStringLiteral("%1 holds frame %2; the clip ends at frame %3")
                                     .arg(path)
                                     .arg(sample.frame)
                                     .arg(lastFrame_));
        return false;
      }
  if (db_->Objects().Count() > 1 &&
      dialogs::show(this, QStringLiteral("Replace the measurements in this window?"), windowTitle(),
                    dialogs::Buttons::OKCancel, dialogs::Icon::Question) != dialogs::Answer::OK)
    return false;
  {
    TMyStringGrid::TBulkUpdate bulk(*grid_);
    while (db_->Objects().Count() > 1)
      db_->DeleteObject(db_->Objects().Object(db_->Objects().Count() - 1));
    db_->SelectFixedReference();
    db_->SetReferenceBase(false, 0, 0);
    // The clip's timing holds, whatever the file was measured with.
    const TFrameObjectList& frames = db_->Frames();
    file.timeDecimals = frames.TimeDecimals();
    file.framePeriod = frames.FramePeriod();
    file.timeOffset = frames.TimeOffset();
    ApplyMeasurementFile(file, *db_);
  }
  syncUnitSelectors();
  objectsPage_->Reload();
  referencePage_->SyncFromModel();
  collector_->SetCurrent(1, 0);
  refreshPrediction();
  repaintDisplay();
  changed_ = false;
  return true;
}

// The selectors show the units a loaded file brought; the cells were computed in them already.
void TQMForm::syncUnitSelectors() {
  const TScaler& s = db_->Scaler();
  const QSignalBlocker b1(linearUnits_), b2(angularUnits_), b3(linearVel_), b4(angularVel_);
  linearUnits_->setCurrentIndex(s.LengthUnit());
  angularUnits_->setCurrentIndex(s.AngularUnit() - units::kFirstAngle);
  linearVel_->setCurrentIndex(s.LinearVelocityUnit());
  angularVel_->setCurrentIndex(s.AngularVelocityUnit() - units::kFirstAngularVelocity);
  showLengthUnit(s.LengthUnit());
}

bool TQMForm::CloseQuery() {
  if (!changed_ || db_->Objects().Count() <= 1) return true;
  const dialogs::Answer a =
      dialogs::show(this, QStringLiteral("Save Measurements Before Closing?"), windowTitle(),
                    dialogs::Buttons::YesNoCancel, dialogs::Icon::Question);
  if (a == dialogs::Answer::Cancel) return false;
  if (a == dialogs::Answer::No) {
    changed_ = false;
    return true;
  }
  SaveMeasurementsItemClick();
  return !changed_;
}

void TQMForm::closeEvent(QCloseEvent* e) {
  if (!CloseQuery()) {
    e->ignore();
    return;
  }
  writePreferences();
  e->accept();
}
