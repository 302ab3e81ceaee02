// The graph control: band layout, gaps, cursor, zoom, pointer and keys, the look block, exports.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <vector>

#include "SignalKit.h"
#include "signals/GraphBands.h"
#include "signals/GraphCustomiseDialog.h"
#include "signals/GraphExport.h"
#include "signals/PESGraph.h"

namespace {

// A graph laid out as the graph window lays it out; subset s holds points p at time p ms with
// value s * 10 + p.
void Fill(PESGraph& g, int subsets, int overlay, bool share, int points = 11) {
  const TGraphBands bands(subsets, overlay, share);
  g.resize(800, 600);
  g.SetSubsets(subsets);
  g.SetPoints(points);
  g.ClearAxisLayout();
  for (int a = 0; a < bands.AxisCount(); ++a) {
    g.SetSubsetsPerAxis(a, bands.SubsetsOnAxis(a));
    if (bands.AxesInBand(a) > 1) g.SetOverlapAxes(a, bands.AxesInBand(a));
  }
  for (int s = 0; s < subsets; ++s)
    for (int p = 0; p < points; ++p) {
      g.SetPointX(s, p, float(p));
      g.SetPointY(s, p, float(s * 10 + p));
    }
  g.CursorMode = sgCrossHair;
  g.MouseCursorControl = true;
  g.AllowZooming = sgHorzPlusVertZooming;
  g.PEactions(peRebuild);
}

QWidget* PlotOf(PESGraph& g) {
  return g.findChild<QWidget*>(QStringLiteral("GraphPlot"));
}

void Mouse(PESGraph& g, QEvent::Type type, QPoint at) {
  const Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent e(type, QPointF(at), QPointF(PlotOf(g)->mapToGlobal(at)), b, held, Qt::NoModifier);
  QApplication::sendEvent(PlotOf(g), &e);
}

// The band layout, and the graph laid out by it: overlay subsets share a band, and an axis
// when shared; a band is named by its first axis.
TEST(PESGraph, AxesAndBandsFollowTheOverlayAndSeparateLayout) {
  const struct {
    int n, k;
    bool share;
    std::vector<int> axisOf, bandOf, subsetsOnAxis;
    int bands;
  } cases[] = {
      {5, 3, true, {0, 0, 0, 1, 2}, {0, 0, 0, 1, 2}, {3, 1, 1}, 3},
      {5, 3, false, {0, 1, 2, 3, 4}, {0, 0, 0, 3, 4}, {1, 1, 1, 1, 1}, 3},
      {5, 0, false, {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}, {1, 1, 1, 1, 1}, 5},
      {3, 0, true, {0, 1, 2}, {0, 1, 2}, {1, 1, 1}, 3},
      {2, 2, true, {0, 0}, {0, 0}, {2}, 1},
      {1, 1, true, {0}, {0}, {1}, 1},
      {0, 0, false, {}, {}, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.n << " subsets, " << c.k << " overlay, " << c.share);
    const TGraphBands b(c.n, c.k, c.share);
    EXPECT_EQ(b.BandCount(), c.bands);
    ASSERT_EQ(b.AxisCount(), int(c.subsetsOnAxis.size()));
    for (int a = 0; a < b.AxisCount(); ++a)
      EXPECT_EQ(b.SubsetsOnAxis(a), c.subsetsOnAxis[std::size_t(a)]) << a;
    PESGraph g;
    if (c.n > 0) Fill(g, c.n, c.k, c.share);
    for (int i = 0; i < c.n; ++i) {
      EXPECT_EQ(b.AxisOf(i), c.axisOf[std::size_t(i)]) << i;
      EXPECT_EQ(b.BandOf(i), c.bandOf[std::size_t(i)]) << i;
      EXPECT_EQ(b.BandOfAxis(b.AxisOf(i)), b.BandOf(i)) << i;
      EXPECT_EQ(g.AxisOfSubset(i), c.axisOf[std::size_t(i)]) << i;
      EXPECT_EQ(g.BandOfAxis(g.AxisOfSubset(i)) == 0, c.bandOf[std::size_t(i)] == 0) << i;
    }
    if (c.n > 0) {
      EXPECT_EQ(g.AxisCount(), b.AxisCount());
      EXPECT_EQ(g.BandCount(), c.bands);
    }
  }
}

// A shorter curve's null tail, a gap inside and a missing time export as empty fields; nothing
// null is turned into a number.
TEST(PESGraph, CsvKeepsGapsEmptyAndQuotesLabels) {
  PESGraph g;
  g.SetSubsets(2);
  g.SetPoints(3);
  g.SetSubsetLabel(0, QStringLiteral("a,\"b\""));
  g.SetSubsetLabel(1, QStringLiteral("c"));
  const std::vector<float> x{0, 0.5f, 1}, y{1.25f, kGraphNull, -3};
  g.SetSubsetValues(0, x, y);
  g.SetSubsetValues(1, std::vector<float>{0, 0.5f}, std::vector<float>{7, 8});
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  ASSERT_TRUE(WriteGraphCsv(g, out));
  EXPECT_EQ(out.data(),
            "Point,\"a,\"\"b\"\" X\",\"a,\"\"b\"\" Y\",c X,c Y\r\n"
            "0,0,1.25,0,7\r\n"
            "1,0.5,,0.5,8\r\n"
            "2,1,-3,,\r\n");
  QBuffer closed;  // a device that refuses writes
  EXPECT_FALSE(WriteGraphCsv(g, closed));
}

TEST(PESGraph, PixelsConvertToTheBandUnderThemAndItsScale) {
  PESGraph g;
  Fill(g, 3, 0, false);
  const QRect plot = g.PlotRect();
  ASSERT_FALSE(plot.isEmpty());
  int axis = -1;
  double x = 0, y = 0;
  // Bottom band, left edge: the first time; below the plot still converts (a click under
  // the time axis places the cursor).
  ASSERT_TRUE(g.ConvPixelToGraph(QPoint(plot.left(), plot.bottom() + 15), axis, x, y));
  EXPECT_EQ(axis, 2);
  EXPECT_NEAR(x, 0.0, 0.05);
  ASSERT_TRUE(g.ConvPixelToGraph(QPoint(plot.center().x(), plot.top() + 2), axis, x, y));
  EXPECT_EQ(axis, 0);
  EXPECT_NEAR(x, 5.0, 0.1);
  EXPECT_GT(y, g.ManualMinY());
  EXPECT_FALSE(g.ConvPixelToGraph(QPoint(plot.left() - 3, plot.center().y()), axis, x, y));
  EXPECT_FALSE(PESGraph().ConvPixelToGraph(QPoint(10, 10), axis, x, y));
}

TEST(PESGraph, ClickMovesTheCursorDragZoomsUndoRestores) {
  PESGraph g;
  Fill(g, 2, 0, false);
  std::vector<std::string> events;
  g.OnPreCursorMove = [&] { events.push_back("pre"); };
  g.OnCursorMoved = [&] { events.push_back("moved"); };
  g.OnZoomIn = [&] { events.push_back("in"); };
  g.OnZoomOut = [&] { events.push_back("out"); };
  const QRect plot = g.PlotRect();
  const int y = plot.top() + 10;
  const int at7 = plot.left() + int(plot.width() * 0.7);
  Mouse(g, QEvent::MouseButtonPress, QPoint(at7, y));
  Mouse(g, QEvent::MouseButtonRelease, QPoint(at7, y));
  EXPECT_EQ(g.CursorPoint(), 7);
  QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  QApplication::sendEvent(PlotOf(g), &right);
  EXPECT_EQ(g.CursorPoint(), 8);

  const int at2 = plot.left() + int(plot.width() * 0.2),
            at4 = plot.left() + int(plot.width() * 0.4);
  Mouse(g, QEvent::MouseButtonPress, QPoint(at2, y));
  Mouse(g, QEvent::MouseMove, QPoint(at4, y + 30));
  Mouse(g, QEvent::MouseButtonRelease, QPoint(at4, y + 30));
  EXPECT_TRUE(g.Zoomed());
  EXPECT_NEAR(g.ZoomMinX(), 2.0, 0.1);
  EXPECT_NEAR(g.ZoomMaxX(), 4.0, 0.1);
  EXPECT_EQ(g.CursorPoint(), 8);  // a drag is no click
  g.PEactions(peUndoZoom);
  g.PEactions(peUndoZoom);  // not zoomed: no second event
  EXPECT_FALSE(g.Zoomed());
  EXPECT_NEAR(g.ZoomMaxX(), 10.0, 1e-9);
  EXPECT_EQ(events, (std::vector<std::string>{"pre", "moved", "pre", "moved", "in", "out"}));
  g.SetCursorPoint(1000);  // clamped, and a set by the owner is no user move
  EXPECT_EQ(g.CursorPoint(), 10);
  EXPECT_EQ(events.size(), 6u);
}

TEST(PESGraph, LookBlockRoundTripsAndRefusesWhatItCannotRead) {
  TGraphLook look;
  look.DeskColor = QColor(1, 2, 3);
  look.LabelFont = QStringLiteral("Font=With=Equals");
  look.DataPrecision = sgOneDecimal;
  look.GridLineControl = sgNoGrid;
  look.LineWidth = 2.5;
  look.ShowAnnotations = true;
  look.Annotations = {{-12.5, QStringLiteral("impact; x=1")}, {40, QStringLiteral("line\nbreak")}};
  TGraphLook back;
  ASSERT_TRUE(LoadGraphLook(StoreGraphLook(look), back));
  look.Annotations[1].text = QStringLiteral("line break");  // one line per entry
  EXPECT_EQ(back, look);

  const QByteArray good = StoreGraphLook(TGraphLook());
  const struct {
    const char* why;
    QByteArray block;
    bool loads;
  } cases[] = {
      {"empty", "", false},
      {"other header", "LumetraGraphLook 2\n", false},
      {"colour not #rrggbb", good + "DeskColor=red\n", false},
      {"line width out of range", good + "LineWidth=1e300\n", false},
      {"precision out of range", good + "DataPrecision=4\n", false},
      {"number with trailing text", good + "FontSize=1x\n", false},
      {"line without =", good + "Garbage\n", false},
      {"annotation without time", good + "Annotation=;text\n", false},
      {"oversized", good + QByteArray(kGraphLookMaxBytes, '\n'), false},
      {"key of a newer block", good + "Shading=3\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    TGraphLook l;
    l.TextColor = QColor(9, 9, 9);
    EXPECT_EQ(LoadGraphLook(c.block, l), c.loads);
    if (!c.loads) {
      EXPECT_EQ(l.TextColor, QColor(9, 9, 9));  // untouched on failure
    }
  }
  QByteArray many = good;
  for (int i = 0; i <= kGraphLookMaxAnnotations; ++i) many += "Annotation=1;a\n";
  EXPECT_FALSE(LoadGraphLook(many, back));
}

TEST(PESGraph, PrintAndCustomiseGoThroughTheirSeams) {
  PESGraph g;
  Fill(g, 1, 0, false);
  signalkit::Folder folder;
  const QString pdf = folder.path("printed.pdf");
  g.RunPrintDialog = [&](QPrinter& printer, QWidget*) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return true;
  };
  g.PEactions(pePrint);
  EXPECT_GT(QFileInfo(pdf).size(), 500);

  bool accept = false;  // cancelled first: nothing changes
  g.RunCustomizeDialog = [&accept](TGraphLook& look, QWidget*) {
    look.GraphBackColor = Qt::yellow;
    return accept;
  };
  g.PEactions(peCustomize);
  EXPECT_EQ(g.Look().GraphBackColor, QColor(Qt::white));
  accept = true;
  g.PEactions(peCustomize);
  EXPECT_EQ(g.Look().GraphBackColor, QColor(Qt::yellow));
  const QString png = folder.path("graph.png");
  ASSERT_TRUE(g.ExportPng(png, 300, 200));
  const QImage image(png);
  EXPECT_EQ(image.size(), QSize(300, 200));
  EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 3).rgb() & 0xFFFFFF, 0xFFFF00u);
  EXPECT_FALSE(g.ExportCsv(folder.path("no/such/dir/graph.csv")));
}

