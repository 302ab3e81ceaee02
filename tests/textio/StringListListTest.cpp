#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "textio/StringListList.h"

namespace {

void setAge(const QString& path, qint64 secs) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  ASSERT_TRUE(
      f.setFileTime(QDateTime::fromSecsSinceEpoch(secs), QFileDevice::FileModificationTime));
}

class StringListListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.filePath("titles.ini");
    testsupport::writeFile(path, "[Crash]\nSpeed=50\n[Sled]\nMass=900\n");
    setAge(path, 1'700'000'000);
    auto list = std::make_unique<TSectionList>();
    list->Add("Sled", TStringListList::ReadSection(path, "Sled"));
    list->Add("crash", TStringListList::ReadSection(path, "crash"));
    cache.Add(std::move(list));
    files.push_back({path, 1'700'000'000});
  }
  QTemporaryDir dir;
  QString path;
  TStringListList cache;
  TDatabaseFiles files;
};

TEST_F(StringListListTest, SectionsAreSortedWithoutCaseCarryTheirLinesAndPutPastTheEndAppends) {
  EXPECT_EQ(cache.Lists(0)->Names(), (QStringList{"crash", "Sled"}));
  EXPECT_EQ(*cache.SectionValues(0, 0), QStringList{"Speed=50"});
  EXPECT_EQ(cache.Lists(0)->Add("SLED"), 1);  // a duplicate keeps the first
  EXPECT_EQ(cache.Lists(0)->Count(), 2);
  EXPECT_EQ(cache.SectionValues(3, 0), nullptr);
  cache.Put(1, 0, std::make_unique<QStringList>());  // one past the end appends a list
  ASSERT_EQ(cache.Count(), 2);
  EXPECT_EQ(cache.Lists(1)->Count(), 0);
  EXPECT_EQ(cache.Lists(0)->Count(), 2);
}

TEST_F(StringListListTest, RefreshRereadsOnlyWhenTheFileAgeChanged) {
  testsupport::writeFile(path, "[Crash]\nSpeed=64\n[Sled]\nMass=1200\n");
  setAge(path, 1'700'000'000);  // same age: nothing is reread
  cache.Refresh(files);
  EXPECT_EQ(*cache.SectionValues(0, 0), QStringList{"Speed=50"});

  setAge(path, 1'700'000'100);  // touched: every listed section is reread
  cache.Refresh(files);
  EXPECT_EQ(files[0].age, 1'700'000'100);
  EXPECT_EQ(*cache.SectionValues(0, 0), QStringList{"Speed=64"});
  EXPECT_EQ(*cache.SectionValues(0, 1), QStringList{"Mass=1200"});
}

TEST_F(StringListListTest, MissingFileHasAgeMinusOneAndIsSkippedOnceStored) {
  QFile::remove(path);
  cache.Refresh(files);
  EXPECT_EQ(files[0].age, -1);
  ASSERT_NE(cache.SectionValues(0, 0), nullptr);
  EXPECT_TRUE(cache.SectionValues(0, 0)->isEmpty());
  // A later refresh with the file still missing leaves the (empty) sections alone.
  cache.Put(0, 0, std::make_unique<QStringList>(QStringList{"kept=1"}));
  cache.Refresh(files);
  EXPECT_EQ(*cache.SectionValues(0, 0), QStringList{"kept=1"});
}

}  // namespace
