#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

// The zoom outline's geometry: which part of it lies under the pointer, how a drag moves or
// resizes it, and how it is kept inside its frame (the paint box) and above a minimum size.
// Coordinates are the frame's parent's; the pointer is given in the outline's own coordinates.
class TCropShape {
 public:
  // 0 none; 1 top-left, 2 top, 3 top-right, 4 left, 5 body, 6 right, 7 bottom-left,
  // 8 bottom, 9 bottom-right.
  enum Zone {
    None = 0,
    TopLeft,
    Top,
    TopRight,
    Left,
    Body,
    Right,
    BottomLeft,
    Bottom,
    BottomRight
  };
  static constexpr int kBorder = 5;
  static constexpr int kLeastMinimum = 8;

  TCropShape();

  void MouseDown(QPoint at);
  // Drags when a button went down on a resizable outline, else picks the zone under `at`.
  void MouseMove(QPoint at);
  void MouseUp();

  // Sets the bounds, kept inside the frame and at least the minimum size.
  void SetBounds(const QRect& bounds);
  // A new frame: the outline and the minimum size scale with it (right and bottom edges).
  void SetFrame(const QRect& frame);
  // A first placement: frame and bounds as given (clamped), nothing scaled.
  void Place(const QRect& frame, const QRect& bounds);

  QRect Bounds() const { return bounds_; }
  QRect Frame() const { return frame_; }
  int Zone() const { return zone_; }
  bool Dragging() const { return dragging_; }
  int MinimumSize() const { return minimum_; }

  bool Resizable = true;
  int DimensionStep = 0;

 private:
  static int zoneAt(QPoint at, QSize size);
  QRect dragged(QPoint at) const;

  int zone_ = None;
  QPoint grab_;
  QSize grabSize_;
  bool dragging_ = false;
  QRect frame_;  // right() + 1 and bottom() + 1 are the frame's right and bottom edges
  QRect bounds_{0, 0, 8, 8};
  int minimum_ = kLeastMinimum;
};

// The outline drawn over the paint box ("Cropper"): a rectangle in the outline colour with a
// clear inside, dragged by its edges, corners or body with the left button.
class TCropOutline : public QWidget {
  Q_OBJECT
 public:
  // A child of the paint box; its frame is the paint box's rectangle.
  explicit TCropOutline(QWidget* paintBox);

  TCropShape& Shape() { return shape_; }
  const TCropShape& Shape() const { return shape_; }
  void SetBounds(const QRect& bounds);
  void SetFrame(const QRect& frame);
  void Place(const QRect& frame, const QRect& bounds);
  QColor Color() const { return color_; }
  void SetColor(const QColor& color);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void apply();

  TCropShape shape_;
  QColor color_{Qt::red};
};
