// The graph window's rebuild, its band layout, its widgets and its stored preferences.
#include <QApplication>
#include <QFrame>
#include <QVBoxLayout>
#include <QtEndian>
#include <cmath>

#include "platform/RegIniFile.h"
#include "platform/WaitCursor.h"
#include "signals/GraphFill.h"
#include "signals/GraphForm.h"
#include "signals/GraphStatusBar.h"
#include "signals/PESGraph.h"

namespace {

const QString kSubkey = QStringLiteral("\\Graph Signals");
const QString kOpen = QStringLiteral("Open");
// Values that lie at the key itself rather than in a section.
const QString kKeyItself;

// Per-subset and per-axis values kept for the graph library's own use.
constexpr int kSubsetAxisValue = 2624, kSubsetValueA = 3080, kSubsetValueB = 3085,
              kSubsetFlag = 3271;

TPEScaleControl ScaleOf(TSigSelectDlg::TScaling s) {
  switch (s) {
    case TSigSelectDlg::TScaling::Auto:
      return sgAuto;
    case TSigSelectDlg::TScaling::Linear:
      return sgLinear;
    case TSigSelectDlg::TScaling::Log:
      return sgLog;
  }
  return sgLinear;
}

}  // namespace

void TGraphForm::BuildUi() {
  GraphPanel = new QFrame(this);
  GraphPanel->setObjectName(QStringLiteral("GraphPanel"));
  GraphPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Graph1 = new PESGraph(GraphPanel);
  Graph1->setObjectName(QStringLiteral("Graph1"));
  Graph1->setCursor(Qt::CrossCursor);
  auto* panelLayout = new QVBoxLayout(GraphPanel);
  panelLayout->setContentsMargins(2, 2, 2, 2);
  panelLayout->addWidget(Graph1);
  StatusBar1 = new TGraphStatusBar(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(GraphPanel, 1);
  layout->addWidget(StatusBar1);
}

// --- preferences --------------------------------------------------------------------------

void TGraphForm::ReadPreferences() {
  if (!registry_) return;
  const TRegIniFile store(registry_->key() + kSubkey);
  lastSignalFile_ = store.ReadString(kOpen, QStringLiteral("Signal"), QString());
  selectDlg_->SetPrompt(store.ReadBool(kOpen, QStringLiteral("Prompt"), true));
  // Another size is not our colour table: the defaults stay rather than a partial read.
  const QByteArray colors = store.ReadBinaryData(kKeyItself, QStringLiteral("Colors"));
  if (colors.size() == kColorBytes)
    for (std::size_t i = 0; i < colors_.size(); ++i)
      colors_[i] = qFromLittleEndian<quint32>(colors.constData() + 4 * i);
  if (store.ValueExists(kKeyItself, QStringLiteral("Settings")))
    LoadSettingsBlock(store.ReadBinaryData(kKeyItself, QStringLiteral("Settings")));
}

void TGraphForm::LoadSettingsBlock(const QByteArray& block) {
  if (Graph1->PEloadpartial(block)) return;
  TGraphLook& look = Graph1->Look();
  look.DataShadows = false;
  const QColor face = palette().color(QPalette::Button);
  look.DeskColor = look.GraphBackColor = look.ShadowColor = face;
  look.DataPrecision = sgOneDecimal;
  look.MainTitleBold = look.LabelBold = true;
  look.GridLineControl = sgNoGrid;
  look.FontSize = sgSmall;
  look.ShowAnnotations = true;
}

void TGraphForm::WritePreferences() {
  if (!registry_) return;
  TRegIniFile store(registry_->key() + kSubkey);
  store.WriteString(kOpen, QStringLiteral("Signal"), lastSignalFile_);
  store.WriteBool(kOpen, QStringLiteral("Prompt"), selectDlg_->Prompt());
  QByteArray colors(kColorBytes, '\0');
  for (std::size_t i = 0; i < colors_.size(); ++i)
    qToLittleEndian<quint32>(colors_[i], colors.data() + 4 * i);
  store.WriteBinaryData(kKeyItself, QStringLiteral("Colors"), colors);
  const QByteArray settings = Graph1->PEstorepartial();
  if (!settings.isEmpty()) store.WriteBinaryData(kKeyItself, QStringLiteral("Settings"), settings);
  store.flush();
}

// --- rebuild ------------------------------------------------------------------------------

void TGraphForm::Rebuild() {
  colors_ = selectDlg_->Colors();
  const TWaitCursor wait;
  const std::vector<TSigSelectDlg::TResultItem>& sources = selectDlg_->Result();
  const int n = int(sources.size());
  int points = 0;
  for (const auto& r : sources) points = std::max(points, r.source->Count);
  QString title;
  if (n > 0) {
    title = sources[0].source->Group;
    Graph1->XAxisLabel = sources[0].source->XLabel;
  }
  SetupLayout(n, points, selectDlg_->ShareFirstAxis(), selectDlg_->OverlayCount());
  timeBases_.clear();
  for (const auto& r : sources)
    timeBases_.push_back({r.source->FirstTime, r.source->Interval, r.source->Count});
  for (int i = 0; i < n; ++i) {
    SetupSubset(i, *sources[std::size_t(i)].source);
    FillGraphSubset(*Graph1, i, *sources[std::size_t(i)].source, points);
    Graph1->WorkingAxis = 0;
  }
  Graph1->MainTitle = title;
  Graph1->PEactions(peRebuild);
  UpdateReadouts();
}

void TGraphForm::SetupLayout(int subsets, int points, bool share, int overlay) {
  visibleFirst_ = 0;
  visibleLast_ = points - 1;
  bands_ = TGraphBands(subsets, overlay, share);
  Graph1->PEactions(peUndoZoom);
  zoomed_ = dragging_ = false;
  Graph1->PrepareImages = true;
  Graph1->SetSubsets(0);
  Graph1->SetPoints(0);
  Graph1->ClearAxisLayout();
  for (int id : {kSubsetAxisValue, kSubsetValueA, kSubsetValueB}) Graph1->SetSubsetValue(id, -1, 0);
  Graph1->PEactions(peRebuild);
  if (subsets == 0) return;
  Graph1->SetSubsets(subsets);
  Graph1->SetPoints(points);
  for (int axis = 0; axis < bands_.AxisCount(); ++axis) {
    Graph1->SetSubsetsPerAxis(axis, bands_.SubsetsOnAxis(axis));
    if (bands_.AxesInBand(axis) > 1) Graph1->SetOverlapAxes(axis, bands_.AxesInBand(axis));
    Graph1->SetAxisProportion(axis, float(bands_.Proportion()));
  }
  for (int i = 0; i < subsets; ++i)
    for (int id : {kSubsetValueA, kSubsetValueB}) Graph1->SetSubsetValue(id, i, i);
  Graph1->AllowDataHotSpots = Graph1->AllowSubsetHotSpots = true;
  Graph1->SubTitle.clear();
  Graph1->NullDataValueX = Graph1->NullDataValueY = kGraphNull;
  Graph1->AllowZooming = sgHorzPlusVertZooming;
  Graph1->ScrollingHorzZoom = true;
  Graph1->CursorPromptStyle = sgNoPrompt;
  Graph1->CursorPromptTracking = true;
  Graph1->CursorMode = sgCrossHair;
  Graph1->Look().GridStyle = sgDash;
  Graph1->MouseCursorControl = true;
  Graph1->FocalRect = false;
}

void TGraphForm::SetupSubset(int subset, TSigClass& source) {
  const QColor color = ColorOfRef(colors_[std::size_t(subset) % colors_.size()]);
  Graph1->SetSubsetValue(kSubsetFlag, subset, 0);
  Graph1->SetSubsetValue(kSubsetAxisValue, subset, subset);
  Graph1->SetSubsetLabel(subset, source.Name);
  Graph1->SetSubsetColor(subset, color);
  Graph1->WorkingAxis = bands_.AxisOf(subset);
  Graph1->SetYAxisColor(color);
  Graph1->XAxisScaleControl = sgLinear;
  Graph1->SetYAxisScaleControl(ScaleOf(selectDlg_->Scaling()));
  Graph1->PlottingMethod = sgLine;
  Graph1->SetYAxisLabel(source.YLabel);
}
