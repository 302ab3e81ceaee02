#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/RegIniFile.h"

namespace {
const QString kKey = QStringLiteral("\\Software\\Orvanta\\Lumetra");

class RegIniFileTest : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::resetStore(); }
};

TEST_F(RegIniFileTest, ValueNamesWithEscapedCharactersSurviveRoundTrip) {
  // "Database Files" names its values by file path; QSettings would read "/" and "\" as groups.
  const QStringList names = {"/home/eng/titles/crash 50%.ini",
                             "C:\\titles\\a.ini",
                             "50%",
                             "dir/",
                             "dir\\",
                             "%",
                             "%2",
                             "%25",
                             "%2F",
                             "a=b",
                             "%order"};
  {
    TRegIniFile reg(kKey);
    for (const QString& name : names)
      reg.WriteString(QStringLiteral("Database Files"), name, name + u'!');
  }
  TRegIniFile reg(kKey);
  EXPECT_EQ(reg.ReadSection(QStringLiteral("Database Files")), names);
  for (const QString& name : names)
    EXPECT_EQ(reg.ReadString(QStringLiteral("Database Files"), name, {}), name + u'!')
        << name.toStdString();
}

TEST_F(RegIniFileTest, SectionsListNamesInTheOrderTheyWereFirstWritten) {
  // Default titles and database files are shown in the user's order, not sorted.
  {
    TRegIniFile reg(kKey);
    for (const char* name : {"Test No", "Date", "Customer, Site", "Axle"})
      reg.WriteString(QStringLiteral("Default Titles"), QString::fromLatin1(name),
                      QStringLiteral("?"));
    reg.WriteString(QStringLiteral("Default Titles"), QStringLiteral("Date"), QStringLiteral("x"));
    reg.DeleteKey(QStringLiteral("Default Titles"), QStringLiteral("Test No"));
  }
  TRegIniFile reg(kKey);
  EXPECT_EQ(reg.ReadSection(QStringLiteral("Default Titles")),
            (QStringList{"Date", "Customer, Site", "Axle"}));
  EXPECT_EQ(reg.ReadSectionValues(QStringLiteral("Default Titles")).first(), "Date=x");
  reg.DeleteKey(QStringLiteral("Default Titles"), QStringLiteral("Date"));
  reg.DeleteKey(QStringLiteral("Default Titles"), QStringLiteral("Customer, Site"));
  reg.DeleteKey(QStringLiteral("Default Titles"), QStringLiteral("Axle"));
  EXPECT_FALSE(reg.SectionExists(QStringLiteral("Default Titles")));
}

TEST_F(RegIniFileTest, TypedReadsFallBackToDefaultWhenAbsentOrMalformed) {
  TRegIniFile reg(kKey);
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("S"), QStringLiteral("n"), -1), -1);
  EXPECT_TRUE(reg.ReadBool(QStringLiteral("S"), QStringLiteral("b"), true));
  reg.WriteString(QStringLiteral("S"), QStringLiteral("n"), QStringLiteral("12x"));
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("S"), QStringLiteral("n"), 7), 7);
  reg.WriteBool(QStringLiteral("S"), QStringLiteral("b"), false);
  EXPECT_FALSE(reg.ReadBool(QStringLiteral("S"), QStringLiteral("b"), true));
  reg.WriteInteger(QStringLiteral("S"), QStringLiteral("n"), -2147483647 - 1);
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("S"), QStringLiteral("n"), 0), -2147483647 - 1);
}

TEST_F(RegIniFileTest, SubkeysAreSeparateNamespacesInTheSameFile) {
  TRegIniFile top(kKey);
  TRegIniFile qm(kKey + QStringLiteral("\\QuickMeasure"));
  top.WriteString(QStringLiteral("Units"), QStringLiteral("Length"), QStringLiteral("mm"));
  qm.WriteString(QStringLiteral("Units"), QStringLiteral("Length"), QStringLiteral("in"));
  EXPECT_EQ(top.ReadString(QStringLiteral("Units"), QStringLiteral("Length"), {}), "mm");
  EXPECT_EQ(qm.ReadString(QStringLiteral("Units"), QStringLiteral("Length"), {}), "in");
  EXPECT_TRUE(top.ReadSections().contains(QStringLiteral("QuickMeasure")));
  EXPECT_EQ(qm.ReadSections(), QStringList{QStringLiteral("Units")});
}

TEST_F(RegIniFileTest, EraseSectionRemovesOnlyThatSection) {
  TRegIniFile reg(kKey);
  reg.WriteString(QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("1"));
  reg.WriteString(QStringLiteral("B"), QStringLiteral("y"), QStringLiteral("2"));
  reg.EraseSection(QStringLiteral("A"));
  EXPECT_FALSE(reg.SectionExists(QStringLiteral("A")));
  EXPECT_TRUE(reg.SectionExists(QStringLiteral("B")));
  EXPECT_EQ(reg.ReadSectionValues(QStringLiteral("B")), QStringList{QStringLiteral("y=2")});
}

TEST_F(RegIniFileTest, BinaryValuesKeepEveryByte) {
  QByteArray blob;
  for (int i = 0; i < 256; ++i) blob.append(char(i));
  {
    TRegIniFile reg(kKey);
    reg.WriteBinaryData(QStringLiteral("AVI"), QStringLiteral("Options"), blob);
  }
  EXPECT_EQ(TRegIniFile(kKey).ReadBinaryData(QStringLiteral("AVI"), QStringLiteral("Options")),
            blob);
}
}  // namespace
