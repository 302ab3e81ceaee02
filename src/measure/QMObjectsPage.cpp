#include "measure/QMObjectsPage.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <utility>

#include "display/Marker.h"
#include "measure/MotionDataBase.h"
#include "measure/ObjDef.h"
#include "measure/SheetElement.h"
#include "platform/Dialogs.h"
#include "platform/WaitCursor.h"

namespace {

constexpr int kObjectRole = Qt::UserRole;
constexpr int kColourCount = static_cast<int>(std::size(kObjectColours));

// The image of kind 0..3: a marker, a line, two lines from a vertex, an outline.
QIcon KindIcon(int image) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QPen(Qt::black, 1));
  switch (image) {
    case 0:
      DrawPolymarker(p, {8, 8}, 0, Qt::black, 12);
      break;
    case 1:
      p.drawLine(2, 13, 13, 2);
      break;
    case 2:
      p.drawPolyline(QPolygon({{13, 2}, {2, 13}, {14, 13}}));
      break;
    default:
      p.drawPolygon(QPolygon({{2, 6}, {8, 2}, {14, 7}, {11, 14}, {4, 13}}));
      break;
  }
  return QIcon(pixmap);
}

int ImageOf(TSampleClass cls) {
  for (const TObjectKind& k : kObjectKinds)
    if (k.sampleClass == cls) return k.image;
  return 0;
}

// Where the colour stands in the cycle; the last entry when it is not in it.
int ColourIndex(QRgb colour) {
  for (int i = 0; i < kColourCount; ++i)
    if ((kObjectColours[i] & 0xFFFFFF) == (colour & 0xFFFFFF)) return i;
  return kColourCount - 1;
}

void Tell(QWidget* parent, const QString& text) {
  dialogs::show(parent, text, QApplication::applicationName(), dialogs::Buttons::OK,
                dialogs::Icon::None);
}

bool Confirm(QWidget* parent, const QString& text, const QString& caption) {
  return dialogs::show(parent, text, caption, dialogs::Buttons::OKCancel,
                       dialogs::Icon::Question) == dialogs::Answer::OK;
}

QString SamplesCollected(int n) {
  return QStringLiteral("There are ") + QString::number(n) + QStringLiteral(" samples collected.");
}

}  // namespace

TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (auto [button, arrow, name, delta] :
       {std::tuple{up_, Qt::UpArrow, "Up", 1}, std::tuple{down_, Qt::DownArrow, "Down", -1}}) {
    button->setObjectName(QString::fromLatin1(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFixedSize(18, 12);
    layout->addWidget(button);
    connect(button, &QToolButton::clicked, this, [this, d = delta] { emit stepped(d); });
  }
}

TMarkerPreview::TMarkerPreview(std::function<const TObjDef*()> object, QWidget* parent)
    : QWidget(parent), object_(std::move(object)) {
  setFixedSize(24, 24);
}

void TMarkerPreview::paintEvent(QPaintEvent*) {
  const TObjDef* def = object_();
  if (!def) return;
  QPainter p(this);
  DrawPolymarker(p, {10, 10}, def->Polymarker(), QColor::fromRgb(def->Colour()), 20);
}

TQMObjectsPage::TQMObjectsPage(TQMContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  BuildTree();
  auto* side = new QVBoxLayout;
  side->addWidget(BuildButtons());
  side->addWidget(BuildNewObjectGroup());
  side->addWidget(BuildPropertiesGroup());
  side->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(tree_, 1);
  layout->addLayout(side);
  Reload();
}

void TQMObjectsPage::BuildTree() {
  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("ObjTreeView"));
  tree_->setHeaderHidden(true);
  tree_->setRootIsDecorated(false);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  tree_->setSortingEnabled(true);
  tree_->sortByColumn(0, Qt::AscendingOrder);
  auto* properties = new QAction(QStringLiteral("P&roperties"), tree_);
  properties->setObjectName(QStringLiteral("PropertiesItem"));
  tree_->addAction(properties);
  tree_->setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { ShowProperties(); });
  connect(tree_, &QTreeWidget::itemChanged, this, &TQMObjectsPage::ItemChanged);
}

QWidget* TQMObjectsPage::BuildButtons() {
  auto* box = new QWidget(this);
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  const auto add = [&](const char* text, const char* name, auto action) {
    auto* button = new QPushButton(QString::fromLatin1(text), box);
    button->setObjectName(QString::fromLatin1(name));
    connect(button, &QPushButton::clicked, this, action);
    layout->addWidget(button);
    return button;
  };
  add("&Rename", "RenameBtn", [this] {
    if (QTreeWidgetItem* item = tree_->currentItem(); item && ObjectOf(item))
      tree_->editItem(item, 0);
  });
  add("&Delete", "DeleteBtn", [this] { DeleteSelected(); });
  add("&Clear", "ClearBtn", [this] {
    ClearSelected();
  })->setToolTip(QStringLiteral("Reset Object for Recollection"));
  return box;
}

