#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "TestSupport.h"
#include "platform/IniFile.h"

TEST(IniFile, KeepsFileOrderAndIgnoresCaseAndJunk) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("t.ini"));
  testsupport::writeFile(path,
                         "; comment\r\n[Zeta]\r\nB = 2\r\nA=1\r\nno equals here\r\n"
                         "[alpha]\nK=v=w\n\n[ZETA]\nC=3\n");
  const TIniFile ini(path);
  ASSERT_TRUE(ini.exists());
  EXPECT_EQ(ini.ReadSections(), (QStringList{"Zeta", "alpha"}));
  EXPECT_EQ(ini.ReadSectionValues(QStringLiteral("zeta")), (QStringList{"B=2", "A=1", "C=3"}));
  EXPECT_EQ(ini.ReadString(QStringLiteral("ALPHA"), QStringLiteral("k"), {}), "v=w");
  EXPECT_TRUE(ini.ReadSectionValues(QStringLiteral("missing")).isEmpty());
}

TEST(IniFile, MissingFileReadsAsEmpty) {
  const TIniFile ini(QStringLiteral("/nonexistent/x.ini"));
  EXPECT_FALSE(ini.exists());
  EXPECT_TRUE(ini.ReadSections().isEmpty());
}
