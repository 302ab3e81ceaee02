// Building the main window's components: menus, tool bar and time panel.
#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

#include "app/AboutForm.h"
#include "app/Help.h"
#include "app/TimePanel.h"
#include "app/VarnelViewer.h"
#include "display/ChildForm.h"

namespace {
constexpr int kButtonSize = 25;
constexpr int kToolBarHeight = 31;
}  // namespace

QAction* TVarnelViewer::addItem(QMenu* menu, const char* name, const QString& caption) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QString::fromLatin1(name));
  if (menu)
    menu->addAction(action);
  else
    menuBar()->addAction(action);
  return action;
}

void TVarnelViewer::createMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("File1"));
  auto forChild = [this](void (TChildForm::*command)()) {
    return [this, command] {
      if (activeChild_) (activeChild_->*command)();
    };
  };
  connect(addItem(file, "Open1", QStringLiteral("&Open...")), &QAction::triggered, this,
          &TVarnelViewer::OpenFramesClick);
  addItem(file, "OpenImager1", QStringLiteral("Open &Imager..."));
  connect(addItem(file, "CloseItem", QStringLiteral("&Close")), &QAction::triggered, this,
          &TVarnelViewer::CloseItemClick);
  connect(addItem(file, "CloseAllItem", QStringLiteral("C&lose All")), &QAction::triggered, this,
          &TVarnelViewer::CloseAllItemClick);
  connect(addItem(file, "SaveAs", QStringLiteral("&Save As...")), &QAction::triggered, this,
          forChild(&TChildForm::SaveClipAs));
  addItem(file, "DeleteSourceFiles", QStringLiteral("&Delete Source Files"));
  file->addSeparator();
  connect(addItem(file, "CompressionOptions", QStringLiteral("&Video Save Options")),
          &QAction::triggered, this, forChild(&TChildForm::CompressionOptions));
  file->addSeparator();
  connect(addItem(file, "Exit1", QStringLiteral("E&xit")), &QAction::triggered, this,
          &QWidget::close);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("Edit1"));
  QAction* copy = addItem(edit, "CopyFrameItem", QStringLiteral("&Copy Frame"));
  copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  connect(copy, &QAction::triggered, this, forChild(&TChildForm::CopyFrameToClipboard));
  edit->addSeparator();
  connect(addItem(edit, "DefaultTitlesItem", QStringLiteral("&Default Titles...")),
          &QAction::triggered, this, &TVarnelViewer::DefaultTitlesItemClick);
  connect(addItem(edit, "DescriptorsItem", QStringLiteral("&File Descriptors...")),
          &QAction::triggered, this, forChild(&TChildForm::EditDescriptors));
  addItem(edit, "AssignDatabaseFiles", QStringLiteral("&Assign Database Files..."));

  QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
  tools->setObjectName(QStringLiteral("Tools1"));
  connect(addItem(tools, "QMeasureItem", QStringLiteral("Quick &Measure...")), &QAction::triggered,
          this, forChild(&TChildForm::OpenQuickMeasure));
  connect(addItem(tools, "SGraphItem", QStringLiteral("Signal &Graphing...")), &QAction::triggered,
          this, [this] { graphLink_->SelectSignals(); });
  tools->addSeparator();
  connect(addItem(tools, "ffdshowconfiguration1", QStringLiteral("&ffdshow Configuration...")),
          &QAction::triggered, this, [this] { about_->hide(); });

  connect(addItem(nullptr, "Minimize1", QStringLiteral("&Hide")), &QAction::triggered, this,
          &TVarnelViewer::minimizeApplication);

  QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("Hel&p"));
  helpMenu->setObjectName(QStringLiteral("Help1"));
  QAction* hints = addItem(helpMenu, "ShowHints", QStringLiteral("&Show Hints"));
  hints->setCheckable(true);
  connect(hints, &QAction::triggered, this, &TVarnelViewer::ShowHintsClick);
  helpMenu->addSeparator();
  connect(addItem(helpMenu, "ContactUs1", QStringLiteral("&Contact Us")), &QAction::triggered, this,
          [this] { help::ShowTopic(programDirectory_, QStringLiteral("::/html/vmak75m8.htm")); });
  connect(addItem(helpMenu, "HelpTopics1", QStringLiteral("&Topics")), &QAction::triggered, this,
          [this] { help::ShowContents(programDirectory_); });
  connect(addItem(helpMenu, "ffdshowhelp1", QStringLiteral("&ffdshow")), &QAction::triggered, this,
          [this] { help::ShowTopic(programDirectory_, QStringLiteral("::/html/ffdshow.htm")); });
  helpMenu->addSeparator();
  connect(addItem(helpMenu, "About2", QStringLiteral("&About...")), &QAction::triggered, this,
          [this] { about_->ShowAbout(); });
}

