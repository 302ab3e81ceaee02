#include <gtest/gtest.h>

#include "TestSupport.h"
#include "clip/AviStream.h"
#include "platform/RegIniFile.h"

namespace {

TEST(StreamOptions, TypeSectionOrElseCodecIsReadAndOnlyTheTypeSectionIsWritten) {
  testsupport::resetStore();
  TRegIniFile reg(QStringLiteral("\\Software\\Orvanta\\Lumetra"));
  const QString mav = QStringLiteral("Motion Analysis Video"), codec = QStringLiteral("Codec");
  const QString handler = QStringLiteral("Handler");
  reg.WriteString(codec, handler, QStringLiteral("divx5"));
  reg.WriteInteger(codec, QStringLiteral("Quality"), 7500);
  TAVISTREAM stream(mav);
  stream.LoadOptions(&reg);
  EXPECT_EQ(stream.CompressOptions().fccHandler, MakeFourCC('d', 'i', 'v', 'x'));
  EXPECT_EQ(stream.CompressOptions().dwQuality, 7500u);

  stream.CompressOptions().fccHandler = MakeFourCC('c', 'v', 0, 0);
  stream.SaveOptions(&reg);
  EXPECT_EQ(reg.ReadString(mav, handler, {}), QStringLiteral("cv"));
  EXPECT_EQ(reg.ReadInteger(mav, QStringLiteral("Quality"), 0), 7500);
  EXPECT_EQ(reg.ReadString(codec, handler, {}), QStringLiteral("divx5"));
  TAVISTREAM again(mav);
  again.LoadOptions(&reg);
  EXPECT_EQ(again.CompressOptions().fccHandler, MakeFourCC('c', 'v', 0, 0));
}

}  // namespace
