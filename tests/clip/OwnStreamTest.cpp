#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "AviBytes.h"
#include "clip/AviStream.h"
#include "clip/Dib.h"

namespace {

// A clip stream whose frames come from ReadFrame: the pixels of avibytes::FramePixels.
class TSyntheticClip : public TAVISTREAM {
 public:
  TSyntheticClip() : TAVISTREAM(QStringLiteral("AVI")) {
    Width = shape.width;
    Height = shape.height;
    FrameCount = shape.frames;
  }
  avibytes::RawClip shape;
  int status = kFrameRead;
  std::vector<int> framesRead;

 protected:
  int ReadFrame(int frame, void* buffer) override {
    const QByteArray rows = avibytes::FramePixels(shape, frame);
    std::memcpy(buffer, rows.constData(), std::size_t(rows.size()));
    framesRead.push_back(frame);
    return status;
  }
};

constexpr LONG kImageSize = 8 * 3 * 4;

TEST(OwnStream, InfoNeedsTheFullRecordAndDescribesTheSource) {
  TSyntheticClip clip;
  AVISTREAMINFOA info{};
  EXPECT_EQ(clip.OwnInterface()->Info(&info, 139), AVIERR_BUFFERTOOSMALL);
  info.dwEditCount = 77;
  ASSERT_EQ(clip.OwnInterface()->Info(&info, 140), AVIERR_OK);
  EXPECT_EQ(info.fccType, streamtypeVIDEO);
  EXPECT_NE(info.fccHandler, 0u);
  EXPECT_EQ(info.dwScale, 1u);
  EXPECT_EQ(info.dwRate, 15u);
  EXPECT_EQ(info.dwLength, 3u);
  EXPECT_EQ(info.dwSuggestedBufferSize, DWORD(kImageSize));
  EXPECT_EQ(info.rcFrame.right, 8);
  EXPECT_EQ(info.rcFrame.bottom, 4);
  EXPECT_EQ(info.dwEditCount, 0u);  // the record is cleared first
}

TEST(OwnStream, FindSampleHasOneFormatAndOnlyKeyFrames) {
  TSyntheticClip clip;
  IAVIStream* s = clip.OwnInterface();
  struct Case {
    LONG position, flags, expected;
  };
  const Case cases[] = {{5, FIND_FORMAT | FIND_PREV, 0},
                        {0, FIND_FORMAT | FIND_NEXT, 0},
                        {2, FIND_FORMAT | FIND_NEXT, -1},
                        {2, FIND_KEY | FIND_PREV, 2},
                        {7, FIND_ANY | FIND_NEXT, 7}};
  for (const Case& c : cases)
    EXPECT_EQ(s->FindSample(c.position, c.flags), c.expected) << c.position << " " << c.flags;
}

TEST(OwnStream, ReadFormatReportsTheNeededSizeAndWritesOnlyIntoRoom) {
  TSyntheticClip clip;
  IAVIStream* s = clip.OwnInterface();
  LONG size = 0;
  EXPECT_EQ(s->ReadFormat(0, nullptr, &size), AVIERR_OK);
  EXPECT_EQ(size, 40);
  BITMAPINFOHEADER header{};
  size = 39;
  EXPECT_EQ(s->ReadFormat(0, &header, &size), AVIERR_BUFFERTOOSMALL);
  EXPECT_EQ(size, 40);
  EXPECT_EQ(header.biSize, 0u);
  size = 40;
  EXPECT_EQ(s->ReadFormat(0, &header, &size), AVIERR_OK);
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, 8);
  EXPECT_EQ(header.biHeight, 4);
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biSizeImage, DWORD(kImageSize));
  EXPECT_EQ(header.biClrUsed, 0u);
}