QWidget* TQMObjectsPage::BuildNewObjectGroup() {
  static constexpr const char* kHints[] = {"Point", "Line and Absolute Angle",
                                           "Two Lines and Relative Angle", "Area"};
  static constexpr const char* kNames[] = {"NewPointBtn", "NewLineBtn", "NewAngleBtn",
                                           "NewAreaBtn"};
  auto* group = new QGroupBox(QStringLiteral("New Object"), this);
  auto* layout = new QHBoxLayout(group);
  for (int kind = 0; kind < static_cast<int>(std::size(kObjectKinds)); ++kind) {
    auto* button = new QToolButton(group);
    button->setObjectName(QString::fromLatin1(kNames[kind]));
    button->setToolTip(QString::fromLatin1(kHints[kind]));
    button->setAccessibleName(QString::fromLatin1(kHints[kind]));
    button->setIcon(KindIcon(kObjectKinds[kind].image));
    connect(button, &QToolButton::clicked, this, [this, kind] { NewObject(kind); });
    layout->addWidget(button);
  }
  // Areas have no columns worth offering yet.
  auto* area = group->findChild<QToolButton*>(QStringLiteral("NewAreaBtn"));
  area->setEnabled(false);
  area->setVisible(false);
  layout->addStretch();
  return group;
}

QWidget* TQMObjectsPage::BuildPropertiesGroup() {
  auto* group = new QGroupBox(QStringLiteral("Properties"), this);
  auto* layout = new QGridLayout(group);
  marker_ = new TMarkerPreview([this] { return Selected(); }, group);
  marker_->setObjectName(QStringLiteral("ObjPolymarker"));
  swatch_ = new QFrame(group);
  swatch_->setObjectName(QStringLiteral("ObjColorSwatch"));
  swatch_->setFrameShape(QFrame::Box);
  swatch_->setFixedSize(24, 24);
  swatch_->setAutoFillBackground(true);
  auto* markerUpDown = new TUpDown(group);
  markerUpDown->setObjectName(QStringLiteral("MarkerUpDown"));
  auto* colourUpDown = new TUpDown(group);
  colourUpDown->setObjectName(QStringLiteral("ColorUpDown"));
  connect(markerUpDown, &TUpDown::stepped, this, &TQMObjectsPage::StepMarker);
  connect(colourUpDown, &TUpDown::stepped, this, &TQMObjectsPage::StepColour);
  layout->addWidget(marker_, 0, 0);
  layout->addWidget(markerUpDown, 0, 1);
  layout->addWidget(swatch_, 1, 0);
  layout->addWidget(colourUpDown, 1, 1);
  return group;
}

void TQMObjectsPage::Reload() {
  tree_->clear();
  const TObjDefList& objects = ctx_.db->Objects();
  for (std::size_t i = 0; i < objects.Count(); ++i) {
    TObjDef* def = objects.Object(i);
    if (def != &ctx_.db->RefObject() && def->SampleClass() != TSampleClass::Hidden)
      AddItem(def, ImageOf(def->SampleClass()));
  }
  ShowProperties();
}

QTreeWidgetItem* TQMObjectsPage::AddItem(TObjDef* def, int image) {
  // Filled before it joins the tree, so that no label write looks like a user's edit.
  auto* item = new QTreeWidgetItem;
  item->setText(0, def->Name());
  item->setIcon(0, KindIcon(image));
  item->setData(0, kObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(def)));
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  tree_->addTopLevelItem(item);
  return item;
}

// The node's object while it still is one of the model's: a node never outlives its object
// in use, even when the model changed behind the page's back.
TObjDef* TQMObjectsPage::ObjectOf(const QTreeWidgetItem* item) const {
  if (!item) return nullptr;
  const auto key = item->data(0, kObjectRole).value<quintptr>();
  const TObjDefList& objects = ctx_.db->Objects();
  for (std::size_t i = 1; i < objects.Count(); ++i)
    if (reinterpret_cast<quintptr>(objects.Object(i)) == key) return objects.Object(i);
  return nullptr;
}

TObjDef* TQMObjectsPage::Selected() const {
  return ObjectOf(tree_->currentItem());
}

bool TQMObjectsPage::IsReference(const TObjDef* def) const {
  return isReferenceObject && isReferenceObject(def);
}

void TQMObjectsPage::RefreshHeaders(TObjDef* def) const {
  if (auto* columns = dynamic_cast<TSheetElements*>(def->Columns())) columns->RefreshHeaders();
}

