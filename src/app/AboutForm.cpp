#include "app/AboutForm.h"

#include <QApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int kFadeStepMs = 75;

// The logo is drawn rather than shipped: a lens ring over a timeline.
QPixmap drawLogo(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, size, size);
  g.setColorAt(0, QColor(30, 90, 160));
  g.setColorAt(1, QColor(10, 30, 70));
  p.setBrush(g);
  p.setPen(Qt::NoPen);
  p.drawEllipse(2, 2, size - 4, size - 4);
  p.setBrush(QColor(240, 200, 60));
  p.drawEllipse(size / 3, size / 3, size / 3, size / 3);
  p.setPen(QPen(Qt::white, 2));
  for (int i = 1; i < 6; ++i) p.drawLine(size * i / 6, size - 10, size * i / 6, size - 4);
  return pm;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutForm"));
  setWindowTitle(QStringLiteral("About ") + QApplication::applicationName());
  setMouseTracking(true);
  auto* layout = new QVBoxLayout(this);
  logoLabel_ = new QLabel(this);
  logoLabel_->setObjectName(QStringLiteral("SplashLogo"));
  logoLabel_->setPixmap(drawLogo(64));
  logoLabel_->setAlignment(Qt::AlignCenter);
  titleLabel_ = new QLabel(this);
  titleLabel_->setObjectName(QStringLiteral("TitleLabel"));
  QFont big = titleLabel_->font();
  big.setPointSize(big.pointSize() + 4);
  big.setBold(true);
  titleLabel_->setFont(big);
  titleLabel_->setAlignment(Qt::AlignCenter);
  versionLabel_ = new QLabel(this);
  versionLabel_->setObjectName(QStringLiteral("VersionLabel"));
  versionLabel_->setAlignment(Qt::AlignCenter);
  legalLabel_ = new QLabel(this);
  legalLabel_->setObjectName(QStringLiteral("LegalLabel"));
  legalLabel_->setAlignment(Qt::AlignCenter);
  ownerPanel_ = new QFrame(this);
  ownerPanel_->setObjectName(QStringLiteral("OwnerPanel"));
  ownerPanel_->setFrameShape(QFrame::StyledPanel);
  auto* ownerLayout = new QVBoxLayout(ownerPanel_);
  oemLogo_ = new QLabel(ownerPanel_);
  oemLogo_->setObjectName(QStringLiteral("OEMLOGO"));
  oemLogo_->setPixmap(drawLogo(40));
  oemLogo_->setAlignment(Qt::AlignCenter);
  ownerLabel_ = new QLabel(ownerPanel_);
  ownerLabel_->setObjectName(QStringLiteral("OwnerLabel"));
  ownerLabel_->setAlignment(Qt::AlignCenter);
  ownerLayout->addWidget(oemLogo_);
  ownerLayout->addWidget(ownerLabel_);
  ownerPanel_->setFixedHeight(oemLogo_->pixmap().height() + 80);
  ownerPanel_->hide();
  for (QWidget* w : std::initializer_list<QWidget*>{logoLabel_, titleLabel_, versionLabel_,
                                                    legalLabel_, ownerPanel_}) {
    layout->addWidget(w);
    w->setMouseTracking(true);
    w->installEventFilter(this);
  }
  fadeTimer_.setInterval(kFadeStepMs);
  connect(&fadeTimer_, &QTimer::timeout, this, &TAboutForm::FadeTick);
}

void TAboutForm::SetTexts(const QString& version, const QString& legalNotice,
                          const QString& owner) {
  versionLabel_->setText(version);
  legalLabel_->setText(legalNotice);
  ownerLabel_->setText(owner);
  ownerPanel_->setVisible(!owner.isEmpty());
}

void TAboutForm::ShowSplash(const QString& title) {
  splash_ = true;
  titleLabel_->setText(title);
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setWindowModality(Qt::NonModal);
  startFadeIn();
}

void TAboutForm::ShowAbout() {
  if (isVisible() && !splash_) return;
  splash_ = false;
  titleLabel_->setText(QStringLiteral("Motion Analysis ") + QApplication::applicationName());
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  setWindowTitle(QStringLiteral("About ") + QApplication::applicationName());
  setWindowModality(Qt::ApplicationModal);
  startFadeIn();
}

void TAboutForm::startFadeIn() {
  setOpacity(0);
  fade_ = Fade::In;
  show();
  fadeTimer_.start();
}

void TAboutForm::FadeTick() {
  if (fade_ == Fade::In) {
    if (opacity_ + 12 > 242) {
      setOpacity(255);
      fade_ = splash_ ? Fade::Out : Fade::None;
    } else {
      setOpacity(opacity_ + 12);
    }
  } else if (fade_ == Fade::Out) {
    setOpacity(opacity_ - 5);
    if (opacity_ < 6) {
      fade_ = Fade::None;
      hide();
    }
  }
  if (fade_ == Fade::None) fadeTimer_.stop();
}

void TAboutForm::setOpacity(int value) {
  opacity_ = value;
  setWindowOpacity(value / 255.0);
}

void TAboutForm::mouseMoveEvent(QMouseEvent* e) {
  setOpacity(245);
  QDialog::mouseMoveEvent(e);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseMove) setOpacity(245);
  return QDialog::eventFilter(watched, e);
}