QToolButton* TVarnelViewer::addButton(const char* name, const QString& hint, int icon) {
  auto* button = new QToolButton(toolBarPanel_);
  button->setObjectName(QString::fromLatin1(name));
  button->setToolTip(hint);
  button->setAutoRaise(true);
  button->setIcon(style()->standardIcon(QStyle::StandardPixmap(icon)));
  button->setFixedSize(kButtonSize, kButtonSize);
  toolButtons_ << button;
  return button;
}

void TVarnelViewer::createToolBar() {
  toolBarPanel_ = new QWidget;
  toolBarPanel_->setObjectName(QStringLiteral("ToolBarPanel"));
  toolBarPanel_->setFixedHeight(kToolBarHeight);
  auto trigger = [this](QToolButton* b, const char* action) {
    QAction* a = findChild<QAction*>(QString::fromLatin1(action));
    connect(b, &QToolButton::clicked, a, &QAction::trigger);
  };
  trigger(addButton("OpenBtn", QStringLiteral("Open"), QStyle::SP_DialogOpenButton), "Open1");
  addButton("AttachBtn", QStringLiteral("Attach"), QStyle::SP_FileLinkIcon);
  trigger(addButton("CloseAllBtn", QStringLiteral("Close All"), QStyle::SP_DialogCloseButton),
          "CloseAllItem");
  trigger(addButton("SaveBtn", QStringLiteral("Save Video Clip As"), QStyle::SP_DialogSaveButton),
          "SaveAs");
  trigger(addButton("CompressionOptionsBtn", QStringLiteral("Compression Options"),
                    QStyle::SP_FileDialogDetailedView),
          "CompressionOptions");
  trigger(addButton("DescriptorsBtn", QStringLiteral("Descriptors"), QStyle::SP_FileDialogInfoView),
          "DescriptorsItem");
  trigger(addButton("QMeasureBtn", QStringLiteral("Quick Measurements"),
                    QStyle::SP_FileDialogContentsView),
          "QMeasureItem");
  trigger(addButton("SGraphBtn", QStringLiteral("Global Signal Graphing"), QStyle::SP_DriveNetIcon),
          "SGraphItem");
  addButton("CleanupBtn", QStringLiteral("Cleanup"), QStyle::SP_TrashIcon);
  addButton("RecordBtn", QStringLiteral("Record"), QStyle::SP_DialogYesButton);
  addButton("PresentationBtn", QStringLiteral("Presentation"), QStyle::SP_DesktopIcon)->hide();
}

void TVarnelViewer::createTimePanel() {
  timePanel_ = new TTimePanel(timeline_);
  timePanel_->OnCommand = [this] { hurryTick(); };
}

void TVarnelViewer::layoutToolBar() {
  int x = 5;
  for (QToolButton* b : toolButtons_) {
    if (b->isHidden()) continue;
    b->move(x, (kToolBarHeight - kButtonSize) / 2);
    x += b->width();
  }
  const int width = std::max(x, timePanel_->width()) + 13;
  resize(std::clamp(width, minimumWidth(), maximumWidth()), height());
}
