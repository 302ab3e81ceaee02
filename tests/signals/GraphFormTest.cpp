// The graph window: what a rebuild hands the graph, the cursor against the timeline, the Min
// panel, the font factor and the stored preferences.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "SignalKit.h"
#include "platform/RegIniFile.h"
#include "signals/GraphCursor.h"
#include "signals/GraphForm.h"
#include "signals/PESGraph.h"
#include "signals/SigInfo.h"

namespace {

using signalkit::Folder;

struct GraphWindow : ::testing::Test {
  void SetUp() override { testsupport::resetStore(); }
  // Adds the files, puts the first `overlay` pool items in the overlay group and the rest in
  // the separate group, and confirms the dialog.
  bool select(TGraphForm& form, const QStringList& files, int overlay, bool share = false) {
    TSigSelectDlg& dlg = form.SelectDialog();
    QTimer::singleShot(0, &dlg, [&dlg, overlay, share] {
      auto* pool = dlg.findChild<QListWidget*>("SrcList");
      while (pool->count() > 0) {
        pool->clearSelection();
        pool->item(0)->setSelected(true);
        const char* group = dlg.OverlayCount() < overlay ? "OverlayList" : "SeparateList";
        dlg.IncBtnClick(dlg.findChild<QListWidget*>(group));
      }
      dlg.findChild<QCheckBox*>("ShareAxisCB")->setChecked(share);
      dlg.findChild<QPushButton*>("OKBtn")->click();
    });
    return form.SelectSignals(files);
  }
  // One ASCII file per entry: time column in ms from 0, one sample a millisecond.
  QStringList ascii(std::initializer_list<std::vector<float>> curves) {
    QStringList files;
    char name[] = "c0.txt";
    for (const auto& y : curves) {
      QByteArray text = "t,v\n";
      for (std::size_t i = 0; i < y.size(); ++i)
        text += QByteArray::number(i) + "," + QByteArray::number(double(y[i]), 'g', 9) + "\n";
      files << folder.write(name, text);
      ++name[1];
    }
    return files;
  }
  Folder folder;
  TSigInfoRecord info;
  TRegIniFile store{QStringLiteral("\\Software\\Orvanta\\Lumetra")};
};

TEST_F(GraphWindow, ShorterCurvesEndWithNullsAtTheLongestCount) {
  TGraphForm form(nullptr, &store, info);
  ASSERT_TRUE(
      select(form, ascii({std::vector<float>(1000, 1.f), std::vector<float>(800, 2.f)}), 0));
  PESGraph& g = form.Graph();
  ASSERT_EQ(g.Subsets(), 2);
  ASSERT_EQ(g.Points(), 1000);
  EXPECT_EQ(g.PointX(1, 799), 799.f);
  for (int p : {800, 999}) {
    EXPECT_EQ(g.PointX(1, p), kGraphNull) << p;
    EXPECT_EQ(g.PointY(1, p), kGraphNull) << p;
  }
  EXPECT_EQ(g.PointY(0, 999), 1.f);
}

// A source's own null value marks samples within 1.0 of it as missing.
TEST_F(GraphWindow, OwnNullValueBecomesAGap) {
  using namespace signalkit;
  folder.write("n.R32", le<float>({-999.5f, -998.2f, -997.9f, 5.f}));
  const QString dat = folder.write(
      "n.dat", header("111,-999", {timeAxis(4, "0", "0.001"), channel("v", "REAL32", "n.R32", 4)}));
  TGraphForm form(nullptr, &store, info);
  ASSERT_TRUE(select(form, {dat}, 0));
  const float expected[] = {kGraphNull, kGraphNull, -997.9f, 5.f};
  for (int p = 0; p < 4; ++p) EXPECT_EQ(form.Graph().PointY(0, p), expected[p]) << p;
}

// The layout reaches the graph: three overlay with two separate, shared and not.
TEST_F(GraphWindow, LayoutIsHandedToTheGraph) {
  const QStringList files = ascii({{1, 2}, {1, 2}, {1, 2}, {1, 2}, {1, 2}});
  for (bool share : {true, false}) {
    TGraphForm form(nullptr, &store, info);
    ASSERT_TRUE(select(form, files, 3, share));
    PESGraph& g = form.Graph();
    EXPECT_EQ(g.SubsetsPerAxis(0), share ? 3 : 1);
    EXPECT_EQ(g.AxisCount(), share ? 3 : 5);
  }
}

TEST(GraphCursor, SetTimeAndTakeCursorTimeHonourTheTolerance) {
  const struct {
    float cursorX, t;
    bool moves;
  } setTimes[] = {{100.f, 100.4f, false}, {100.f, 102.f, true}, {100.f, 99.f, true}};
  for (const auto& c : setTimes) {
    TGraphCursor cursor;
    cursor.Tolerance = 1;
    EXPECT_EQ(cursor.NeedsMove(c.t, c.cursorX), c.moves) << c.t;
    EXPECT_EQ(cursor.CursorTime, c.t);
    EXPECT_FALSE(cursor.NeedsMove(c.t, c.cursorX + 50)) << "the same time again is ignored";
  }
  const struct {
    float t;
    bool taken;
  } takes[] = {{99.7f, false}, {99.0f, true}};
  for (const auto& c : takes) {
    TGraphCursor cursor;
    cursor.Tolerance = 1;
    cursor.UserMoved(100.f);
    float t = c.t;
    EXPECT_EQ(cursor.TakeCursorTime(t), c.taken) << c.t;
    EXPECT_EQ(t, c.taken ? 100.f : c.t);
    EXPECT_FALSE(cursor.TakeCursorTime(t)) << "a second call";
  }
}

TEST(GraphCursor, PointsAndLimits) {
  const float n = kGraphNull;
  const std::vector<float> y = {3, 1, n, 1, 7, 7};
  EXPECT_EQ(MinPoint(y, n), 1);  // the first of two minima
  EXPECT_EQ(MaxPoint(y, n), 4);
  EXPECT_EQ(MinPoint(std::vector<float>{n, n}, n), 0);
  const struct {
    double t, first, interval;
    int count, point;
  } points[] = {{2.5, 0, 1, 10, 2},  {3.5, 0, 1, 10, 4},     {-50, 0, 1, 10, 0},
                {1e30, 0, 1, 10, 9}, {5, 0, 0, 10, 9},       {5, 0, 1, 0, 0},
                {-5, 0, 0, 10, 0},   {7.4, -2, 0.5, 100, 19}};
  for (const auto& c : points)
    EXPECT_EQ(PointOfTime(c.t, c.first, c.interval, c.count), c.point) << c.t << " " << c.interval;
  EXPECT_EQ(FontFactor(1600, 2000), 0.5f);  // 0.4 raised
  EXPECT_EQ(FontFactor(1600, 600), 1.2f);   // 1.33 cut
  EXPECT_EQ(FontFactor(1600, 1000), 0.8f);
  EXPECT_EQ(ReadoutNumber(-0.25), "-0.250");
  EXPECT_EQ(CarryOverY(5, 0, 10, 100, 200), 150);
  EXPECT_EQ(CarryOverY(5, 3, 3, 100, 200), 100);
}

TEST_F(GraphWindow, CursorFollowsTheTimelineAndMinPanel) {
  TGraphForm form(nullptr, &store, info);
  ASSERT_TRUE(select(form, ascii({{4, 2, 9, 2, 5, 6, 7, 8, 9, 10}}), 0));
  form.SetTimeTolerance(1);
  form.SetTime(6.f);
  EXPECT_EQ(form.CursorPoint(), 6);
  EXPECT_FALSE(form.CursorMovedByUser());
  form.SetTime(6.4f);  // within the tolerance
  EXPECT_EQ(form.CursorPoint(), 6);
  form.MinMaxClick(false);
  EXPECT_EQ(form.CursorPoint(), 1);
  float t = 6.f;
  EXPECT_TRUE(form.TakeCursorTime(t));
  EXPECT_EQ(t, 1.f);
}

// Preferences survive a window; a colour value of another size or a settings block the graph
// cannot read falls back rather than half-loading.
TEST_F(GraphWindow, PreferencesRoundTripAndFallBack) {
  {
    TGraphForm form(nullptr, &store, info);
    EXPECT_EQ(form.Colors(), TGraphForm::kDefaultColors);
    ASSERT_TRUE(select(form, ascii({{1, 2}}), 1));
    form.show();
    form.close();
  }
  TRegIniFile graph(store.key() + "\\Graph Signals");
  EXPECT_EQ(graph.ReadBinaryData("", "Colors").size(), 56);
  EXPECT_EQ(graph.ReadString("Open", "Signal", "?"), "");
  graph.WriteBinaryData("", "Colors", QByteArray(55, '\x7f'));
  graph.WriteBinaryData("", "Settings", "not a block");
  TGraphForm again(nullptr, &store, info);
  EXPECT_EQ(again.Colors(), TGraphForm::kDefaultColors);
  EXPECT_EQ(again.Graph().Look().GridLineControl, sgNoGrid);
  EXPECT_TRUE(again.Graph().Look().ShowAnnotations);
}

}  // namespace
