// The selection dialog: what a file adds to the pool, how the move buttons obey the capacity,
// and what a failing file reports.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <deque>

#include "SignalKit.h"
#include "signals/SigInfo.h"
#include "signals/SigSelectDlg.h"

namespace {

using signalkit::Folder;

// Answers the confirmations of ASCII files from a script: 1 OK, 2 All, 0 Cancel; counts the
// ones that would have shown a dialog.
struct ScriptedInfo : TSigInfoRecord {
  bool Execute(bool& all) override {
    if (all) return true;
    ++shown;
    const int a = answers.empty() ? 1 : answers.front();
    if (!answers.empty()) answers.pop_front();
    all = a == 2;
    return a != 0;
  }
  std::deque<int> answers;
  int shown = 0;
};

struct SigSelect : ::testing::Test {
  void SetUp() override { testsupport::resetStore(); }
  QListWidget* list(const char* name) { return dlg.findChild<QListWidget*>(name); }
  QPushButton* button(const char* name) { return dlg.findChild<QPushButton*>(name); }
  QStringList texts(const char* name) {
    QStringList out;
    for (int i = 0; i < list(name)->count(); ++i) out << list(name)->item(i)->text();
    return out;
  }
  // n ASCII files named s00.txt ... added to the pool, all selected.
  void addAscii(int n, const char* prefix = "s") {
    QStringList files;
    for (int i = 0; i < n; ++i) {
      const QByteArray name = QByteArray(prefix) + QByteArray::number(i).rightJustified(2, '0');
      files << folder.write((name + ".txt").constData(), "t," + name + "\n0,1\n1,2\n");
    }
    dlg.AddFiles(files);
  }
  void selectPool(const QStringList& names) {
    list("SrcList")->clearSelection();
    for (int i = 0; i < list("SrcList")->count(); ++i)
      list("SrcList")->item(i)->setSelected(names.contains(list("SrcList")->item(i)->text()));
  }
  Folder folder;
  ScriptedInfo info;
  TSigSelectDlg dlg{info};
};

TEST_F(SigSelect, DiademFileOffersEveryChannelButTheTime) {
  using namespace signalkit;
  folder.write("d.R32", le<float>({1, 2, 3}));
  std::initializer_list<std::string> blocks = {
      timeAxis(3, "0", "0.001"),          channel("a", "REAL32", "d.R32", 3),
      channel("b", "REAL32", "d.R32", 3), channel("c", "REAL32", "d.R32", 3),
      channel("d", "REAL32", "d.R32", 3), channel("e", "REAL32", "d.R32", 3),
      channel("f", "REAL32", "d.R32", 3)};
  dlg.AddFiles({folder.write("d.dat", header("", blocks))});
  EXPECT_EQ(texts("SrcList"),
            (QStringList{"DIAdem.a", "DIAdem.b", "DIAdem.c", "DIAdem.d", "DIAdem.e", "DIAdem.f"}));
  EXPECT_TRUE(testsupport::script().shown.empty());
}

// Each refused file has its own box; the files around it are still added.
TEST_F(SigSelect, RefusedFilesAreReportedOneByOne) {
  const QString good = "t,x\n0,1\n1,2\n";
  const QStringList files = {folder.write("a.txt", good.toLatin1()),
                             folder.write("data.tdm", "x"),
                             folder.write("data.xls", "x"),
                             folder.write("noext", "x"),
                             folder.path("missing.dat"),
                             folder.write("titles.csv", "Run\r\n"),
                             folder.write("data.Csv", good.toLatin1())};
  info.answers = {1, 1, 0};  // a.txt, data.Csv accepted; no third dialog is asked for
  dlg.AddFiles(files);
  EXPECT_EQ(list("SrcList")->count(), 2) << texts("SrcList").join(",").toStdString();
  const auto& shown = testsupport::script().shown;
  const struct {
    const char* caption;
    const char* text;
  } boxes[] = {{"data.tdm Signal Not Added", "TDM not implemented"},
               {"data.xls Signal Not Added", "Unknown type of signal data file"},
               {"noext Signal Not Added", "Unknown type of signal data file"},
               {"missing.dat Signal Not Added", nullptr},
               {"titles.csv Signal Not Added", "Not an ASCII Signal File"}};
  ASSERT_EQ(shown.size(), std::size(boxes));
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].caption, boxes[i].caption);
    EXPECT_EQ(shown[i].icon, dialogs::Icon::Error);
    if (boxes[i].text) {
      EXPECT_EQ(shown[i].text, boxes[i].text);
    }
  }
}

