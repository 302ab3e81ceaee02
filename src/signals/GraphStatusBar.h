#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>

// The graph window's status bar: five raised panels that act as push buttons ("Controls",
// "Print", "Signals", "Min", "Max") and two lowered read-outs that share the width left. A
// press lowers a button; moving off it (onto another panel or within 3 pixels of the bar's
// top or side edges) raises it again and cancels; releasing on it runs its action.
class TGraphStatusBar : public QWidget {
  Q_OBJECT
 public:
  enum { kControls, kPrint, kSignals, kMin, kMax, kX, kY, kPanelCount };

  explicit TGraphStatusBar(QWidget* parent = nullptr);

  QString Text(int panel) const { return panels_.at(std::size_t(panel)).text; }
  void SetText(int panel, const QString& text);
  QRect PanelRect(int panel) const;
  // The panel held down, -1 for none.
  int PressedPanel() const { return pressed_; }
  // Panel width, in pixels, as laid out for the current width.
  int PanelWidth(int panel) const { return panels_.at(std::size_t(panel)).width; }

  std::function<void(int panel)> OnPanelClick;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  struct TPanel {
    QString text;
    int width = 0;
    bool raised = true;
  };
  int PanelAt(QPoint p) const;
  bool NearEdge(QPoint p) const;
  void Release();

  std::array<TPanel, kPanelCount> panels_;
  int pressed_ = -1;
};
