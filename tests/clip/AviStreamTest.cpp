#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "AviBytes.h"
#include "RiffFiles.h"
#include "clip/AviStream.h"
#include "clip/Dib.h"
#include "clip/RIFFChunk.h"
#include "platform/Exception.h"

namespace {

using avibytes::FramePixels;

// The pixels of frames 0..count-1 fetched from the last to the first through the frame getter;
// stops at the first frame that fails or is not a 24-bit DIB of the size reported.
QList<QByteArray> FramesBackwards(TAVISTREAM& stream, int count) {
  QList<QByteArray> frames;
  PGETFRAME getter = nullptr;
  if (!stream.GetFrameOpen(getter)) return frames;
  for (int f = count - 1; f >= 0; --f) {
    int size = 0;
    const BITMAPINFOHEADER* b = nullptr;
    if (!stream.GetFrame(getter, f, size, b) || b->biBitCount != 24 ||
        size != 40 + DibImageSize(*b))
      break;
    frames.prepend(QByteArray(reinterpret_cast<const char*>(DibPixels(b)), DibImageSize(*b)));
  }
  stream.GetFrameClose(getter);
  return frames;
}

// The pixels of the three frames of avibytes::RawClip{}.
QList<QByteArray> ThreeFrames() {
  return {FramePixels({}, 0), FramePixels({}, 1), FramePixels({}, 2)};
}

TEST(AviStream, MavNamedAviFilePlaysLikeAviAlsoAfterAChunkWasWrittenThroughTheStream) {
  RiffFiles files;
  TAVISTREAM stream(QStringLiteral("Motion Analysis Video"));
  stream.FileName = files.Write(avibytes::RawAvi({}), QStringLiteral("run7.mav"));
  const QByteArray text = "[Timing]\r" + QByteArray(2039, '\0');
  ASSERT_TRUE(stream.WriteChunk(ChunkCode("ttls"), text.constData(), 2048));
  QByteArray back(4096, 'x');
  LONG size = LONG(back.size());
  ASSERT_TRUE(stream.ReadData(ChunkCode("ttls"), back.data(), size));
  EXPECT_EQ(back.left(size), text);
  stream.Open(stream.FileName);
  EXPECT_EQ(stream.GetFrameCount(), 3);
  EXPECT_EQ(FramesBackwards(stream, 3), ThreeFrames());
  EXPECT_EQ(stream.Width, 8);
  EXPECT_EQ(stream.Height, 4);
  stream.Close();  // no stream is current until the next Open
  PGETFRAME getter = nullptr;
  EXPECT_FALSE(stream.GetFrameOpen(getter));
  stream.Open(stream.FileName);
  EXPECT_EQ(stream.GetFrameCount(), 3);
}

TEST(AviStream, OnlyAFileWithVideoOpens) {
  RiffFiles files;
  TAVISTREAM stream(QStringLiteral("AVI"));
  for (const QString& path : {files.Write("just some text", QStringLiteral("notes.avi")),
                              files.Path(QStringLiteral("absent.avi"))}) {
    try {
      stream.Open(path);
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.message(), QStringLiteral("Stream Open Failed"));
    }
  }
  QByteArray audio = avibytes::RawAvi({});
  audio.replace("vidsDIB ", QByteArray("auds\0\0\0\0", 8));
  stream.Open(files.Write(audio, QStringLiteral("audio.avi")));  // no error
  EXPECT_FALSE(stream.Opened());
  PGETFRAME getter = nullptr;
  EXPECT_FALSE(stream.GetFrameOpen(getter));
  EXPECT_EQ(stream.GetFrameCount(), 0);
}

// A clip stream whose own interface serves the pixels of FramePixels.
class TSyntheticClip : public TAVISTREAM {
 public:
  TSyntheticClip() : TAVISTREAM(QStringLiteral("AVI")) {
    Width = 8;
    Height = 4;
    FrameCount = 3;
  }
  int status = kFrameRead;
  int reads = 0;

 protected:
  int ReadFrame(int frame, void* buffer) override {
    const QByteArray rows = FramePixels({}, frame);
    std::memcpy(buffer, rows.constData(), std::size_t(rows.size()));
    ++reads;
    return status;
  }
};

constexpr LONG kImageSize = 8 * 3 * 4;

