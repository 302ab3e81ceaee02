// lumetra-tool plot on the demo's signal files: the picture files the graph control writes.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <set>

#include "TestSupport.h"
#include "ToolRunner.h"

namespace {

// Rows of the image (top to bottom) that hold a pixel neither white nor grey-black: a curve's
// colour. The demo's curves are drawn in the graph window's saturated subset colours.
std::vector<int> ColouredRows(const QImage& image) {
  std::vector<int> rows;
  for (int y = 0; y < image.height(); ++y)
    for (int x = image.width() / 4; x < image.width() * 3 / 4; ++x) {  // left of the legends
      const QColor c = image.pixelColor(x, y);
      if (c.hsvSaturation() > 100 && c.value() > 100) {
        rows.push_back(y);
        break;
      }
    }
  return rows;
}

TEST(PlotTool, DemoSignalsDrawnInEachBandAtTheAskedSize) {
  QTemporaryDir dir;
  ASSERT_EQ(RunProgram(LUMETRA_DEMO, {dir.path()}).exitCode, 0);
  const QString dat = dir.filePath("target.dat"), csv = dir.filePath("target.csv");
  const QString png = dir.filePath("separate.png");
  const ToolRun r =
      RunTool({"plot", dat, csv, "--out", png, "--size", "900x700", "--bands", "separate"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(Json(r)["subsets"].toInt(), 7);  // six channels without the time channel, one column
  EXPECT_EQ(Json(r)["bands"].toInt(), 7);
  const QImage image(png);
  ASSERT_EQ(image.size(), QSize(900, 700));
  // Every seventh of the height (each band) holds some curve.
  std::set<int> bands;
  for (int y : ColouredRows(image)) bands.insert(y * 7 / 700);
  EXPECT_EQ(bands, (std::set<int>{0, 1, 2, 3, 4, 5, 6}));

  const QString pdf = dir.filePath("zoomed.pdf");
  const ToolRun p = RunTool({"plot", dat, "--out", pdf, "--size", "640x480", "--from", "0", "--to",
                             "100", "--bands", "overlay"});
  ASSERT_EQ(p.exitCode, 0) << p.err.toStdString();
  QFile file(pdf);
  const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  EXPECT_TRUE(bytes.startsWith("%PDF"));
  // The page has the asked size in points (a pixel is a point for the PDF writer).
  EXPECT_TRUE(bytes.contains("/MediaBox [0 0 640.000000 480.000000]"));
}

TEST(PlotTool, BadArgumentsAndFilesFailWithTheReason) {
  testsupport::Folder folder;
  const QString csv = folder.write("a.csv", "Time,Y\r\n0,1\r\n1,2\r\n2,3\r\n");
  const struct {
    QStringList args;
    const char* message;
  } cases[] = {
      {{csv, "--out", folder.path("x.bmp")}, ".png or .pdf"},
      {{csv}, "--out"},
      {{csv, "--out", folder.path("x.png"), "--size", "10x10"}, "width"},
      {{csv, "--out", folder.path("x.png"), "--from", "5"}, "go together"},
      {{csv, "--out", folder.path("x.png"), "--from", "5", "--to", "1"}, "go together"},
      {{csv, "--out", folder.path("x.png"), "--from", "1,5", "--to", "9"}, "not a time"},
      {{csv, "--out", folder.path("x.png"), "--bands", "stacked"}, "band layout"},
      {{folder.path("a.tdm"), "--out", folder.path("x.png")}, "TDM not implemented"},
      {{folder.path("a.xls"), "--out", folder.path("x.png")}, "Unknown type"},
      {{csv, "--out", folder.path("no/dir/x.png")}, "Cannot write"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const ToolRun r = RunTool(QStringList{"plot"} + c.args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
  }
}

}  // namespace
