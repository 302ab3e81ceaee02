#include <gtest/gtest.h>

#include "EditorKit.h"
#include "descriptors/DescriptorSections.h"
#include "descriptors/TitleTemplates.h"

namespace {

TEST(TitleTemplates, FieldReferenceResolvesOnlyForADatabaseRowListAndKey) {
  TestDatabases dbs;
  InitTitleLists(nullptr, dbs.db.lists);
  const TDatabases& db = dbs.db;
  const struct {
    QString line, value;
  } cases[] = {
      {"Camera=(rig7.ini)[Camera]Camera ID", "HX-9"},
      {"Camera=(RIG7.INI)[camera]camera id", "HX-9"},
      {"Camera=(rig8.ini)[Camera]Camera ID", "(rig8.ini)[Camera]Camera ID"},
      {"Camera=(rig7.ini)[Camera]Serial", "(rig7.ini)[Camera]Serial"},
      {"Site=test track", "test track"},
      {"Type=(\\software\\orvanta\\lumetra)[Camera]Camera Type", "?"},  // the own lists' row
  };
  for (const auto& c : cases) EXPECT_EQ(DefaultTitleValue(c.line, db.names, db.lists), c.value);
  EXPECT_TRUE(IsFieldReference("(rig7)[Camera]Camera ID"));
  EXPECT_FALSE(IsFieldReference("[Camera](rig7)Camera ID"));
  EXPECT_FALSE(IsFieldReference(")rig7([Camera]x"));
  EXPECT_FALSE(IsFieldReference("(rig7)Camera ID"));

  PutOwnList(dbs.db.lists, kDefaultTitlesList, {"Camera=(rig7.ini)[Camera]Camera ID", "Site=?"});
  testsupport::writeFile(dbs.path, "[Camera]\nCamera ID=HX-10\n");
  ASSERT_TRUE(RebuildTitles(dbs.db));  // rereads the changed file
  EXPECT_EQ(*LocateTitleLists(db.lists).titles, (QStringList{"Camera=HX-10", "Site=?"}));
}

TEST(DescriptorSections, LinesStartAtTheirFirstNameCharacterAndStopAtTheNextSection) {
  const std::string text =
      "junk[Timing]\r  Frame Rate=30\r\n\rMark Frame=2\r\r[Camera]\rCamera ID=a";
  EXPECT_EQ(DescriptorSectionLines(text, "[Timing]"),
            (QStringList{"Frame Rate=30", "Mark Frame=2"}));
  EXPECT_EQ(DescriptorSectionLines(text, "[Camera]"), QStringList{"Camera ID=a"});
  EXPECT_TRUE(DescriptorSectionLines(text, "[Titles]").isEmpty());
  EXPECT_TRUE(DescriptorSectionLines("[Timing]", "[Timing]").isEmpty());
  EXPECT_TRUE(DescriptorSectionLines("[Timing][Camera]\rCamera ID=a\r", "[Timing]").isEmpty());
  const QStringList cut =
      DescriptorSectionLines("[Titles]\rA=" + std::string(400, 'x'), "[Titles]");
  ASSERT_EQ(cut.size(), 1);
  EXPECT_EQ(cut[0].size(), 255);
}

}  // namespace
