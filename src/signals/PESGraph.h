#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <vector>

#include "signals/GraphSettings.h"

class QCPAxisRect;
class QCustomPlot;
class QFont;
class QKeyEvent;
class QMouseEvent;
class QPrinter;
class TGraphCanvas;

enum TPEScaleControl { sgAuto = 0, sgLinear = 1, sgLog = 2 };
enum TPEPlottingMethod { sgLine = 0, sgPoint = 1 };
enum TPECursorMode { sgNoCursor = 0, sgPointCursor = 1, sgCrossHair = 2 };
enum TPECursorPromptStyle { sgNoPrompt = 0, sgXYValues = 1 };
enum TPEZooming {
  sgNoZooming = 0,
  sgHorzZooming = 1,
  sgVertZooming = 2,
  sgHorzPlusVertZooming = 3
};
// Pointer shapes the owner may ask for while the pointer is over the graph.
enum TPEMouseCursor { pcArrow = -2, pcCross = -3, pcHorzSizing = -9, pcUpArrow = -10 };

// Actions of PESGraph::PEactions.
enum TPEAction { peRebuild = 0, peCustomize = 5, pePrint = 8, peUndoZoom = 19 };

// The marker of a missing sample, as single precision: points holding it are gaps.
inline constexpr float kGraphNull = 1e34f;

// The graph control: up to any number of subsets (curves) of Points points each, drawn in
// bands stacked from top to bottom, with a crosshair cursor on one point of one subset.
// Settings take effect at the next PEactions(peRebuild); the cursor and zoom act at once.
//
// Axes and bands. Axis a holds SubsetsPerAxis(a) consecutive subsets (axis 0: what the others
// leave when it was given none); a band starts at axis a and spans OverlapAxes(a) axes (1 when
// not given), each band taking AxisProportion of the height of its first axis. Axis properties
// (label, colour, scale, manual range) apply to the WorkingAxis.
//
// All calls on the interface thread.
class PESGraph : public QWidget {
  Q_OBJECT
 public:
  explicit PESGraph(QWidget* parent = nullptr);
  ~PESGraph() override;
  PESGraph(const PESGraph&) = delete;
  PESGraph& operator=(const PESGraph&) = delete;

  // --- content -------------------------------------------------------------------------
  QString MainTitle, SubTitle, XAxisLabel;
  // Resizing keeps what fits; new points are null.
  int Subsets() const { return subsets_; }
  void SetSubsets(int n);
  int Points() const { return points_; }
  void SetPoints(int n);
  QString SubsetLabel(int s) const;
  void SetSubsetLabel(int s, const QString& label);
  QColor SubsetColor(int s) const;
  void SetSubsetColor(int s, const QColor& color);
  // Per point; indexes out of range read kGraphNull and are not written.
  float PointX(int s, int p) const;
  float PointY(int s, int p) const;
  void SetPointX(int s, int p, float x);
  void SetPointY(int s, int p, float y);
  // A whole subset at once; shorter spans leave the rest null.
  void SetSubsetValues(int s, std::span<const float> x, std::span<const float> y);
  // Per-subset values without a drawing effect (kept for the owner to read back); subset −1
  // clears that identifier for every subset.
  void SetSubsetValue(int id, int s, int value);
  int SubsetValue(int id, int s) const;

  // --- axes and layout -----------------------------------------------------------------
  // Clears subsets per axis, overlaps and proportions of every axis.
  void ClearAxisLayout();
  void SetSubsetsPerAxis(int axis, int n);
  int SubsetsPerAxis(int axis) const;
  void SetOverlapAxes(int axis, int n);
  void SetAxisProportion(int axis, float part);
  int WorkingAxis = 0;
  // Of the working axis:
  QString YAxisLabel() const;
  void SetYAxisLabel(const QString& label);
  QColor YAxisColor() const;
  void SetYAxisColor(const QColor& color);
  TPEScaleControl YAxisScaleControl() const;
  void SetYAxisScaleControl(TPEScaleControl scale);
  // The range the working axis shows now (after a rebuild or a zoom).
  double ManualMinY() const;
  double ManualMaxY() const;
  TPEScaleControl XAxisScaleControl = sgLinear;
  TPEPlottingMethod PlottingMethod = sgLine;
  // Axes and bands as the last rebuild laid them out.
  int AxisCount() const;
  int BandCount() const;
  int AxisOfSubset(int s) const;
  int BandOfAxis(int axis) const;

