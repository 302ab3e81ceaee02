#pragma once

#include <QImage>
#include <QSlider>
#include <QWidget>
#include <functional>

#include "display/ImageMapping.h"

// The display window's image area: the frame, or its zoomed part, stretched onto the box
// through the window's image mapping, each logical pixel the image pixel the mapping puts
// under it (no smoothing, so measured pixels keep their values).
class TPaintBox : public QWidget {
  Q_OBJECT
 public:
  explicit TPaintBox(QWidget* parent = nullptr);
  void SetImage(const QImage* image) { image_ = image; }
  // Called on every paint after the frame is drawn, to draw over it.
  std::function<void(QPainter&)> OnPaint;
  // What the box shows and where; without it the whole frame fills the box.
  std::function<TImageMapping()> Mapping;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  const QImage* image_ = nullptr;
  // The last stretched picture, kept while frame, source and size stay.
  QImage picture_;
  qint64 pictureKey_ = 0;
  QRect pictureSource_;
};

// The frame slider with a selection of frames (the local play loop). A drag with Shift held
// selects the frames between press and release.
class TFrameBar : public QSlider {
  Q_OBJECT
 public:
  explicit TFrameBar(QWidget* parent = nullptr);
  int SelStart() const { return selStart_; }
  int SelEnd() const { return selEnd_; }
  void SetSelStart(int frame);
  void SetSelEnd(int frame);
  void ClearSelection();
  // A selection dragged by the user: first and last frame.
  std::function<void(int, int)> OnSelect;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  int valueAt(int x) const;

  int selStart_ = 0;
  int selEnd_ = 0;
  int dragFrom_ = -1;
};
