#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>

#include "ClipKit.h"
#include "clip/AviStream.h"
#include "descriptors/DescriptorText.h"
#include "display/ChildForm.h"
#include "platform/Exception.h"
#include "platform/avifile/RiffEdit.h"

namespace {

// A clip of 4 x 3 pixels whose frame n has the grey level 10 * n + 60 * (row from the top),
// stored bottom-up as usual or, with a negative height, top-down.
class RowsClip : public TAVISTREAM {
 public:
  explicit RowsClip(bool topDown) : TAVISTREAM(QStringLiteral("AVI")), topDown_(topDown) {
    Width = 4;
    Height = 3;
    FrameCount = 5;
  }

 protected:
  HRESULT StreamReadFormat(LONG position, void* format, LONG* size) override {
    const HRESULT r = TAVISTREAM::StreamReadFormat(position, format, size);
    if (r == AVIERR_OK && format && topDown_)
      static_cast<BITMAPINFOHEADER*>(format)->biHeight *= -1;
    return r;
  }
  int ReadFrame(int frame, void* buffer) override {
    const int stride = ImageSize() / Height;
    for (int row = 0; row < Height; ++row) {
      const int fromTop = topDown_ ? row : Height - 1 - row;
      std::memset(static_cast<BYTE*>(buffer) + row * stride, 10 * frame + 60 * fromTop, stride);
    }
    return kFrameRead;
  }

 private:
  bool topDown_;
};

std::unique_ptr<TChildForm> makeChild(TAVISTREAM* stream = nullptr) {
  return std::make_unique<TChildForm>(nullptr, nullptr, TChildShared{},
                                      QStringLiteral("/t/run1.avi"), QStringLiteral("run1.avi"),
                                      stream);
}

TEST(ChildForm, RedrawsOnlyForANewFrameOrAPendingRepaintAndNeverWhenFrozen) {
  auto child = makeChild();
  bool hasTiming = true;
  bool frozen = true;
  child->ShowFrame(3);
  EXPECT_FALSE(child->Poll(hasTiming, frozen));  // same frame again
  EXPECT_TRUE(hasTiming);                        // untouched while no timing is set
  EXPECT_FALSE(frozen);
  child->NeedsRepaint = true;
  EXPECT_TRUE(child->Poll(hasTiming, frozen));
  EXPECT_FALSE(child->NeedsRepaint);
  EXPECT_FALSE(child->UpdateFrame());

  child->SetFramePeriod(1.0f);
  child->Frozen = true;
  child->RequestedFrame = 7;
  child->NeedsRepaint = true;
  EXPECT_FALSE(child->Poll(hasTiming, frozen));
  EXPECT_TRUE(frozen);
  EXPECT_FALSE(hasTiming);  // timing set: hasTiming := not frozen
  EXPECT_NE(child->ShownFrame, 7);
}

TEST(ChildForm, TimeMapsToTheNearestFrameWithHalvesToEven) {
  auto child = makeChild();
  child->SetFramePeriod(2.0f);
  child->SetTimeOffset(-10.0f);
  child->ShowTime(-10.0f + 2.5f * 2.0f);
  EXPECT_EQ(child->ShownFrame, 2);
  child->ShowTime(-10.0f + 3.5f * 2.0f);
  EXPECT_EQ(child->ShownFrame, 4);
  EXPECT_FLOAT_EQ(child->CurrentTime(), -2.0f);
  child->StopAtTime(0.0f);
  EXPECT_EQ(child->ShownFrame, 5);
  EXPECT_TRUE(child->StopRequest);
}

TEST(ChildForm, TimingChangesMarkTheFrameStaleAndReachTheCompanions) {
  auto child = makeChild();
  std::vector<float> told;
  child->OnTimingChanged = [&](int decimals, float period, float offset) {
    told = {float(decimals), period, offset};
  };
  child->ShowFrame(4);
  child->SetFramePeriod(4.0f);  // 250 frames per second
  EXPECT_EQ(child->ShownFrame, -1);
  EXPECT_EQ(told, (std::vector<float>{2, 4.0f, 0.0f}));
  std::string rate;
  EXPECT_TRUE(GetDescriptorValue(child->Descriptor, "Timing", "Frame Rate", rate));
  EXPECT_EQ(rate, "250");
  EXPECT_FALSE(child->DescriptorChanged);  // the setters alone never ask to store
  EXPECT_TRUE(child->UpdateFrame());       // stale: the next update redraws
}

TEST(ChildForm, CopiesTheShownFrameToTheClipboardTopRowFirst) {
  for (bool topDown : {false, true}) {
    RowsClip clip(topDown);
    auto child = makeChild(&clip);
    child->ShowFrame(3);
    for (int copy = 0; copy < 2; ++copy) {  // the second copy reads the size the first left
      child->CopyFrameToClipboard();
      const QImage image = QApplication::clipboard()->image();
      ASSERT_FALSE(image.isNull()) << topDown;
      EXPECT_EQ(image.size(), QSize(4, 3));
      for (int y = 0; y < 3; ++y)
        EXPECT_EQ(qGray(image.pixel(1, y)), 30 + 60 * y) << (topDown ? "top-down " : "") << y;
    }
  }
}

// The AVI library would refuse every frame; the stream says why when it opens.
TEST(ClipStream, RefusesToOpenAClipWhoseFramesExceedTheFrameBudget) {
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("big.avi")).toStdString();
  ASSERT_EQ(clipkit::WriteClip(path, {.codec = clipkit::AviCodec::Mjpeg, .frames = 2}), AVIERR_OK);
  ASSERT_TRUE(avifile::PatchStreamFormatSize(path, 0, 16000, 16000));
  ASSERT_TRUE(avifile::PatchStreamHeaderField(path, 0, offsetof(AVIStreamHeader, rcRight),
                                              16000 | 16000u << 16));
  TAVISTREAM stream(QStringLiteral("AVI"));
  try {
    stream.Open(QString::fromStdString(path));
    ADD_FAILURE() << "opened";
  } catch (const Exception& e) {
    EXPECT_EQ(e.message(), "Frames of 16000 x 16000 pixels are too large: at most 89478485 pixels");
  }
  EXPECT_FALSE(stream.Opened());
}

TEST(ChildForm, CompanionWindowsAreMadeOnceAndOnlyWhenAllowed) {
  auto child = makeChild();
  int made = 0;
  int lastFrameGiven = 0;
  child->CreateQuickMeasure = [&](TChildForm*, int lastFrame) {
    ++made;
    lastFrameGiven = lastFrame;
    return new QWidget;
  };
  child->OpenQuickMeasure();
  EXPECT_EQ(made, 0);  // not allowed yet
  child->QuickMeasureAllowed = true;
  child->OpenQuickMeasure();
  child->OpenQuickMeasure();
  EXPECT_EQ(made, 1);
  EXPECT_EQ(lastFrameGiven, -1);  // the base has no frames
  EXPECT_TRUE(child->NeedsRepaint);
  EXPECT_TRUE(child->QuickMeasureWindow()->isVisible());
}

}  // namespace
