#include "display/ChildForm.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QStringList>

#include "clip/AviStream.h"
#include "descriptors/TitlesForm.h"
#include "display/DibImage.h"
#include "display/MeasureHooks.h"
#include "platform/Placement.h"

TChildForm::TChildForm(QWidget* owner, TNotifyEvent onOpened, const TChildShared& shared,
                       const QString& fileName, const QString& caption, TAVISTREAM* stream)
    : QWidget(owner, Qt::Window),
      OnOpened(std::move(onOpened)),
      FileName(fileName),
      shared_(shared),
      stream_(stream) {
  setWindowTitle(caption);
  timing_.OnTimingChanged = [this](int d, float p, float o) { timingChanged(d, p, o); };
}

TChildForm::~TChildForm() {
  if (OnDestroy) OnDestroy(this);
  if (shared_.titlesEditor) shared_.titlesEditor->ForgetWindow(this);
  SaveChildPlacement();
  delete quickMeasure_;
  delete signalGraph_;
}

void TChildForm::StopAtFrame(int frame) {
  ShowFrame(frame);
  StopRequest = true;
}

void TChildForm::ShowFrame(int frame) {
  RequestedFrame = frame;
  UpdateFrame();
}

void TChildForm::ShowTime(float time) {
  ShowFrame(timing_.FrameOfTime(time));
}

void TChildForm::StopAtTime(float time) {
  StopAtFrame(timing_.FrameOfTime(time));
}

bool TChildForm::UpdateFrame() {
  bool result = false;
  if (Frozen) {
    result = false;
  } else if (RequestedFrame != ShownFrame) {
    ShownFrame = RequestedFrame;
    currentTime_ = timing_.TimeOfFrame(RequestedFrame);
    if (signalGraph_ && OnFrameShown) OnFrameShown(signalGraph_, currentTime_);
    result = true;
  } else {
    result = NeedsRepaint;
  }
  NeedsRepaint = false;
  return result;
}

bool TChildForm::Poll(bool& hasTiming, bool& frozen) {
  if (timing_.TimingSet()) hasTiming = !Frozen;
  frozen = Frozen;
  return frozen ? false : UpdateFrame();
}

void TChildForm::timingChanged(int decimals, float period, float offset) {
  ShownFrame = -1;
  if (OnTimingChanged) OnTimingChanged(decimals, period, offset);
  if (IMeasureHooks* measure = MeasureHooks()) measure->TimingChanged(decimals, period, offset);
  update();
}

IMeasureHooks* TChildForm::MeasureHooks() const {
  return dynamic_cast<IMeasureHooks*>(quickMeasure_.data());
}

void TChildForm::CompressionOptions() {
  // The clip stream's options dialog arrives with saving; until then there is nothing to choose.
}

void TChildForm::CopyFrameToClipboard() {
  if (!stream_) return;
  PGETFRAME getter = nullptr;
  if (!stream_->GetFrameOpen(getter)) return;
  int size = 0;
  const BITMAPINFOHEADER* dib = nullptr;
  if (stream_->GetFrame(getter, ShownFrame, size, dib)) {
    const QImage image = ImageFromDib(dib);
    if (!image.isNull()) {
      auto* mime = new QMimeData;
      mime->setImageData(image);
      // The packed DIB itself, for programs that paste device-independent bitmaps.
      mime->setData(QStringLiteral("image/bmp-dib"),
                    QByteArray(reinterpret_cast<const char*>(dib), size));
      QApplication::clipboard()->setMimeData(mime);
    }
  }
  stream_->GetFrameClose(getter);
}

void TChildForm::EditDescriptors() {
  if (!shared_.titlesEditor || !shared_.databases) return;
  if (shared_.titlesEditor->EditDescriptors(windowTitle(), this, Descriptor, *shared_.databases)) {
    DescriptorChanged = true;
    DescriptorAsked = false;
  }
}

void TChildForm::OpenQuickMeasure() {
  if (!QuickMeasureAllowed) return;
  if (!quickMeasure_ && CreateQuickMeasure)
    quickMeasure_ = CreateQuickMeasure(this, FrameCount() - 1);
  if (quickMeasure_) quickMeasure_->show();
  NeedsRepaint = true;
}

void TChildForm::OpenSignalGraph() {
  if (!SignalGraphAllowed) return;
  if (!signalGraph_ && CreateSignalGraph) signalGraph_ = CreateSignalGraph(this, shared_.registry);
  if (signalGraph_) signalGraph_->show();
}

void TChildForm::RestoreChildPlacement() {
  TPlacement p;
  p.left = p.top = kDefaultPosition;
  p.extra = int(ViewOptions);
  // Fitted to a monitor: an entry written on a monitor that has since been unplugged would
  // otherwise open the clip where nobody can reach it.
  ReadPlacementClamped(objectName(), shared_.registry, p);
  ViewOptions = std::uint32_t(p.extra);
  // Without an entry the window keeps no size of its own either: its first show sizes it to
  // its content, and the platform's default position goes with that size.
  storedPosition_ = p.left != kDefaultPosition && p.top != kDefaultPosition;
  storedSize_ = p.width > 0 && p.height > 0;
  if (storedPosition_) move(p.left, p.top);
  if (storedSize_) resize(p.width, p.height);
}

void TChildForm::TakeFreeName(const QString& base) {
  QStringList taken;
  if (QWidget* owner = parentWidget())
    for (const TChildForm* other : owner->findChildren<TChildForm*>(Qt::FindDirectChildrenOnly))
      if (other != this) taken << other->objectName();
  QString name = base;
  for (int n = 1; taken.contains(name); ++n) name = base + QStringLiteral("_%1").arg(n);
  setObjectName(name);
}

void TChildForm::SaveChildPlacement() {
  if (!shared_.registry || objectName().isEmpty()) return;
  SavePlacement(this, shared_.registry, int(ViewOptions));
}
