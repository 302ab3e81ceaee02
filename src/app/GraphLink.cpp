#include "app/GraphLink.h"

#include <utility>

#include "display/ChildForm.h"
#include "signals/GraphForm.h"
#include "signals/SigInfoDlg.h"

TGraphLink::TGraphLink(QWidget* owner, TRegIniFile* registry)
    : owner_(owner), registry_(registry), info_(std::make_unique<TSigInfoDlg>(owner)) {}

TGraphLink::~TGraphLink() {
  delete graph_;
}

TGraphForm* TGraphLink::Window() const {
  return graph_;
}

TGraphForm& TGraphLink::Ensure() {
  if (!graph_) {
    graph_ = new TGraphForm(owner_, registry_, *info_);
    graph_->SetTimeTolerance(step_);
  }
  return *graph_;
}

void TGraphLink::SelectSignals() {
  TGraphForm& graph = Ensure();
  graph.show();
  graph.SelectSignals();
}

void TGraphLink::Flush() {
  if (queued_.isEmpty()) return;
  const QStringList names = std::exchange(queued_, {});
  TGraphForm& graph = Ensure();
  graph.SelectSignals(names);
  graph.show();
}

void TGraphLink::Close() {
  if (graph_) graph_->close();
}

void TGraphLink::Equip(TChildForm* child) {
  child->CreateSignalGraph = [this](TChildForm* c, TRegIniFile* registry) -> QWidget* {
    auto* graph = new TGraphForm(c, registry, *info_, c->objectName() + QStringLiteral("Graph"));
    graph->show();
    graph->SelectSignals();
    graph->SetTime(c->CurrentTime());
    return graph;
  };
  child->OnFrameShown = [](QWidget* graph, float time) {
    if (auto* g = qobject_cast<TGraphForm*>(graph)) g->SetTime(time);
  };
}

bool TGraphLink::TakeCursorTime(float& time) {
  return graph_ && graph_->TakeCursorTime(time);
}

void TGraphLink::SetTime(float time) {
  if (graph_) graph_->SetTime(time);
}

void TGraphLink::SetTimeStep(float step) {
  step_ = step;
  if (graph_) graph_->SetTimeTolerance(step);
}
