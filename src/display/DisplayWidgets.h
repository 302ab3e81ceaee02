#pragma once

#include <QImage>
#include <QSlider>
#include <QWidget>
#include <functional>

// The display window's image area: the whole frame stretched onto the box, each screen pixel
// taking its nearest image pixel (no smoothing, so measured pixels keep their values).
class TPaintBox : public QWidget {
  Q_OBJECT
 public:
  explicit TPaintBox(QWidget* parent = nullptr);
  void SetImage(const QImage* image) { image_ = image; }
  // Called on every paint before the frame is drawn over by overlays.
  std::function<void()> OnPaint;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  const QImage* image_ = nullptr;
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