// The dialog's fields carry the look through unchanged, a colour comes from the colour dialog,
// and annotation lines that are no "time text" are dropped rather than stored as garbage.
TEST(GraphCustomiseDialog, EditsTheLookAndReadsAnnotationLines) {
  TGraphLook look;
  look.LabelBold = true;
  look.GridLineControl = sgXAxis;
  look.Annotations = {{12.5, QStringLiteral("impact")}};
  TGraphCustomiseDialog dialog(look, nullptr);
  TGraphLook same = dialog.Look();
  same.MainTitleFont = look.MainTitleFont;  // the font box may pick a substitute family
  same.SubTitleFont = look.SubTitleFont;
  same.LabelFont = look.LabelFont;
  EXPECT_EQ(same, look);
  testsupport::script().colors.push_back(QColor(10, 20, 30));
  dialog.findChild<QPushButton*>(QStringLiteral("DeskColorBtn"))->click();
  EXPECT_EQ(dialog.Look().DeskColor, QColor(10, 20, 30));

  const auto list = TGraphCustomiseDialog::ParseAnnotations(
      QStringLiteral("-20 start\n  \nabc no time\n1,5 comma\n40\n7e400 huge\n100  two  words "));
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0], (TGraphAnnotation{-20, QStringLiteral("start")}));
  EXPECT_EQ(list[1], (TGraphAnnotation{40, QString()}));
  EXPECT_EQ(list[2], (TGraphAnnotation{100, QStringLiteral("two  words")}));
}

}  // namespace
