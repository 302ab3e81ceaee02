#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>

class QCheckBox;
class QRadioButton;
class QSlider;
class QToolButton;
class TRegIniFile;

// A display window's zoom: whether the outlined part fills the window, and the magnification
// percentages of the full frame and of the zoomed part.
struct TZoomState {
  bool Zoomed = false;
  int ZoomPercent = 100;
  int FullPercent = 100;
};

// The "_Zoom" entry in "Desktop": "top,left,width,height,zoom%,full%", the outline in paint-box
// coordinates.
struct TZoomEntry {
  QRect outline;
  int zoomPercent = 100;
  int fullPercent = 100;
};

namespace zoom {

// The smallest magnification the bar offers, and the largest a window is ever laid out at (the
// layout raises a one-pixel image to 120 pixels).
constexpr int kLeastPercent = 13;
constexpr int kMostPercent = 12000;

int PercentOfPosition(int position);
int PositionOfPercent(int percent);

// The outline without an entry: a quarter of the paint box in from its top-left corner, half
// of it wide and high.
QRect DefaultOutline(QSize paintBox);
// Fields missing or not numbers keep the defaults (DefaultOutline, 100 %, 100 %); a stored
// zoom% below 13 becomes 100 and a full% below 13 becomes 50; larger ones than any layout
// makes are cut to kMostPercent.
TZoomEntry ReadEntry(const TRegIniFile* reg, const QString& name, QSize paintBox);
void WriteEntry(TRegIniFile* reg, const QString& name, const TZoomEntry& entry);

}  // namespace zoom

// What the zoom window asks of the display window it belongs to.
class IZoomHost {
 public:
  virtual ~IZoomHost() = default;
  virtual TZoomState& ZoomState() = 0;
  virtual void SetOutlineVisible(bool visible) = 0;
  virtual QColor OutlineColor() const = 0;
  virtual void SetOutlineColor(const QColor& color) = 0;
  virtual void UnzoomtoFullFrameClick() = 0;
  virtual void MoveResizeOutlineItemClick() = 0;
  // Lays the display window out again for a new magnification.
  virtual void LayoutForZoom() = 0;
};

// "Magnification and Zoom": full frame, editing the outline or the zoomed view, the
// magnification bar and the outline colour of one display window.
class TZoomForm : public QWidget {
  Q_OBJECT
 public:
  TZoomForm(QWidget* owner, IZoomHost* host);

  // Shown from the menu: stays on top, centred on the display window.
  void ShowOnTop();

  void HideRBClick();
  void ShowRBClick();
  void ZoomRBClick();
  void ZoomBarChange(int position);
  void SpeedButton1Click();
  // Moves the bar to a percentage without counting it as the user's change.
  void SetBarPercent(int percent);

 protected:
  void changeEvent(QEvent* e) override;

 private:
  QRadioButton* radio(const char* name, const QString& caption);

  IZoomHost* host_;
  QRadioButton* hideRB_ = nullptr;
  QRadioButton* showRB_ = nullptr;
  QRadioButton* zoomRB_ = nullptr;
  QSlider* zoomBar_ = nullptr;
  QToolButton* colorButton_ = nullptr;
  QCheckBox* relRefXB_ = nullptr;
  int lastBarPosition_ = 8;
};
