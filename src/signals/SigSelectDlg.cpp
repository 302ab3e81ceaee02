#include "signals/SigSelectDlg.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <exception>

#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "signals/AsciiSig.h"
#include "signals/Diadem.h"

namespace {

enum class TFileKind { Ascii, Diadem, Tdm, Unknown };

TFileKind KindOf(const QString& name) {
  const QString ext = QStringLiteral(".") + QFileInfo(name).suffix().toUpper();
  for (const char* e : {".TXT", ".ASC", ".PRN", ".CSV"})
    if (ext == QLatin1String(e)) return TFileKind::Ascii;
  if (ext == QLatin1String(".DAT")) return TFileKind::Diadem;
  if (ext == QLatin1String(".TDM")) return TFileKind::Tdm;
  return TFileKind::Unknown;
}

TSigClass* SourceOf(const QListWidgetItem* item) {
  return reinterpret_cast<TSigClass*>(item->data(Qt::UserRole).value<quintptr>());
}

constexpr TSigSelectDlg::TColors kNoColors{};

}  // namespace

QColor ColorOfRef(std::uint32_t ref) {
  return QColor(int(ref & 0xFF), int(ref >> 8 & 0xFF), int(ref >> 16 & 0xFF));
}

std::uint32_t RefOfColor(const QColor& color) {
  return std::uint32_t(color.red()) | std::uint32_t(color.green()) << 8 |
         std::uint32_t(color.blue()) << 16;
}

TSigSelectDlg::TSigSelectDlg(ISigInfo& info, QWidget* parent) : QDialog(parent), info_(info) {
  setObjectName(QStringLiteral("SigSelectDlg"));
  setWindowTitle(QStringLiteral("Signals to Graph"));
  BuildUi();
  ConnectPanel(overlayPanel_);
  ConnectPanel(separatePanel_);
  for (QListWidget* list : {SrcList, OverlayList, SeparateList})
    connect(list, &QListWidget::itemSelectionChanged, this, &TSigSelectDlg::SetButtons);
  connect(OpenBtn, &QPushButton::clicked, this, &TSigSelectDlg::OpenBtnClick);
  connect(RemoveBtn, &QPushButton::clicked, this, &TSigSelectDlg::RemoveBtnClick);
  connect(SubsetColorsListBox, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    SubsetColorsListBoxClick(SubsetColorsListBox->row(item));
  });
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
  SetColors(kNoColors);
  SetButtons();
}

TSigSelectDlg::~TSigSelectDlg() = default;

void TSigSelectDlg::ConnectPanel(const TPanel& panel) {
  QListWidget* group = panel.group;
  connect(panel.inc, &QPushButton::clicked, this, [this, group] { IncBtnClick(group); });
  connect(panel.exc, &QPushButton::clicked, this, [this, group] { ExcBtnClick(group); });
  connect(panel.incAll, &QPushButton::clicked, this, [this, group] { IncAllBtnClick(group); });
  connect(panel.excAll, &QPushButton::clicked, this, [this, group] { ExcAllBtnClick(group); });
}

bool TSigSelectDlg::Execute(QString& lastFile, const QStringList& files) {
  capacity_ = kCapacity;
  lastFile_ = lastFile;
  AddFiles(files);
  if (exec() != QDialog::Accepted) return false;
  lastFile = lastFile_;
  result_.clear();
  for (QListWidget* group : {OverlayList, SeparateList})
    for (int i = 0; i < group->count(); ++i)
      result_.push_back({group->item(i)->text(), SourceOf(group->item(i))});
  return true;
}

void TSigSelectDlg::AddFiles(const QStringList& files) {
  bool applyToAll = !PromptXB->isChecked();
  for (const QString& name : files) {
    try {
      AddFile(name, applyToAll);
    } catch (const std::exception& e) {
      dialogs::show(this, QString::fromUtf8(e.what()),
                    QFileInfo(name).fileName() + QStringLiteral(" Signal Not Added"),
                    dialogs::Buttons::OK, dialogs::Icon::Error);
    }
  }
  SetButtons();
  PromptXB->setChecked(!applyToAll);
}

void TSigSelectDlg::AddFile(const QString& name, bool& applyToAll) {
  switch (KindOf(name)) {
    case TFileKind::Tdm:
      throw Exception("TDM not implemented");
    case TFileKind::Unknown:
      throw Exception("Unknown type of signal data file");
    case TFileKind::Ascii:
      AddToPool(std::make_unique<TASCIIColumn>(name, applyToAll, info_));
      return;
    case TFileKind::Diadem: {
      TDiademSignalDatabase database;
      database.LoadFromFile(name);
      for (int i = 0; i < database.Count(); ++i)
        if (!database.Channels(i).TimeChannel)
          AddToPool(std::make_unique<TDIAdemSigClass>(database.Channels(i)));
      return;
    }
  }
}

void TSigSelectDlg::AddToPool(std::unique_ptr<TSigClass> source) {
  auto* item = new QListWidgetItem(source->Ident());
  item->setData(Qt::UserRole, QVariant::fromValue(quintptr(source.get())));
  sources_.push_back(std::move(source));
  SrcList->addItem(item);
  item->setSelected(true);
}

int TSigSelectDlg::OverlayCount() const {
  return OverlayList->count();
}

int TSigSelectDlg::CapacityLeft() const {
  return capacity_ - OverlayList->count() - SeparateList->count();
}

void TSigSelectDlg::MoveItem(QListWidget* from, int row, QListWidget* to) {
  QListWidgetItem* item = from->takeItem(row);
  to->addItem(item);  // the pool sorts it into place; a group appends it
}