TEST(OwnStream, ReadChecksBoundsAndBufferBeforeAskingForTheFrame) {
  TSyntheticClip clip;
  IAVIStream* s = clip.OwnInterface();
  std::vector<char> buffer(kImageSize);
  LONG bytes = 0, samples = 0;
  EXPECT_EQ(s->Read(-1, 1, buffer.data(), kImageSize, &bytes, &samples), AVIERR_BADPARAM);
  EXPECT_EQ(s->Read(3, 1, buffer.data(), kImageSize, &bytes, &samples), AVIERR_BADPARAM);
  EXPECT_EQ(s->Read(1, 1, nullptr, 0, &bytes, &samples), AVIERR_OK);
  EXPECT_EQ(bytes, kImageSize);
  EXPECT_EQ(samples, 1);
  EXPECT_EQ(s->Read(1, 1, buffer.data(), kImageSize - 1, &bytes, &samples), AVIERR_BUFFERTOOSMALL);
  EXPECT_TRUE(clip.framesRead.empty());
  EXPECT_EQ(s->Read(2, 1, buffer.data(), kImageSize, &bytes, &samples), AVIERR_OK);
  EXPECT_EQ(QByteArray(buffer.data(), kImageSize), avibytes::FramePixels(clip.shape, 2));
}

TEST(OwnStream, FrameSourceStatusesCancelEndOrFail) {
  TSyntheticClip clip;
  IAVIStream* s = clip.OwnInterface();
  std::vector<char> buffer(kImageSize);
  std::vector<int> progress;
  clip.OnProgress = [&](int percent) {
    progress.push_back(percent);
    return 0;
  };
  clip.status = TAVISTREAM::kFrameCancel;
  EXPECT_EQ(s->Read(0, 1, buffer.data(), kImageSize, nullptr, nullptr), AVIERR_USERABORT);
  EXPECT_EQ(progress, std::vector<int>{-1});
  EXPECT_FALSE(clip.EndOfData());
  clip.status = TAVISTREAM::kFrameEndOfData;
  EXPECT_EQ(s->Read(0, 1, buffer.data(), kImageSize, nullptr, nullptr), AVIERR_OK);
  EXPECT_TRUE(clip.EndOfData());
  // A failing source must not pass for a frame.
  clip.status = 5;
  EXPECT_EQ(s->Read(0, 1, buffer.data(), kImageSize, nullptr, nullptr), AVIERR_FILEREAD);
}

TEST(OwnStream, QueryInterfaceComparesTheFirstWordAndCountsReferences) {
  TSyntheticClip clip;
  IAVIStream* s = clip.OwnInterface();
  EXPECT_EQ(s->Create(0, 0), AVIERR_OK);
  EXPECT_EQ(clip.RefCount(), 1);
  void* object = &clip;
  GUID other = IID_IAVIStream;
  other.Data1 += 1;
  EXPECT_EQ(s->QueryInterface(other, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  GUID sameFirstWord = IID_IAVIStream;
  sameFirstWord.Data4[7] = 0;
  EXPECT_EQ(s->QueryInterface(sameFirstWord, &object), AVIERR_OK);
  EXPECT_EQ(object, static_cast<void*>(s));
  EXPECT_EQ(clip.RefCount(), 2);
  EXPECT_EQ(s->AddRef(), 3u);
  EXPECT_EQ(s->Release(), 2u);
  EXPECT_EQ(s->SetFormat(0, nullptr, 0), AVIERR_UNSUPPORTED);
  EXPECT_EQ(s->Write(0, 1, nullptr, 0, 0, nullptr, nullptr), AVIERR_UNSUPPORTED);
  EXPECT_EQ(s->Delete(0, 1), AVIERR_UNSUPPORTED);
  EXPECT_EQ(s->ReadData(0, nullptr, nullptr), AVIERR_UNSUPPORTED);
  EXPECT_EQ(s->WriteData(0, nullptr, 0), AVIERR_UNSUPPORTED);
}

TEST(OwnStream, SyntheticFramesPlayThroughTheFrameGetter) {
  TSyntheticClip clip;
  ASSERT_EQ(clip.CurrentStream(), clip.OwnInterface());
  PGETFRAME getter = nullptr;
  ASSERT_TRUE(clip.GetFrameOpen(getter));
  for (int frame : {2, 0, 1}) {
    int size = 0;
    const BITMAPINFOHEADER* bitmap = nullptr;
    ASSERT_TRUE(clip.GetFrame(getter, frame, size, bitmap));
    EXPECT_EQ(bitmap->biBitCount, 24);
    EXPECT_EQ(size, 40 + kImageSize);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(DibPixels(bitmap)), kImageSize),
              avibytes::FramePixels(clip.shape, frame))
        << "frame " << frame;
  }
  clip.GetFrameClose(getter);
}

}  // namespace
