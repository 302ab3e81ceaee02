#include <gtest/gtest.h>

#include "TestSupport.h"
#include "clip/AviStream.h"
#include "platform/RegIniFile.h"

namespace {

const QString kKey = QStringLiteral("\\Software\\Orvanta\\Lumetra");
const QString kMav = QStringLiteral("Motion Analysis Video");

class StreamOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::resetStore(); }
};

TEST_F(StreamOptionsTest, StartsWithIndeoKeyFramesEverySixAndFullQuality) {
  TAVISTREAM stream(kMav);
  const AVICOMPRESSOPTIONS& o = stream.CompressOptions();
  EXPECT_EQ(o.fccType, streamtypeVIDEO);
  EXPECT_EQ(o.fccHandler, MakeFourCC('i', 'v', '3', '2'));
  EXPECT_EQ(o.dwKeyFrameEvery, 6u);
  EXPECT_EQ(o.dwQuality, 10000u);
  EXPECT_EQ(o.dwFlags, 12u);
  EXPECT_FALSE(stream.OptionsOK);
}

TEST_F(StreamOptionsTest, MissingTypeSectionFallsBackToCodecThenSaveCreatesIt) {
  TRegIniFile reg(kKey);
  reg.WriteBool(QStringLiteral("Codec"), QStringLiteral("OptionsOK"), true);
  reg.WriteString(QStringLiteral("Codec"), QStringLiteral("Handler"), QStringLiteral("MJPG"));
  reg.WriteInteger(QStringLiteral("Codec"), QStringLiteral("Quality"), 7500);
  TAVISTREAM stream(kMav);
  stream.LoadOptions(&reg);
  const AVICOMPRESSOPTIONS& o = stream.CompressOptions();
  EXPECT_TRUE(stream.OptionsOK);
  EXPECT_EQ(o.fccHandler, MakeFourCC('M', 'J', 'P', 'G'));
  EXPECT_EQ(o.dwQuality, 7500u);
  EXPECT_EQ(o.dwKeyFrameEvery, 0u);
  EXPECT_EQ(o.dwFlags, 8u);

  stream.SaveOptions(&reg);
  EXPECT_TRUE(reg.SectionExists(kMav));
  EXPECT_EQ(reg.ReadString(kMav, QStringLiteral("Handler"), {}), QStringLiteral("MJPG"));
  EXPECT_EQ(reg.ReadInteger(kMav, QStringLiteral("Quality"), 0), 7500);
  EXPECT_EQ(reg.ReadInteger(kMav, QStringLiteral("Flags"), 0), 8);
  // The fallback is never written; the type's own section now wins.
  reg.WriteString(QStringLiteral("Codec"), QStringLiteral("Handler"), QStringLiteral("XVID"));
  TAVISTREAM again(kMav);
  again.LoadOptions(&reg);
  EXPECT_EQ(again.CompressOptions().fccHandler, MakeFourCC('M', 'J', 'P', 'G'));
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("Codec"), QStringLiteral("Quality"), 0), 7500);
}

TEST_F(StreamOptionsTest, HandlerKeepsFourCharactersAndPadsShortOnesWithZeros) {
  TRegIniFile reg(kKey);
  TAVISTREAM stream(QStringLiteral("AVI"));
  reg.WriteString(QStringLiteral("AVI"), QStringLiteral("Handler"), QStringLiteral("divx5"));
  stream.LoadOptions(&reg);
  EXPECT_EQ(stream.CompressOptions().fccHandler, MakeFourCC('d', 'i', 'v', 'x'));
  reg.WriteString(QStringLiteral("AVI"), QStringLiteral("Handler"), QStringLiteral("cv"));
  stream.LoadOptions(&reg);
  EXPECT_EQ(stream.CompressOptions().fccHandler, MakeFourCC('c', 'v', 0, 0));
  stream.SaveOptions(&reg);
  EXPECT_EQ(reg.ReadString(QStringLiteral("AVI"), QStringLiteral("Handler"), {}),
            QStringLiteral("cv"));
}

}  // namespace
