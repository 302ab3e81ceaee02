#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "QtPrinters.h"
#include "TestSupport.h"
#include "descriptors/DescriptorSections.h"
#include "descriptors/TitleTemplates.h"

namespace {

const QString kOwnKey = QStringLiteral("\\software\\orvanta\\lumetra");

// Database row 0 is the file rig7 with a "Camera" section; row 1 holds the own lists.
class TitleTemplatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetStore();
    path = dir.filePath(QStringLiteral("rig7"));
    testsupport::writeFile(path, "[Camera]\nCamera ID=HX-9\nLens=50mm\n");
    auto rig = std::make_unique<TSectionList>();
    rig->Add(QStringLiteral("Camera"),
             TStringListList::ReadSection(path, QStringLiteral("Camera")));
    db.lists.Add(std::move(rig));
    db.files.push_back({path, -2});  // differs from the real age: the first refresh rereads
    db.names << QStringLiteral("rig7") << kOwnKey;
    db.lists.Add(std::make_unique<TSectionList>());
    InitTitleLists(nullptr, db.lists);
  }
  void setDefaults(const QStringList& lines) { PutOwnList(db.lists, kDefaultTitlesList, lines); }
  QTemporaryDir dir;
  QString path;
  TDatabases db;
};

TEST_F(TitleTemplatesTest, FieldReferenceResolvesOnlyForADatabaseName) {
  EXPECT_EQ(DefaultTitleValue("Camera=(rig7)[Camera]Camera ID", db.names, db.lists), "HX-9");
  EXPECT_EQ(DefaultTitleValue("Camera=(RIG7)[camera]camera id", db.names, db.lists), "HX-9");
  EXPECT_EQ(DefaultTitleValue("Camera=(rig8)[Camera]Camera ID", db.names, db.lists),
            "(rig8)[Camera]Camera ID");
  EXPECT_EQ(DefaultTitleValue("Camera=(rig7)[Camera]Serial", db.names, db.lists),
            "(rig7)[Camera]Serial");
  EXPECT_EQ(DefaultTitleValue("Site=test track", db.names, db.lists), "test track");
  // The system's own lists are a database row too.
  EXPECT_EQ(DefaultTitleValue("Type=(" + kOwnKey + ")[Camera]Camera Type", db.names, db.lists),
            "?");
}

TEST_F(TitleTemplatesTest, FieldReferenceNeedsParenthesesBeforeBrackets) {
  EXPECT_TRUE(IsFieldReference("(rig7)[Camera]Camera ID"));
  EXPECT_FALSE(IsFieldReference("[Camera](rig7)Camera ID"));
  EXPECT_FALSE(IsFieldReference(")rig7([Camera]x"));
  EXPECT_FALSE(IsFieldReference("(rig7)Camera ID"));
  const TFieldReference r = SplitFieldReference("a(rig7)b[Camera]c");
  EXPECT_EQ(r.database, "rig7");
  EXPECT_EQ(r.list, "Camera");
  EXPECT_EQ(r.key, "abc");
}

TEST_F(TitleTemplatesTest, RebuildRereadsChangedFilesAndResolvesEveryDefault) {
  setDefaults({"Camera=(rig7)[Camera]Camera ID", "Site=?"});
  testsupport::writeFile(path, "[Camera]\nCamera ID=HX-10\n");
  ASSERT_TRUE(RebuildTitles(db));
  EXPECT_EQ(*LocateTitleLists(db.lists).titles, (QStringList{"Camera=HX-10", "Site=?"}));
}

TEST(DescriptorSections, LinesStartAtTheirFirstNameCharacter) {
  const std::string text =
      "junk[Timing]\r  Frame Rate=30\r\n\rMark Frame=2\r\r[Camera]\rCamera ID=a";
  EXPECT_EQ(DescriptorSectionLines(text, "[Timing]"),
            (QStringList{"Frame Rate=30", "Mark Frame=2"}));
  EXPECT_EQ(DescriptorSectionLines(text, "[Camera]"), QStringList{"Camera ID=a"});
  EXPECT_TRUE(DescriptorSectionLines(text, "[Titles]").isEmpty());
  EXPECT_TRUE(DescriptorSectionLines("[Timing]", "[Timing]").isEmpty());
  // A header directly followed by the next one has no lines of its own.
  EXPECT_TRUE(DescriptorSectionLines("[Timing][Camera]\rCamera ID=a\r", "[Timing]").isEmpty());
  const QStringList cut =
      DescriptorSectionLines("[Titles]\rA=" + std::string(400, 'x'), "[Titles]");
  ASSERT_EQ(cut.size(), 1);
  EXPECT_EQ(cut[0].size(), 255);
}

TEST(DescriptorSections, ComposeKeepsFractionalRatesAndOtherSections) {
  const std::string kept =
      OtherSections("[Timing]\rFrame Rate=1\r[Scaling]\rGage=2.5\r[Titles]\rA=b");
  EXPECT_EQ(kept, "[Scaling]\rGage=2.5\r");
  EXPECT_EQ(ComposeDescriptorText(29.97, 4, -1.5, {"Camera ID=x"}, {"A=b"}, kept),
            "[Timing]\rFrame Rate=29.97\rMark Frame=4\rTime at Mark Frame=-1.5\r"
            "[Camera]\rCamera ID=x\r[Titles]\rA=b\r[Scaling]\rGage=2.5\r");
  EXPECT_EQ(ComposeDescriptorText(1000, 0, 0, {}, {}).substr(0, 25), "[Timing]\rFrame Rate=1000\r");
  EXPECT_EQ(OtherSections("[Scaling]\rv=a[b]"), "[Scaling]\rv=a[b]\r");
}

}  // namespace
