#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "TestSupport.h"
#include "platform/IniFile.h"

TEST(IniFile, KeepsFileOrderIgnoresCaseAndJunkAndReadsAMissingFileAsEmpty) {
  QTemporaryDir dir;
  const QString path = dir.filePath("t.ini");
  testsupport::writeFile(path,
                         "; comment\r\n[Zeta]\r\nB = 2\r\nA=1\r\nno equals here\r\n"
                         "[alpha]\nK=v=w\n\n[ZETA]\nC=3\n");
  const TIniFile ini(path);
  ASSERT_TRUE(ini.exists());
  EXPECT_EQ(ini.ReadSections(), (QStringList{"Zeta", "alpha"}));
  EXPECT_EQ(ini.ReadSectionValues("zeta"), (QStringList{"B=2", "A=1", "C=3"}));
  EXPECT_EQ(ini.ReadString("ALPHA", "k", {}), "v=w");
  EXPECT_TRUE(ini.ReadSectionValues("missing").isEmpty());
  const TIniFile missing("/nonexistent/x.ini");
  EXPECT_FALSE(missing.exists());
  EXPECT_TRUE(missing.ReadSections().isEmpty());
}
