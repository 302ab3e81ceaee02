// The display window's zoom: the outline over the paint box, the zoom window, the zoomed part
// of the frame and the "_Zoom" entry.

#include "display/CropShape.h"
#include "display/DisplayForm.h"

QString TDisplayForm::zoomEntryName() const {
  return objectName() + QStringLiteral("_Zoom");
}

TCropOutline* TDisplayForm::Cropper() {
  if (!cropper_) {
    cropper_ = new TCropOutline(paintBox_);
    cropper_->hide();
  }
  return cropper_;
}

// The first layout creates the zoom window and takes the magnifications from the entry before
// the window is sized by them; the outline follows once the paint box has its size.
void TDisplayForm::prepareZoom() {
  if (zoomForm_) return;
  zoomForm_ = new TZoomForm(this, this);
  zoomForm_->setObjectName(zoomEntryName());
  const TZoomEntry entry = zoom::ReadEntry(Registry(), zoomEntryName(), paintBox_->size());
  zoom_.ZoomPercent = entry.zoomPercent;
  zoom_.FullPercent = entry.fullPercent;
  zoomForm_->SetBarPercent(zoom_.Zoomed ? zoom_.ZoomPercent : zoom_.FullPercent);
  pendingOutline_ = true;
}

void TDisplayForm::finishZoom() {
  if (zoom_.Zoomed) return;
  const QRect frame = paintBox_->rect();
  if (std::exchange(pendingOutline_, false))
    Cropper()->Place(frame, zoom::ReadEntry(Registry(), zoomEntryName(), frame.size()).outline);
  else
    Cropper()->SetFrame(frame);
}

void TDisplayForm::saveZoomEntry() {
  if (!zoomForm_) return;
  zoom::WriteEntry(Registry(), zoomEntryName(),
                   {Cropper()->Shape().Bounds(), zoom_.ZoomPercent, zoom_.FullPercent});
}

TImageMapping TDisplayForm::zoomedMapping() const {
  return TImageMapping::Zoomed(imageMaxX_, imageMaxY_, ZoomRectInImage(), paintBox_->size());
}

// The image pixels drawn under the outline in the full view, so that zooming in shows exactly
// what was outlined.
QRect TDisplayForm::ZoomRectInImage() const {
  if (!cropper_) return QRect(0, 0, imageMaxX_ + 1, imageMaxY_ + 1);
  const TCropShape& shape = cropper_->Shape();
  return TImageMapping::Full(imageMaxX_, imageMaxY_, shape.Frame().size())
      .ImageRectUnder(shape.Bounds());
}

void TDisplayForm::SetOutlineVisible(bool visible) {
  Cropper()->setVisible(visible);
}

bool TDisplayForm::OutlineVisible() const {
  return cropper_ && cropper_->isVisibleTo(paintBox_);
}

QColor TDisplayForm::OutlineColor() const {
  return cropper_ ? cropper_->Color() : QColor(Qt::red);
}

void TDisplayForm::SetOutlineColor(const QColor& color) {
  Cropper()->SetColor(color);
}

void TDisplayForm::UnzoomtoFullFrameClick() {
  SetOutlineVisible(zoom_.Zoomed && OutlineVisible());
  zoom_.Zoomed = false;
  LayoutForZoom();
}

void TDisplayForm::MoveResizeOutlineItemClick() {
  zoom_.Zoomed = false;
  SetOutlineVisible(true);
  LayoutForZoom();
}

void TDisplayForm::LayoutForZoom() {
  Layout();
  paintBox_->update();
}

void TDisplayForm::SizeAndZoomClick() {
  prepareZoom();
  zoomForm_->ShowOnTop();
}
