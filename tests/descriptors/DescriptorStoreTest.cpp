#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "RiffKit.h"
#include "TestSupport.h"
#include "clip/AviStream.h"
#include "descriptors/ClipDescriptor.h"
#include "descriptors/DescriptorStore.h"

namespace {

// A RIFF file with an empty header list and an empty "movi" list.
std::string emptyClip() {
  return list("RIFF", "AVI ", list("LIST", "hdrl", "") + list("LIST", "movi", ""));
}

class DescriptorStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.filePath(QStringLiteral("run7.avi"));
    testsupport::writeFile(path, QByteArray::fromStdString(emptyClip()));
  }
  QTemporaryDir dir;
  QString path;
  TAVISTREAM stream{QStringLiteral("AVI")};
  PGETFRAME reader = nullptr;
};

TEST_F(DescriptorStoreTest, TextIsAppendedOnceThenOverwrittenInPlace) {
  const qint64 before = QFile(path).size();
  ASSERT_TRUE(StoreDescriptor(stream, reader, path, "[Titles]\rDescription=first\r"));
  EXPECT_EQ(stream.FileName, path);
  EXPECT_EQ(QFile(path).size(), before + 2056);
  EXPECT_EQ(ReadClipDescriptor(path).text, "[Titles]\rDescription=first\r");

  ASSERT_TRUE(StoreDescriptor(stream, reader, path, "[Titles]\rA=b\r"));
  EXPECT_EQ(QFile(path).size(), before + 2056);
  const TClipDescriptor d = ReadClipDescriptor(path);
  EXPECT_EQ(d.text, "[Titles]\rA=b\r");  // the zero padding ends the shorter text
  EXPECT_FALSE(d.changed);
}

TEST_F(DescriptorStoreTest, TextLongerThanTheChunkIsCutTo2048AndReadsBackWhole) {
  ASSERT_TRUE(StoreDescriptor(stream, reader, path, std::string(3000, 'z')));
  EXPECT_EQ(ReadClipDescriptor(path).text, std::string(2048, 'z'));
}

TEST_F(DescriptorStoreTest, UnwritableFileReportsFailure) {
  EXPECT_FALSE(StoreDescriptor(stream, reader, dir.filePath(QStringLiteral("gone.avi")), "x"));
  testsupport::writeFile(path, "not a riff file");
  EXPECT_FALSE(StoreDescriptor(stream, reader, path, "x"));
}

}  // namespace
