#include <gtest/gtest.h>

#include <tuple>

#include "TestSupport.h"
#include "clip/AviStream.h"
#include "platform/RegIniFile.h"

namespace {

TEST(StreamOptions, TypeSectionOrElseCodecIsReadAndOnlyTheTypeSectionIsWritten) {
  testsupport::resetStore();
  TRegIniFile reg("\\Software\\Orvanta\\Lumetra");
  const QString mav = "Motion Analysis Video", codec = "Codec";
  const QString handler = "Handler";
  reg.WriteString(codec, handler, "divx5");
  reg.WriteInteger(codec, "Quality", 7500);
  TAVISTREAM stream(mav);
  stream.LoadOptions(&reg);
  EXPECT_EQ(stream.CompressOptions().fccHandler, MakeFourCC('d', 'i', 'v', 'x'));
  EXPECT_EQ(stream.CompressOptions().dwQuality, 7500u);

  stream.CompressOptions().fccHandler = MakeFourCC('c', 'v', 0, 0);
  stream.SaveOptions(&reg);
  EXPECT_EQ(reg.ReadString(mav, handler, {}), "cv");
  EXPECT_EQ(reg.ReadInteger(mav, "Quality", 0), 7500);
  EXPECT_EQ(reg.ReadString(codec, handler, {}), "divx5");
}

// The fields that matter, as one comparable row.
std::tuple<DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, void*, DWORD, void*, DWORD, DWORD> Fields(
    const AVICOMPRESSOPTIONS& o) {
  return {o.fccType,  o.fccHandler, o.dwKeyFrameEvery, o.dwQuality, o.dwBytesPerSecond, o.dwFlags,
          o.lpFormat, o.cbFormat,   o.lpParms,         o.cbParms,   o.dwInterleaveEvery};
}

// A new stream starts with "iv32", a key frame every 6 frames and flags 12; a load from an
// empty store takes other defaults (no key frames, flags 8) and clears what was set before.
TEST(StreamOptions, InitialValuesAndLoadDefaults) {
  testsupport::resetStore();
  TRegIniFile reg("\\Software\\Orvanta\\Lumetra");
  const DWORD vids = MakeFourCC('v', 'i', 'd', 's'), iv32 = MakeFourCC('i', 'v', '3', '2');
  TAVISTREAM stream("AVI");
  EXPECT_EQ(Fields(stream.CompressOptions()),
            Fields({vids, iv32, 6, 10000, 0, 12, nullptr, 0, nullptr, 0, 0}));
  EXPECT_FALSE(stream.OptionsOK);
  int format = 0, parms = 0;
  stream.CompressOptions() = {1, 2, 3, 4, 5, 6, &format, 7, &parms, 8, 9};
  stream.OptionsOK = true;
  stream.LoadOptions(nullptr);  // nothing to read: nothing changes
  EXPECT_TRUE(stream.OptionsOK);
  stream.LoadOptions(&reg);
  EXPECT_EQ(Fields(stream.CompressOptions()),
            Fields({vids, iv32, 0, 10000, 0, 8, nullptr, 0, nullptr, 0, 0}));
  EXPECT_FALSE(stream.OptionsOK);
}

TEST(StreamOptions, SavedOptionsComeBackInANewStream) {
  testsupport::resetStore();
  TRegIniFile reg("\\Software\\Orvanta\\Lumetra");
  const AVICOMPRESSOPTIONS cases[] = {
      {streamtypeVIDEO, MakeFourCC('M', 'J', 'P', 'G'), 25, 7300, 0, 0x0E},
      {streamtypeVIDEO, MakeFourCC('x', '2', '6', '\xE9'), 0, 0xFFFFFFFFu, 0, 0},
      {streamtypeVIDEO, 0, 1, 0, 0, AVICOMPRESSF_VALID}};
  for (const AVICOMPRESSOPTIONS& o : cases) {
    TAVISTREAM stream("Motion Analysis Video");
    stream.CompressOptions() = o;
    stream.OptionsOK = o.dwFlags != 0;
    stream.SaveOptions(&reg);
    TAVISTREAM again("Motion Analysis Video");
    again.LoadOptions(&reg);
    EXPECT_EQ(Fields(again.CompressOptions()), Fields(o)) << o.fccHandler;
    EXPECT_EQ(again.OptionsOK, stream.OptionsOK);
  }
}

}  // namespace