TEST_F(SigSelect, AllAndCancelInTheInformationDialog) {
  const struct {
    std::deque<int> answers;
    int shown, added;
    bool promptAfter;
  } cases[] = {
      {{2}, 1, 3, false},       // All on the first: no more dialogs, prompt box unchecked
      {{1, 0, 1}, 3, 2, true},  // Cancel on the second adds nothing for it only
  };
  for (const auto& c : cases) {
    ScriptedInfo scripted;
    scripted.answers = c.answers;
    TSigSelectDlg one(scripted);
    testsupport::script().clear();
    QStringList files;
    for (const char* n : {"a.txt", "b.txt", "c.txt"}) files << folder.write(n, "t,x\n0,1\n1,2\n");
    one.AddFiles(files);
    EXPECT_EQ(scripted.shown, c.shown);
    EXPECT_EQ(one.findChild<QListWidget*>("SrcList")->count(), c.added);
    EXPECT_EQ(one.Prompt(), c.promptAfter);
    const auto& shown = testsupport::script().shown;
    if (c.added == 2) {
      ASSERT_EQ(shown.size(), 1u);
      EXPECT_EQ(shown[0].text, "Add Canceled");
      EXPECT_EQ(shown[0].caption, "b.txt Signal Not Added");
    }
  }
}

TEST_F(SigSelect, MovesKeepToTheCapacity) {
  addAscii(15);
  auto* overlay = list("OverlayList");
  auto* separate = list("SeparateList");
  // 10 overlay and 4 separate fill the capacity: no more may go in.
  dlg.IncAllBtnClick(separate);
  EXPECT_EQ(separate->count(), 14);
  for (int i = 0; i < 10; ++i) separate->item(i)->setSelected(true);
  dlg.ExcBtnClick(separate);
  dlg.IncAllBtnClick(overlay);
  ASSERT_EQ(overlay->count() + separate->count(), 14);
  EXPECT_EQ(overlay->count(), 10);
  for (const char* b : {"OverlayIncBtn", "OverlayIncAllBtn", "SeparateIncBtn", "SeparateIncAllBtn"})
    EXPECT_FALSE(button(b)->isEnabled()) << b;
  separate->clearSelection();
  separate->item(0)->setSelected(true);
  dlg.ExcBtnClick(separate);
  list("SrcList")->item(0)->setSelected(true);
  EXPECT_TRUE(button("SeparateIncBtn")->isEnabled());
  EXPECT_TRUE(button("OverlayIncAllBtn")->isEnabled());

  // Capacity 2 and a, b, c selected: c then b move, a stays.
  dlg.ExcAllBtnClick(overlay);
  dlg.ExcAllBtnClick(separate);
  dlg.IncAllBtnClick(separate);  // the pool's last 14 ...
  for (int i = 0; i < 2; ++i) separate->item(i)->setSelected(true);
  dlg.ExcBtnClick(separate);  // ... of which two come back: 12 held
  EXPECT_EQ(dlg.CapacityLeft(), 2);
  const QStringList pool = texts("SrcList");
  selectPool({pool[0], pool[1], pool[2]});
  dlg.IncBtnClick(overlay);
  EXPECT_EQ(texts("OverlayList"), (QStringList{pool[2], pool[1]}));
  EXPECT_EQ(texts("SrcList").first(), pool[0]);
  EXPECT_TRUE(list("SrcList")->item(0)->isSelected());
}

// Colours alone make OK worth pressing; the custom colours carry the 14 entries both ways.
TEST_F(SigSelect, EditedColoursEnableOk) {
  TSigSelectDlg::TColors colors{};
  for (std::size_t i = 0; i < colors.size(); ++i) colors[i] = std::uint32_t(i);
  dlg.SetColors(colors);
  EXPECT_FALSE(button("OKBtn")->isEnabled());
  dlg.SubsetColorsListBoxClick(3);  // cancelled: nothing changes
  EXPECT_FALSE(button("OKBtn")->isEnabled());
  std::vector<QColor> custom(14, QColor(0x10, 0x20, 0x30));
  testsupport::script().customColors.push_back(custom);
  dlg.SubsetColorsListBoxClick(3);
  EXPECT_TRUE(button("OKBtn")->isEnabled());
  EXPECT_EQ(testsupport::script().customOffered.at(0).at(13), ColorOfRef(13));
  EXPECT_EQ(dlg.Colors()[0], 0x302010u);
}

}  // namespace
