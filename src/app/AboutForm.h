#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QFrame;

// The about box, also shown without a border as the start-up splash. Both fade in; the splash
// then fades out by itself, the menu's box stays until closed.
class TAboutForm : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutForm(QWidget* parent = nullptr);

  void SetTexts(const QString& version, const QString& legalNotice, const QString& owner);
  void ShowSplash(const QString& title);
  void ShowAbout();
  // One step of the fade, every 75 ms while fading; public so that tests can drive it.
  void FadeTick();
  int Opacity() const { return opacity_; }
  bool IsSplash() const { return splash_; }

 protected:
  void mouseMoveEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  enum class Fade { None, In, Out };
  void setOpacity(int value);
  void startFadeIn();

  QLabel* titleLabel_;
  QLabel* versionLabel_;
  QLabel* legalLabel_;
  QLabel* logoLabel_;
  QFrame* ownerPanel_;
  QLabel* ownerLabel_;
  QLabel* oemLogo_;
  QTimer fadeTimer_;
  Fade fade_ = Fade::None;
  int opacity_ = 255;
  bool splash_ = false;
};