void TSigSelectDlg::Reselect(QListWidget* list, int row) {
  list->setFocus();
  if (list->count() == 0) return;
  list->item(std::clamp(row, 0, list->count() - 1))->setSelected(true);
}

namespace {

int FirstSelectedRow(const QListWidget* list) {
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->isSelected()) return i;
  return 0;
}

}  // namespace

void TSigSelectDlg::IncBtnClick(QListWidget* group) {
  const int first = FirstSelectedRow(SrcList);
  for (int i = SrcList->count() - 1; i >= 0 && CapacityLeft() > 0; --i)
    if (SrcList->item(i)->isSelected()) MoveItem(SrcList, i, group);
  Reselect(SrcList, first);
  SetButtons();
}

void TSigSelectDlg::ExcBtnClick(QListWidget* group) {
  const int first = FirstSelectedRow(group);
  for (int i = group->count() - 1; i >= 0; --i)
    if (group->item(i)->isSelected()) MoveItem(group, i, SrcList);
  Reselect(group, first);
  SetButtons();
}

void TSigSelectDlg::IncAllBtnClick(QListWidget* group) {
  for (int i = SrcList->count() - 1; i >= 0 && CapacityLeft() > 0; --i) MoveItem(SrcList, i, group);
  Reselect(SrcList, 0);
  SetButtons();
}

void TSigSelectDlg::ExcAllBtnClick(QListWidget* group) {
  while (group->count() > 0) MoveItem(group, 0, SrcList);
  Reselect(group, 0);
  SetButtons();
}

void TSigSelectDlg::RemoveBtnClick() {
  for (int i = SrcList->count() - 1; i >= 0; --i) {
    if (!SrcList->item(i)->isSelected()) continue;
    std::unique_ptr<QListWidgetItem> item(SrcList->takeItem(i));
    FreeSource(SourceOf(item.get()));
  }
  SetButtons();
}

void TSigSelectDlg::FreeSource(TSigClass* source) {
  // The last result may still name a source that went back to the pool before a cancel.
  std::erase_if(result_, [source](const TResultItem& r) { return r.source == source; });
  std::erase_if(sources_, [source](const auto& owned) { return owned.get() == source; });
}

void TSigSelectDlg::SetButtons() {
  const bool left = CapacityLeft() > 0;
  const bool poolSelected = !SrcList->selectedItems().isEmpty();
  for (const TPanel* p : {&overlayPanel_, &separatePanel_}) {
    p->inc->setEnabled(left && poolSelected);
    p->incAll->setEnabled(left && SrcList->count() > 0);
    p->exc->setEnabled(!p->group->selectedItems().isEmpty());
    p->excAll->setEnabled(p->group->count() > 0);
  }
  OKBtn->setEnabled(OverlayList->count() + SeparateList->count() > 0 || colorsChanged_);
}

void TSigSelectDlg::OpenBtnClick() {
  dialogs::FileRequest request;
  request.caption = QStringLiteral("Select Signal File(s)");
  request.directory = QFileInfo(lastFile_).path();
  // Both cases: the file dialog matches patterns case-sensitively here.
  request.filter = QStringLiteral(
      "ASCII Column(s) (asc csv prn txt) (*.txt *.asc *.prn *.csv *.TXT *.ASC *.PRN *.CSV);;"
      "DIAdem Signals (*.dat *.DAT)");
  const dialogs::FileAnswer answer = dialogs::backend().openFiles(this, request, true);
  if (answer.names.isEmpty()) return;
  AddFiles(answer.names);
  lastFile_ = answer.names.first();
}

bool TSigSelectDlg::ShareFirstAxis() const {
  return ShareAxisCB->isChecked();
}

TSigSelectDlg::TScaling TSigSelectDlg::Scaling() const {
  if (AutoRB->isChecked()) return TScaling::Auto;
  return LinearRB->isChecked() ? TScaling::Linear : TScaling::Log;
}

bool TSigSelectDlg::Prompt() const {
  return PromptXB->isChecked();
}

void TSigSelectDlg::SetPrompt(bool prompt) {
  PromptXB->setChecked(prompt);
}

void TSigSelectDlg::SetColors(const TColors& colors) {
  colors_ = colors;
  PaintColors();
}

void TSigSelectDlg::PaintColors() {
  SubsetColorsListBox->clear();
  for (int i = 0; i < kColorCount; ++i) {
    QPixmap swatch(24, 12);
    swatch.fill(ColorOfRef(colors_[std::size_t(i)]));
    SubsetColorsListBox->addItem(new QListWidgetItem(QIcon(swatch), QString::number(i + 1)));
  }
}

void TSigSelectDlg::SubsetColorsListBoxClick(int index) {
  if (index < 0 || index >= kColorCount) return;
  std::vector<QColor> custom;
  for (std::uint32_t c : colors_) custom.push_back(ColorOfRef(c));
  const QColor initial = custom[std::size_t(index)];
  const std::optional<QColor> chosen = dialogs::backend().colorWithCustom(this, initial, custom);
  if (!chosen) return;
  colorsChanged_ = true;
  for (std::size_t i = 0; i < colors_.size() && i < custom.size(); ++i)
    if (custom[i].isValid()) colors_[i] = RefOfColor(custom[i]);
  // The colour picked in the dialog's main area goes to the clicked entry as well, so that
  // picking a colour without filing it into a custom slot is not lost.
  if (chosen->isValid() && *chosen != initial) colors_[std::size_t(index)] = RefOfColor(*chosen);
  PaintColors();
  SetButtons();
}