TEST(OwnStream, PlaysThroughTheFrameGetterRefusesBadReadsAndPassesOnTheSourcesStatus) {
  TSyntheticClip clip;
  ASSERT_EQ(clip.CurrentStream(), clip.OwnInterface());
  EXPECT_EQ(FramesBackwards(clip, 3), ThreeFrames());
  clip.reads = 0;
  IAVIStream* s = clip.OwnInterface();
  AVISTREAMINFOA info{};
  info.dwEditCount = 77;
  EXPECT_EQ(s->Info(&info, LONG(sizeof info) - 1), AVIERR_BUFFERTOOSMALL);
  ASSERT_EQ(s->Info(&info, LONG(sizeof info)), AVIERR_OK);
  EXPECT_EQ(info.dwLength, 3u);
  EXPECT_EQ(info.dwEditCount, 0u);  // the record is cleared first
  BITMAPINFOHEADER header{};
  LONG size = 39;
  EXPECT_EQ(s->ReadFormat(0, &header, &size), AVIERR_BUFFERTOOSMALL);
  EXPECT_EQ(size, 40);
  EXPECT_EQ(header.biSize, 0u);
  std::vector<char> buffer(kImageSize);
  LONG bytes = 0;
  EXPECT_EQ(s->Read(-1, 1, buffer.data(), kImageSize, &bytes, nullptr), AVIERR_BADPARAM);
  EXPECT_EQ(s->Read(3, 1, buffer.data(), kImageSize, &bytes, nullptr), AVIERR_BADPARAM);
  EXPECT_EQ(s->Read(1, 1, buffer.data(), kImageSize - 1, &bytes, nullptr), AVIERR_BUFFERTOOSMALL);
  EXPECT_EQ(bytes, kImageSize);
  EXPECT_EQ(clip.reads, 0);

  int progress = 0;
  clip.OnProgress = [&](int percent) { return progress = percent; };
  clip.status = TAVISTREAM::kFrameCancel;
  EXPECT_EQ(s->Read(0, 1, buffer.data(), kImageSize, nullptr, nullptr), AVIERR_USERABORT);
  EXPECT_EQ(progress, -1);
  EXPECT_FALSE(clip.EndOfData());
  clip.status = TAVISTREAM::kFrameEndOfData;
  EXPECT_EQ(s->Read(0, 1, buffer.data(), kImageSize, nullptr, nullptr), AVIERR_OK);
  EXPECT_TRUE(clip.EndOfData());
  clip.status = 5;  // a failing source must not pass for a frame
  EXPECT_EQ(s->Read(0, 1, buffer.data(), kImageSize, nullptr, nullptr), AVIERR_FILEREAD);
}

// After a frame of a 24-bit file has been fetched, the own interface describes that frame: its
// bitmap header is the file's "strf", byte for byte, and its information agrees with the
// file's where both describe the pictures.
TEST(OwnStream, InfoAndFormatDescribeTheFramesOfTheFileLastRead) {
  avibytes::RawClip odd;
  odd.width = 5;
  odd.height = 3;
  for (const avibytes::RawClip& c : {avibytes::RawClip{}, odd}) {
    SCOPED_TRACE(c.width);
    RiffFiles files;
    const QByteArray bytes = avibytes::RawAvi(c);
    TAVISTREAM stream(QStringLiteral("AVI"));
    stream.Open(files.Write(bytes));
    AVISTREAMINFOA file{};
    ASSERT_TRUE(stream.GetInfo(file));
    stream.FrameCount = int(file.dwLength);
    ASSERT_EQ(FramesBackwards(stream, 1).size(), 1);
    IAVIStream* own = stream.OwnInterface();

    AVISTREAMINFOA info{};
    ASSERT_EQ(own->Info(&info, LONG(sizeof info)), AVIERR_OK);
    EXPECT_EQ(info.fccType, file.fccType);
    EXPECT_EQ(info.dwLength, file.dwLength);
    EXPECT_EQ(info.dwSuggestedBufferSize, file.dwSuggestedBufferSize);
    EXPECT_EQ(std::memcmp(&info.rcFrame, &file.rcFrame, sizeof info.rcFrame), 0);
    EXPECT_EQ(std::make_pair(info.dwScale, info.dwRate), std::make_pair(DWORD(1), DWORD(15)));
    EXPECT_NE(info.fccHandler, 0u);

    QByteArray format(64, 'x');
    LONG size = 0;
    EXPECT_EQ(own->ReadFormat(0, format.data(), &size), AVIERR_OK);  // size only
    EXPECT_EQ(size, 40);
    EXPECT_EQ(format, QByteArray(64, 'x'));
    size = LONG(format.size());
    ASSERT_EQ(own->ReadFormat(2, format.data(), &size), AVIERR_OK);
    EXPECT_EQ(size, 40);
    const qsizetype strf = bytes.indexOf("strf") + 8;
    EXPECT_EQ(format.left(40), bytes.mid(strf, 40));
    EXPECT_EQ(format.mid(40), QByteArray(24, 'x'));
  }
}

// Only the stream interface is handed out (told apart by its first word), counted each time.
TEST(OwnStream, QueryInterfaceHandsOutOnlyTheStreamInterface) {
  TSyntheticClip clip;
  IAVIStream* s = clip.OwnInterface();
  EXPECT_EQ(s->Create(0, 0), AVIERR_OK);
  GUID sameFirstWord = IID_IAVIStream;
  sameFirstWord.Data4[7] = 0;
  GUID other = IID_IAVIStream;
  other.Data1 += 1;
  const struct {
    GUID iid;
    HRESULT result;
    bool handedOut;
  } cases[] = {{IID_IAVIStream, AVIERR_OK, true},
               {sameFirstWord, AVIERR_OK, true},
               {other, E_NOINTERFACE, false},
               {GUID{}, E_NOINTERFACE, false}};
  LONG references = 1;
  for (const auto& c : cases) {
    void* object = &references;  // a stale value that a refusal must clear
    EXPECT_EQ(s->QueryInterface(c.iid, &object), c.result) << c.iid.Data1;
    EXPECT_EQ(object, c.handedOut ? static_cast<void*>(s) : nullptr);
    references += c.handedOut;
    EXPECT_EQ(clip.RefCount(), references);
  }
  EXPECT_EQ(s->Release(), DWORD(references - 1));
  EXPECT_EQ(s->AddRef(), DWORD(references));
}

}  // namespace