void TQMObjectsPage::NewObject(int kind) {
  if (kind < 0 || kind >= static_cast<int>(std::size(kObjectKinds))) return;
  const TObjectKind& k = kObjectKinds[kind];
  TObjDef* def = nullptr;
  {
    TWaitCursor wait;
    TObjDefList& objects = ctx_.db->Objects();
    const QString name = objects.NewName(QString::fromLatin1(k.baseName), k.sampleClass);
    def = ctx_.db->CreateObject(k.sampleClass, name, objects.defaultVisibleKinds);
    RefreshHeaders(def);
    tree_->setCurrentItem(AddItem(def, k.image));
  }
  emit objectCreated(def);
  emit objectsChanged();
  if (ctx_.markChanged) ctx_.markChanged();
}

void TQMObjectsPage::ItemChanged(QTreeWidgetItem* item, int column) {
  if (settingLabel_ || column != 0) return;
  TObjDef* def = ObjectOf(item);
  if (!def || item->text(0) == def->Name()) return;
  if (Rename(def, item->text(0))) return;
  settingLabel_ = true;
  item->setText(0, def->Name());
  settingLabel_ = false;
}

bool TQMObjectsPage::Rename(TObjDef* def, const QString& name) {
  if (name.trimmed().isEmpty()) {
    Tell(this, QStringLiteral("An object needs a name that is not blank."));
    return false;
  }
  // Any object, whatever its class and the renamed one included: names head table columns
  // and find objects in measurement files.
  const TObjDefList& objects = ctx_.db->Objects();
  for (std::size_t i = 0; i < objects.Count(); ++i) {
    if (objects.Object(i)->Name().compare(name, Qt::CaseInsensitive) == 0) {
      Tell(this,
           QStringLiteral("Another object already has the name \"") + name + QStringLiteral("\"."));
      return false;
    }
  }
  def->SetName(name);
  RefreshHeaders(def);
  emit objectRenamed(def);
  if (ctx_.markChanged) ctx_.markChanged();
  return true;
}

void TQMObjectsPage::DeleteSelected() {
  QTreeWidgetItem* item = tree_->currentItem();
  TObjDef* def = ObjectOf(item);
  if (!def) return;
  const int n = ctx_.db->Frames().CountSamples(*def);
  const bool reference = IsReference(def);
  if (n > 0 || reference) {
    const QString caption =
        QStringLiteral("Delete ") + def->Name().toUpper() +
        (reference ? QStringLiteral(" Reference Object") : QStringLiteral(" Collection Object"));
    if (!Confirm(this, SamplesCollected(n) + QStringLiteral("  Delete object and all samples?"),
                 caption))
      return;
  }
  emit objectDeleting(def);
  {
    TWaitCursor wait;
    delete item;
    ctx_.db->DeleteObject(def);
  }
  ShowProperties();
  emit objectsChanged();
  if (ctx_.markChanged) ctx_.markChanged();
  if (ctx_.repaintDisplay) ctx_.repaintDisplay();
}

void TQMObjectsPage::ClearSelected() {
  TObjDef* def = Selected();
  if (!def) return;
  const int n = ctx_.db->Frames().CountSamples(*def);
  if (n == 0) return;
  const QString caption = QStringLiteral("Clear ") + def->Name().toUpper() + " Samples";
  if (!Confirm(this, SamplesCollected(n) + QStringLiteral("  Clear all collected samples?"),
               caption))
    return;
  {
    TWaitCursor wait;
    ctx_.db->Frames().DeleteSamples(*def);
    // Every object's referenced cells stood on this object's points.
    const TReferencer& r = ctx_.db->Referencer();
    if (r.Moving() && r.ReferenceObject() == def) ctx_.db->RecomputeAll();
  }
  emit objectsChanged();
  if (ctx_.markChanged) ctx_.markChanged();
  if (ctx_.repaintDisplay) ctx_.repaintDisplay();
}

void TQMObjectsPage::ShowProperties() {
  const TObjDef* def = Selected();
  QPalette palette = swatch_->palette();
  palette.setColor(QPalette::Window, def ? QColor::fromRgb(def->Colour())
                                         : QWidget::palette().color(QPalette::Window));
  swatch_->setPalette(palette);
  marker_->update();
}

void TQMObjectsPage::StepMarker(int delta) {
  TObjDef* def = Selected();
  if (!def) return;
  const int old = def->Polymarker();
  def->SetPolymarker(old + delta);
  if (def->Polymarker() == old) return;
  marker_->update();
  if (ctx_.repaintDisplay) ctx_.repaintDisplay();
}

void TQMObjectsPage::StepColour(int delta) {
  TObjDef* def = Selected();
  if (!def) return;
  const QRgb old = def->Colour();
  const int next = std::clamp(ColourIndex(old) + delta, 0, kColourCount - 1);
  def->SetColour(kObjectColours[next]);
  if (def->Colour() == old) return;
  ShowProperties();
  if (ctx_.repaintDisplay) ctx_.repaintDisplay();
}
