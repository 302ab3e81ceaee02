#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>

#include "display/MeasureHooks.h"
#include "measure/QMContext.h"
#include "measure/QMPreferences.h"
#include "measure/SheetElement.h"
#include "platform/RegIniFile.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QMenuBar;
class QRadioButton;
class QTabWidget;
class TChildForm;
class TCollector;
class TEditNumeric;
class TMeasureTable;
class TMotionDataBase;
class TMyStringGrid;
class TQMObjectsPage;
class TQMReferencePage;
class TQMScalePage;

// The tool window through which the user measures on one display window: it owns the
// measurement model, shows the table, turns image clicks into samples, scale clicks or a
// reference point by the page that is active, and keeps its settings in the preferences.
class TQMForm : public QWidget, public IMeasureHooks {
  Q_OBJECT
 public:
  // Image clicks by page: gage measurement, none, none, reference point, collection, none.
  enum TRole { Scale = 0, Units = 1, Objects = 2, Reference = 3, Collect = 4, Defaults = 5 };

  // display: the clip window measured on (owner); lastFrame: its last frame number.
  // store: the Quick Measure preference key; null uses the application's own.
  TQMForm(TChildForm* display, int lastFrame, std::unique_ptr<TRegIniFile> store = {});
  ~TQMForm() override;

  // IMeasureHooks
  std::optional<QPointF> PointerMoved(Qt::KeyboardModifiers modifiers, QPointF p) override;
  void Clicked(int frame, QPointF p) override;
  void RedrawOverlay() override;
  void FrameShown(int frame) override;
  void TimingChanged(int decimals, float period, float offset) override;
  bool CloseQuery() override;
  void DrawOverlay(QPainter& painter, const TImageMapping& mapping) override;

  TMotionDataBase& Database() const { return *db_; }
  TCollector& Collector() const { return *collector_; }
  TMeasureTable& Table() const { return *table_; }
  TRole PageRole() const;
  bool MeasurementsChanged() const { return changed_; }
  // The measurement file name the save dialog offers first.
  QString DefaultMeasurementName() const;
  // Into this window, replacing what it holds; false with a message shown when refused.
  bool LoadMeasurements(const QString& path);
  bool SaveMeasurementsTo(const QString& path);

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void buildUi();
  QWidget* buildDefaultsPage();
  QWidget* buildUnitsPage();
  void buildMenu(QMenuBar* bar);
  void connectPages();
  void applyPreferences(const TQMPreferences& p);
  TQMPreferences currentPreferences() const;
  void runUnitHandlers();
  void syncUnitSelectors();
  void showLengthUnit(int unit);

  void PageControlChange(int index);
  void LinearUnitsCBChange();
  void UnitsCBChange();
  void VisibleColumnsListClick();
  void CursorPositioningClick(int mode);
  void ExportItemClick();
  void SaveMeasurementsItemClick();
  void OpenMeasurementsItemClick();

  void collect(int frame, QPointF p);
  int shownFrame() const;
  void moveToFrame(int frame);
  void refreshPrediction();
  void repaintDisplay();
  void setPanel(int panel, const QString& text);
  void writePreferences();

  TChildForm* display_;
  int lastFrame_;
  std::unique_ptr<TRegIniFile> store_;
  TMyStringGrid* grid_ = nullptr;
  TShowMenu showMenu_;
  std::unique_ptr<TMotionDataBase> db_;
  std::unique_ptr<TCollector> collector_;
  TMeasureTable* table_ = nullptr;
  TQMContext context_;

  QTabWidget* pages_ = nullptr;
  int collectionIndex_ = 0;
  int lastPage_ = -1;
  TQMScalePage* scalePage_ = nullptr;
  TQMReferencePage* referencePage_ = nullptr;
  TQMObjectsPage* objectsPage_ = nullptr;
  QCheckBox* autoStep_ = nullptr;
  TEditNumeric* frameStep_ = nullptr;
  QRadioButton* positioning_[3] = {};
  QListWidget* visibleColumns_ = nullptr;
  QComboBox* linearUnits_ = nullptr;
  QComboBox* angularUnits_ = nullptr;
  QComboBox* area_ = nullptr;
  QComboBox* linearVel_ = nullptr;
  QComboBox* angularVel_ = nullptr;
  QComboBox* acceleration_ = nullptr;
  QLabel* panels_[4] = {};

  std::optional<TImagePoint> predicted_;
  QSize designSize_;
  QSize gridSize_;
  QString exportPath_;
  bool changed_ = false;
  bool preferencesWritten_ = false;
};
