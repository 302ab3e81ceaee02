#pragma once

// Display windows on real clips written by the AVI writer, opened as the main window opens them.

#include <gtest/gtest.h>

#include <QAction>
#include <memory>
#include <string>

#include "ClipKit.h"
#include "TestSupport.h"
#include "clip/AviStream.h"
#include "descriptors/ClipDescriptor.h"
#include "descriptors/DescriptorText.h"
#include "display/DisplayForm.h"
#include "platform/Screens.h"

// Timing of `rate` frames/s with frame `mark` at `time` ms.
inline std::string TimingText(double rate, double mark, double time) {
  std::string text;
  SetDescriptorFloat(text, "Timing", "Frame Rate", rate);
  SetDescriptorFloat(text, "Timing", "Mark Frame", mark);
  SetDescriptorFloat(text, "Timing", "Time at Mark Frame", time);
  return text;
}

class DisplayKit : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::resetStore(); }
  void TearDown() override { screens::setLayoutForTesting({}); }

  static void monitor(const QRect& workArea) {
    screens::setLayoutForTesting({{workArea, workArea}});
  }

  // Writes `name` (clipN.avi when null), with the descriptor in a "ttls" chunk when one is given.
  QString writeClip(const clipkit::ClipSpec& spec, const std::string& descriptor = {},
                    const char* name = nullptr) {
    const QString path =
        name ? f_.path(name) : f_.dir.filePath(QStringLiteral("clip%1.avi").arg(++clips_));
    EXPECT_EQ(clipkit::WriteClip(path.toStdString(), spec), AVIERR_OK);
    if (!descriptor.empty()) {
      const auto block = DescriptorBlock(descriptor);
      EXPECT_TRUE(clipkit::AppendRiffChunk(path.toStdString(), MakeFourCC('t', 't', 'l', 's'),
                                           block.data(), DWORD(block.size())));
    }
    return path;
  }

  // Opens path and completes its first show and layout; each successful open counts in opened_.
  std::unique_ptr<TDisplayForm> open(const QString& path) {
    auto form = std::make_unique<TDisplayForm>(
        nullptr, [this](TChildForm*) { ++opened_; }, TChildShared{.registry = &registry_}, path,
        path.mid(path.lastIndexOf(u'/') + 1), std::make_unique<TAVISTREAM>(QStringLiteral("AVI")));
    bool hasTiming = false, frozen = false;
    form->Poll(hasTiming, frozen);
    return form;
  }

  template <typename T = QWidget>
  static T* part(TDisplayForm& form, const char* name) {
    return form.findChild<T*>(QString::fromLatin1(name));
  }
  static void trigger(TDisplayForm& form, const char* item) {
    part<QAction>(form, item)->trigger();
  }
  static QWidget* paintBox(TDisplayForm& form) { return part(form, "PaintBox"); }

  testsupport::Folder f_;
  int clips_ = 0;
  int opened_ = 0;
  TRegIniFile registry_{QStringLiteral("\\Software\\Orvanta\\Lumetra")};
};