  // --- behaviour -----------------------------------------------------------------------
  bool PrepareImages = false;
  bool AllowSubsetHotSpots = false;
  bool AllowDataHotSpots = false;
  TPECursorMode CursorMode = sgNoCursor;
  TPECursorPromptStyle CursorPromptStyle = sgNoPrompt;
  bool CursorPromptTracking = false;
  bool MouseCursorControl = false;
  bool FocalRect = true;
  TPEZooming AllowZooming = sgNoZooming;
  bool ScrollingHorzZoom = false;
  float NullDataValueX = kGraphNull, NullDataValueY = kGraphNull;
  bool AllowCustomization = true, AllowExporting = true, AllowPopup = true;
  // Multiplies every font size; the owner keeps it within its limits.
  float FontSizeGlobalCntl() const { return fontFactor_; }
  void SetFontSizeGlobalCntl(float factor);
  // The look, customisable by the user and stored as a block.
  TGraphLook& Look() { return look_; }
  const TGraphLook& Look() const { return look_; }

  // --- cursor, zoom, pointer -----------------------------------------------------------
  int CursorSubset() const { return cursorSubset_; }
  void SetCursorSubset(int s);
  int CursorPoint() const { return cursorPoint_; }
  // Clamped to the points; redraws only the cursor. Raises no event.
  void SetCursorPoint(int p);
  bool Zoomed() const { return zoomed_; }
  // Shows only times [from, to] (ms) in every band, as a horizontal zoom by the user does.
  void ZoomX(double from, double to);
  double ZoomMinX() const;
  double ZoomMaxX() const;
  // The shape shown while the pointer is over the plot.
  void SetMouseCursor(TPEMouseCursor shape);
  // The rectangle the bands cover, in pixels of this control.
  QRect PlotRect() const;
  // The band under a pixel (nearest band vertically; false when x lies outside the plot or
  // nothing is laid out), as the index of its first axis, and graph x and y on that axis.
  bool ConvPixelToGraph(QPoint pixel, int& axis, double& x, double& y) const;

  // --- actions and stored settings -----------------------------------------------------
  void PEactions(int action);
  // The user's customisations as a block; empty never.
  QByteArray PEstorepartial() const { return StoreGraphLook(look_); }
  // False (and nothing changed) when the block cannot be read.
  bool PEloadpartial(const QByteArray& block) { return LoadGraphLook(block, look_); }
  // Exports; false when the file cannot be written.
  bool ExportPng(const QString& fileName, int width, int height);
  bool ExportPdf(const QString& fileName, int width, int height);
  bool ExportCsv(const QString& fileName) const;

  // Seams: the print dialog (answer false when cancelled) and the customisation dialog
  // (answer false when cancelled; it edits the look given). Both default to modal dialogs.
  std::function<bool(QPrinter& printer, QWidget* parent)> RunPrintDialog;
  std::function<bool(TGraphLook& look, QWidget* parent)> RunCustomizeDialog;

  // --- events (unassigned ones are skipped) -------------------------------------------
  std::function<void()> OnCursorMoved, OnPreCursorMove, OnZoomIn, OnZoomOut;
  std::function<void(int subset)> OnSubsetHotSpot;
  std::function<void(int subset, int point)> OnDataHotSpot;
  // Positions in pixels of this control.
  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, QPoint)> OnMouseDown, OnMouseUp;
  std::function<void(Qt::KeyboardModifiers, QPoint)> OnMouseMove;
  std::function<void(int key, Qt::KeyboardModifiers)> OnKeyDown;

  // The plot widget inside (tests drive it, the owner grabs it).
  QCustomPlot* Plot() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct TSubset {
    std::vector<float> x, y;
    QString label;
    QColor color = Qt::black;
  };
  struct TAxisSetup {
    int subsets = 0, overlap = 0;
    float proportion = 0;
    QString label;
    QColor color = Qt::black;
    TPEScaleControl scale = sgLinear;
  };
  TAxisSetup& Axis(int axis);
  const TAxisSetup* FindAxis(int axis) const;
  void Rebuild();
  void LayOutBands(int firstRow, const QFont& font);
  void AddYAxis(QCPAxisRect* rect, int axisIndex, const QFont& font, bool first);
  void FillCurves();
  void DrawAnnotations(const QFont& font);
  void MakeCursor();
  void DrawCursor();
  // Shows x range [x0, x1] in every band, and [y0, y1] (pixels) on the axes of one band.
  void ZoomTo(double x0, double x1, int band, int yPixel0, int yPixel1);
  void UndoZoom();
  void Print();
  void Customize();
  void ExportAs(const QString& filter, const QString& suffix);
  void MoveCursorByUser(int point);
  bool HandleMouse(QEvent* event);
  bool HitLegend(QPoint at);
  void ClickInBand(int band, QPoint at);

  int subsets_ = 0, points_ = 0;
  std::vector<TSubset> data_;
  std::map<int, std::map<int, int>> subsetValues_;
  std::vector<TAxisSetup> axes_;
  TGraphLook look_;
  float fontFactor_ = 1.0f;
  int cursorSubset_ = 0, cursorPoint_ = 0;
  bool zoomed_ = false;
  int pressBand_ = -1;  // band of a left press that may become a click or a zoom drag
  QPoint pressAt_;
  std::unique_ptr<TGraphCanvas> canvas_;
};
