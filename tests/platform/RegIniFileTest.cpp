#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/RegIniFile.h"

namespace {
const QString kKey = "\\Software\\Orvanta\\Lumetra";

class RegIniFileTest : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::resetStore(); }
};

TEST_F(RegIniFileTest, ValueNamesWithEscapedCharactersSurviveRoundTrip) {
  // "Database Files" names its values by file path; QSettings would read "/" and "\" as groups.
  const QStringList names =
      QString(
          "/home/eng/titles/crash 50%.ini|C:\\titles\\a.ini|50%|dir/|dir\\|%|%2|%25|%2F|a=b|%order")
          .split(u'|');
  {
    TRegIniFile reg(kKey);
    for (const QString& name : names) reg.WriteString("Database Files", name, name + u'!');
  }
  TRegIniFile reg(kKey);
  EXPECT_EQ(reg.ReadSection("Database Files"), names);
  for (const QString& name : names)
    EXPECT_EQ(reg.ReadString("Database Files", name, {}), name + u'!') << name.toStdString();
}

TEST_F(RegIniFileTest, SectionsListNamesInWriteOrderAndVanishWithTheirLastKeyOrOnErase) {
  // Default titles and database files are shown in the user's order, not sorted.
  {
    TRegIniFile reg(kKey);
    for (const char* name : {"Test No", "Date", "Customer, Site", "Axle"})
      reg.WriteString("Default Titles", QString::fromLatin1(name), "?");
    reg.WriteString("Default Titles", "Date", "x");
    reg.DeleteKey("Default Titles", "Test No");
  }
  TRegIniFile reg(kKey);
  EXPECT_EQ(reg.ReadSection("Default Titles"), (QStringList{"Date", "Customer, Site", "Axle"}));
  EXPECT_EQ(reg.ReadSectionValues("Default Titles").first(), "Date=x");
  reg.DeleteKey("Default Titles", "Date");
  reg.DeleteKey("Default Titles", "Customer, Site");
  reg.DeleteKey("Default Titles", "Axle");
  EXPECT_FALSE(reg.SectionExists("Default Titles"));
  reg.WriteString("A", "x", "1");
  reg.WriteString("B", "y", "2");
  reg.EraseSection("A");
  EXPECT_FALSE(reg.SectionExists("A"));
  EXPECT_EQ(reg.ReadSectionValues("B"), QStringList{"y=2"});
}

TEST_F(RegIniFileTest, TypedValuesKeepEveryBitAndFallBackToDefaultWhenAbsentOrMalformed) {
  QByteArray blob;
  for (int i = 0; i < 256; ++i) blob.append(char(i));
  TRegIniFile(kKey).WriteBinaryData("AVI", "Options", blob);  // read back by another instance
  EXPECT_EQ(TRegIniFile(kKey).ReadBinaryData("AVI", "Options"), blob);
  TRegIniFile reg(kKey);
  EXPECT_EQ(reg.ReadInteger("S", "n", -1), -1);
  EXPECT_TRUE(reg.ReadBool("S", "b", true));
  reg.WriteString("S", "n", "12x");
  EXPECT_EQ(reg.ReadInteger("S", "n", 7), 7);
  reg.WriteBool("S", "b", false);
  EXPECT_FALSE(reg.ReadBool("S", "b", true));
  reg.WriteInteger("S", "n", -2147483647 - 1);
  EXPECT_EQ(reg.ReadInteger("S", "n", 0), -2147483647 - 1);
}

TEST_F(RegIniFileTest, SubkeysAreSeparateNamespacesInTheSameFile) {
  TRegIniFile top(kKey);
  TRegIniFile qm(kKey + "\\QuickMeasure");
  top.WriteString("Units", "Length", "mm");
  qm.WriteString("Units", "Length", "in");
  EXPECT_EQ(top.ReadString("Units", "Length", {}), "mm");
  EXPECT_EQ(qm.ReadString("Units", "Length", {}), "in");
  EXPECT_TRUE(top.ReadSections().contains("QuickMeasure"));
  EXPECT_EQ(qm.ReadSections(), QStringList{"Units"});
}

}  // namespace
