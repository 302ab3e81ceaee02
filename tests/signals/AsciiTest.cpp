#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "SignalKit.h"
#include "platform/Exception.h"
#include "signals/AsciiSig.h"
#include "signals/SigInfoDlg.h"

namespace {

using signalkit::Folder;

std::vector<float> readAll(TSigClass& source) {
  std::vector<float> out;
  source.Reset();
  for (int i = 0; i < source.Count; ++i) out.push_back(source.NextValue());
  EXPECT_TRUE(source.AtEnd());
  return out;
}

TEST(AsciiColumn, GuessesTimeColumnUnitAndRate) {
  const std::vector<float> kFour = {1.5f, 1.9f, 1.6f, 1.8f};
  const struct {
    const char* text;
    int timeColumn;
    double firstMs, hertz;
    const char* axis;
    std::vector<float> values;
  } cases[] = {
      {"t,x\r\n0,1.5\r\n0.0005,1.9\r\n0.001,1.6\r\n0.0015,1.8\r\n", 1, 0, 2000, "x", kFour},
      {"t,x\n0,1.5\n2,1.9\n4,1.6\n6,1.8", 1, 0, 500, "x", kFour},
      // A step read as 0.001 is not below the threshold: milliseconds.
      {"t x\n0 1\n0.001 4\n0.002 3\n0.003 4\n", 1, 0, 1000000, "x", {1, 4, 3, 4}},
      {"a,b\n5.0,10\n5.1,20\n4.9,30\n", 2, 10, 100, "a", {5.0f, 5.1f, 4.9f}},
      {"Run 12\nTime Accel\n0 7\n1 9\n2 8\n", 1, 0, 1000, "Accel", {7, 9, 8}},
      // One column, and a first column that is constant: no time column.
      {"v\n3\n1\n4\n1\n5\n", 0, 7, 9, "v", {3, 1, 4, 1, 5}},
      {"p q\n0,1\n0,5\n0,2\n", 0, 7, 9, "p", {0, 0, 0}},
      {"\r\n\r\n-2.5e1\t9,x\r\n\r\n\r\n1e1\r\n", 0, 7, 9, "", {-25, 10}},
  };
  Folder folder;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TSigInfoRecord info;
    info.SetFrequency(9);  // what the previous file left
    info.SetFirstSampleMs(7);
    bool all = true;
    TASCIIColumn column(folder.write("run7.v2.csv", c.text), all, info);
    EXPECT_EQ(column.TimeColumn(), c.timeColumn);
    EXPECT_EQ(info.TimeColumn(), c.timeColumn);
    EXPECT_DOUBLE_EQ(column.FirstTime, c.firstMs);
    EXPECT_DOUBLE_EQ(column.Interval, 1000 / c.hertz);
    EXPECT_EQ(column.YLabel, c.axis);
    EXPECT_EQ(column.Name, "run7");
    EXPECT_EQ(column.Ident(), "ASCII.run7");
    EXPECT_EQ(column.Count, int(c.values.size()));
    EXPECT_EQ(readAll(column), c.values);
  }
}

TEST(AsciiColumn, FilesWithoutDataAreRefused) {
  Folder folder;
  for (const char* text : {"", "Run 12\nTime Accel\n", "\r\n\r\n", "a,1\nb,2\n"}) {
    TSigInfoRecord info;
    bool all = true;
    try {
      TASCIIColumn column(folder.write("t.txt", text), all, info);
      ADD_FAILURE() << text;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Not an ASCII Signal File") << text;
    }
  }
}

TEST(AsciiColumn, LongFieldsAndBufferEdgesKeepTheCount) {
  Folder folder;
  // 682 lines of 6 bytes after a title of 4: exactly two buffers, lines straddling both edges.
  std::string text = "tit\n";
  for (int i = 0; i < 682; ++i)
    text += std::to_string(i % 10) + "," + std::to_string(i * 7 % 10) + ".5\n";
  ASSERT_EQ(text.size(), 4096u);
  TSigInfoRecord info;
  bool all = true;
  TASCIIColumn column(folder.write("e.txt", QByteArray::fromStdString(text)), all, info);
  EXPECT_EQ(column.TimeColumn(), 1);
  const std::vector<float> values = readAll(column);
  ASSERT_EQ(column.Count, 682);
  for (int i = 0; i < 682; ++i) EXPECT_EQ(values[std::size_t(i)], i * 7 % 10 + 0.5f) << i;
}

TEST(SigInfoDlg, ConfirmsThroughItsButtons) {
  const struct {
    const char* button;
    bool accepted, all;
  } cases[] = {{"OKBtn", true, false}, {"OKAllBtn", true, true}, {"BitBtn1", false, false}};
  Folder folder;
  const QString file = folder.write("s.txt", "t,x\n0,1\n1,3\n2,2\n");
  for (const auto& c : cases) {
    TSigInfoDlg dlg;
    bool all = false;
    QTimer::singleShot(0, &dlg, [&] {
      EXPECT_EQ(dlg.windowTitle(), "s Signal Info");
      EXPECT_EQ(dlg.findChild<QLabel*>("TimeSpin")->text(), "1");
      dlg.findChild<QPushButton*>(c.button)->click();
      if (dlg.isVisible()) dlg.reject();
    });
    try {
      TASCIIColumn column(file, all, dlg);
      EXPECT_TRUE(c.accepted) << c.button;
      EXPECT_EQ(column.Count, 3);
    } catch (const Exception& e) {
      EXPECT_FALSE(c.accepted) << c.button;
      EXPECT_STREQ(e.what(), "Add Canceled");
    }
    EXPECT_EQ(all, c.all) << c.button;
  }
}

// OK and All stay disabled while any field is missing or the frequency is not above 0.
TEST(SigInfoDlg, OkNeedsAFrequencyAboveZeroAndEveryText) {
  TSigInfoDlg dlg;
  auto* okAll = dlg.findChild<QPushButton*>("OKAllBtn");
  for (auto spoil : std::vector<std::function<void()>>{
           [&] { dlg.SetFrequency(-5); }, [&] { dlg.SetAxisLabel(""); },
           [&] { dlg.SetSignalName(""); }, [&] { dlg.SetFirstSampleMs(1E-07); }}) {
    dlg.SetSignalName("a");
    dlg.SetAxisLabel("g");
    dlg.SetFrequency(1000);
    dlg.SetFirstSampleMs(0);
    EXPECT_TRUE(okAll->isEnabled());
    spoil();
    EXPECT_FALSE(okAll->isEnabled());
    EXPECT_FALSE(dlg.findChild<QPushButton*>("OKBtn")->isEnabled());
  }
}

}  // namespace
