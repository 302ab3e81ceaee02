// The display window on real clips, driven as the master timer and the user drive it.

#include <QFile>
#include <QLabel>
#include <QToolButton>

#include "DisplayKit.h"
#include "platform/Exception.h"

namespace {

using clipkit::ClipSpec;

class DisplayFormTest : public DisplayKit {
 protected:
  std::unique_ptr<TDisplayForm> openFrames(int frames, double rate = 1000, double offset = 0) {
    return open(
        writeClip({.width = 8, .height = 6, .frames = frames}, TimingText(rate, 0, offset)));
  }
};

QRgb Expected(const ClipSpec& spec, LONG frame, int x, int y) {
  const std::vector<BYTE> rows =
      clipkit::PatternRows(spec.width, spec.height, spec.bitCount, frame);
  const BYTE* p = rows.data() + std::size_t(y) * clipkit::RowBytes(spec.width, spec.bitCount) +
                  std::size_t(x) * (spec.bitCount / 8);
  if (spec.bitCount == 24) return qRgb(p[2], p[1], p[0]);
  if (!spec.palette) return qRgb(p[0], p[0], p[0]);
  const RGBQUAD& c = spec.palette[p[0]];
  return qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

// Every pixel of the frame reaches the screen unchanged, whatever the clip's depth; these small
// clips are magnified to the 120-pixel minimum, each screen pixel showing its nearest one.
TEST_F(DisplayFormTest, DrawsTheRequestedFramesPixelsUnchanged) {
  const std::vector<RGBQUAD> palette = clipkit::ColourPalette();
  const ClipSpec specs[] = {
      {.width = 21, .height = 9, .frames = 8},
      {.width = 20, .height = 7, .bitCount = 8, .frames = 8},
      {.width = 19, .height = 5, .bitCount = 8, .palette = palette.data(), .frames = 8},
      {.width = 1, .height = 1, .frames = 8},
  };
  for (const ClipSpec& spec : specs) {
    auto form = open(writeClip(spec, TimingText(1000, 0, -2)));
    form->ShowTime(3.4f);  // frame 5
    const QImage shown = paintBox(*form)->grab().toImage();
    const TImageMapping mapping = form->Mapping();
    ASSERT_EQ(shown.size(), mapping.Box());
    EXPECT_EQ(std::min(shown.width(), shown.height()), 120);
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x)
        ASSERT_EQ(shown.pixel(x, y),
                  Expected(spec, 5, mapping.ColumnAt(x), mapping.RowFromTopAt(y)))
            << spec.bitCount << " " << x << "," << y;
  }
}

// A master tick that asks for the shown frame again must not decode anything.
TEST_F(DisplayFormTest, FetchesAFrameOnlyWhenItChanges) {
  auto form = openFrames(10);
  const int afterOpen = form->FetchCount();
  bool hasTiming = false, frozen = false;
  for (float t : {0.0f, 0.2f, -40.0f, 0.4f}) form->ShowTime(t);  // all frame 0
  EXPECT_FALSE(form->Poll(hasTiming, frozen));
  EXPECT_EQ(form->FetchCount(), afterOpen);
  form->ShowTime(7.0f);
  form->ShowTime(7.4f);
  form->ShowTime(100.0f);  // clamped to the last frame
  EXPECT_EQ(form->FetchCount(), afterOpen + 2);
  EXPECT_EQ(form->ShownFrame, 9);
  EXPECT_EQ(part<QLabel>(*form, "FrameLabel")->text(), "9");
  EXPECT_EQ(part<QLabel>(*form, "TimeLabel")->text(), "9.00");
  EXPECT_EQ(part<QSlider>(*form, "FrameBar")->value(), 9);
  EXPECT_FALSE(form->StopRequest);  // the window's own slider move is no user move
  EXPECT_FLOAT_EQ(form->EndTime(), 9.0f);
}

TEST_F(DisplayFormTest, OpeningFailuresNameTheFileAndTheDriver) {
  const QString missing = f_.path("missing.avi");
  QString undecodable = writeClip({.codec = clipkit::AviCodec::Mjpeg, .frames = 2});
  ASSERT_TRUE(
      avifile::PatchStreamHandler(undecodable.toStdString(), 0, MakeFourCC('v', 'd', 'o', 'm')));
  {  // and the format's compression, which picks the decoder
    QFile f(undecodable);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const qint64 strf = f.readAll().indexOf("strf");
    ASSERT_GT(strf, 0);
    f.seek(strf + 8 + offsetof(BITMAPINFOHEADER, biCompression));
    f.write("VDOM", 4);
  }
  const std::pair<QString, QString> cases[] = {
      {missing, QStringLiteral("File %1\rStream Open Failed").arg(missing)},
      {undecodable,
       QStringLiteral(
           "File %1 requires driver VDOM - VDOnet VDOWave Video Codec\rFrame Decode Failed")
           .arg(undecodable)},
  };
  for (const auto& [path, message] : cases) {
    try {
      open(path);
      ADD_FAILURE() << "opened " << path.toStdString();
    } catch (const Exception& e) {
      EXPECT_EQ(e.message(), message);
    }
    EXPECT_EQ(opened_, 0);
  }
}

TEST_F(DisplayFormTest, ButtonsStepWithinTheClipAndStopTheMaster) {
  auto form = openFrames(30, 1000, -10);
  const struct {
    int from;
    const char* button;
    int to;
  } cases[] = {
      {29, "FwdBtn", 29}, {0, "BckBtn", 0}, {5, "FwdBtn", 6},    {5, "BckBtn", 4},
      {5, "EndBtn", 29},  {5, "BegBtn", 0}, {0, "TZeroBtn", 10},
  };
  for (const auto& c : cases) {
    form->ShowFrame(c.from);
    form->StopRequest = false;
    part<QToolButton>(*form, c.button)->click();
    EXPECT_EQ(form->ShownFrame, c.to) << c.button << " from " << c.from;
    EXPECT_TRUE(form->StopRequest) << c.button;
  }
}

TEST_F(DisplayFormTest, LocalPlaybackRunsThroughItsLoop) {
  auto form = openFrames(30);
  // A selection whose start is not below its end leaves the loop as it was.
  form->FrameBarSelect(12, 12);
  EXPECT_EQ(form->Playback().LoopEnd(), 29);
  form->FrameBarSelect(10, 20);
  for (bool looping : {true, false}) {
    form->ShowFrame(25);  // beyond the loop end: playback starts at its start
    QToolButton* toggle = part<QToolButton>(*form, looping ? "RepeatPlayBtn" : "PlayBtn");
    toggle->click();
    ASSERT_TRUE(form->LocalPlaying());
    std::vector<int> shown;
    for (int tick = 0; tick < 13 && form->LocalPlaying(); ++tick) {
      form->PlayTimerTimer();
      shown.push_back(form->ShownFrame);
    }
    std::vector<int> expected;
    for (int f = 10; f <= 20; ++f) expected.push_back(f);
    if (looping) expected.insert(expected.end(), {10, 11});
    EXPECT_EQ(shown, expected) << looping;
    EXPECT_EQ(form->LocalPlaying(), looping);
    EXPECT_FALSE(form->StopRequest);
    part<QToolButton>(*form, "StopBtn")->click();
    EXPECT_FALSE(form->LocalPlaying());
    EXPECT_TRUE(form->StopRequest);
    form->StopRequest = false;
  }
  form->FullLoopClick();
  EXPECT_EQ(form->Playback().LoopStart(), 0);
  EXPECT_EQ(form->Playback().LoopEnd(), 29);
}

TEST_F(DisplayFormTest, LoopItemsTakeTheSliderPositionAndTheSpeedIsRemembered) {
  auto form = openFrames(30);
  auto* bar = part<QSlider>(*form, "FrameBar");
  bar->setValue(8);  // as the user drags it
  EXPECT_EQ(form->ShownFrame, 8);
  trigger(*form, "LoopStartItem");
  EXPECT_EQ(form->Playback().LoopStart(), 0);  // no selection yet: 8 .. 0
  bar->setValue(17);
  trigger(*form, "LoopEndItem");
  EXPECT_EQ(form->Playback().LoopStart(), 8);
  EXPECT_EQ(form->Playback().LoopEnd(), 17);

  trigger(*form, "Speed8192");
  EXPECT_EQ(form->Playback().Interval(), 33);
  const QString path = form->FileName;
  form.reset();  // the placement entry keeps the speed in its extra field's top half
  EXPECT_EQ(registry_.ReadString(QStringLiteral("Desktop"), QStringLiteral("DisplayForm"), {})
                .section(u',', 4, 4),
            QString::number(8192 << 16));
  auto again = open(path);
  EXPECT_EQ(again->Playback().Interval(), 33);
  EXPECT_TRUE(part<QAction>(*again, "Speed8192")->isChecked());
}

TEST_F(DisplayFormTest, MenuItemsFollowTheEnabledFeaturesAndShowTheLegend) {
  auto form = openFrames(5);
  for (bool flag : {false, true}) {
    form->SetSignalGraphEnabled(flag);
    form->SetQuickMeasureEnabled(flag);
    EXPECT_EQ(part<QAction>(*form, "SignalGraphItem")->isEnabled(), flag);
    EXPECT_EQ(part<QToolButton>(*form, "GraphBtn")->isEnabled(), flag);
    EXPECT_EQ(part<QAction>(*form, "QuickMeasureItem")->isEnabled(), flag);
  }
  form->show();
  EXPECT_FALSE(part(*form, "LegendPanel")->isVisible());  // the image alone at first
  EXPECT_FALSE(part<QAction>(*form, "LoopStartItem")->isVisible());
  trigger(*form, "TimeCounterItem");
  trigger(*form, "VideoControlsItem");
  EXPECT_TRUE(part(*form, "TimePanel")->isVisible());
  EXPECT_FALSE(part(*form, "FramePanel")->isVisible());
  EXPECT_TRUE(part(*form, "ControlsPanel")->isVisible());
  EXPECT_TRUE(part<QAction>(*form, "LoopStartItem")->isVisible());
}

// The answer to the close question decides whether the changed text reaches the file.
TEST_F(DisplayFormTest, CloseAsksAboutChangedDescriptorsAndWritesBackOnYes) {
  const struct {
    dialogs::Answer answer;
    bool closes;
    bool stored;
  } cases[] = {
      {dialogs::Answer::Cancel, false, false},
      {dialogs::Answer::No, true, false},
      {dialogs::Answer::Yes, true, true},
  };
  for (const auto& c : cases) {
    const QString path = writeClip({.frames = 3}, TimingText(1000, 0, 0));
    auto form = open(path);
    SetDescriptorValue(form->Descriptor, "Titles", "Description", "sled run");
    form->DescriptorChanged = true;
    testsupport::script().clear();
    testsupport::script().answers = {c.answer, dialogs::Answer::No};
    EXPECT_EQ(form->CloseQuery(), c.closes);
    ASSERT_EQ(testsupport::script().shown.size(), 1u);
    EXPECT_EQ(testsupport::script().shown[0].text,
              QStringLiteral("Save Description Changes to File ") + path + "?");
    EXPECT_TRUE(form->CloseQuery());  // asked again only after Cancel
    EXPECT_EQ(testsupport::script().shown.size(), c.closes ? 1u : 2u);
    form.reset();
    std::string title;
    GetDescriptorValue(ReadClipDescriptor(path).text, "Titles", "Description", title);
    EXPECT_EQ(title == "sled run", c.stored);
  }
}

}  // namespace
