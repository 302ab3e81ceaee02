#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestSupport.h"
#include "platform/Exception.h"
#include "textio/BufFileStream.h"

namespace {

using testsupport::Folder;
using namespace std::literals;

TBufFileStream open(const Folder& folder, const QByteArray& bytes) {
  return TBufFileStream(folder.write("t.txt", bytes), TFileStream::TMode::OpenRead);
}

// Tokens read until the end: "KEY=VALUE" each, then "!" when "No More Tokens" ended it.
std::string tokens(TBufFileStream& s) {
  std::string out, key, value;
  try {
    for (;;) {
      s.ReadToken(key, value);
      out += key + "=" + value + ";";
    }
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "No More Tokens");
    out += "!";
  }
  return out;
}

TEST(BufFileStream, TokensFollowTheLineRules) {
  const struct {
    std::string_view bytes;
    const char* expected;
  } cases[] = {
      {"A,1"sv, "!"},  // a last line without a line end is no token
      {"A,1\r\n"sv, "A=1;!"},
      {"x,1\r\n\r\n\r\ny,2\r\n"sv, "X=1;Y=2;!"},
      {"  1,WINDOWS 32Bit \r\n"sv, "1=WINDOWS 32Bit;!"},
      {"name , a,b\n"sv, "NAME=a,b;!"},
      {"no comma here\r"sv, "NO COMMA HERE=;!"},
      {",skipped\r\n   \r\nk,v\r\n"sv, "SKIPPED=;K=v;!"},
      {"k,\x01v\x02\r\n"sv, "K=v;!"},   // trimming takes control characters too
      {"a,1\r\n\0b,2\r\n"sv, "A=1;!"},  // a NUL ends the file for the tokenizer
  };
  Folder folder;
  for (const auto& c : cases) {
    TBufFileStream s = open(folder, QByteArray(c.bytes.data(), qsizetype(c.bytes.size())));
    EXPECT_EQ(tokens(s), c.expected) << c.bytes;
  }
}

TEST(BufFileStream, WordsSplitAtBlanksAndLineEndsOnly) {
  Folder folder;
  TBufFileStream s = open(folder, "  12.5\t7  8\r\n");
  EXPECT_EQ(s.ReadWord(), "12.5\t7");
  EXPECT_EQ(s.ReadWord(), "8");
  EXPECT_EQ(s.ReadWord(), "");
  EXPECT_EQ(s.LineNumber, 4);

  TBufFileStream blank = open(folder, "\r\n\r\n");
  EXPECT_EQ(blank.ReadWord(), "");
  TBufFileStream skip = open(folder, "\r\n\r\n");
  EXPECT_TRUE(skip.SkipLine());
  EXPECT_FALSE(skip.SkipLine());
}

TEST(BufFileStream, GotoLineCountsNonBlankLinesAndRewinds) {
  Folder folder;
  TBufFileStream s = open(folder, "a\r\n\r\nb\nc\n");
  s.GotoLine(3);
  EXPECT_EQ(s.ReadWord(), "c");
  s.GotoLine(1);  // rewinds: the counter has passed line 1
  EXPECT_EQ(s.ReadWord(), "a");
  const int line = s.LineNumber;
  s.GotoLine(line);
  EXPECT_EQ(s.LineNumber, line);
  EXPECT_EQ(s.ReadWord(), "b");
  // A line far beyond the end stops at the end instead of counting up to it.
  s.GotoLine(2000000000);
  EXPECT_EQ(s.ReadWord(), "");
}

TEST(BufFileStream, SeekDropsTheBufferAndBlockReadsFollowIt) {
  Folder folder;
  QByteArray bytes;
  for (int i = 0; i < 5000; ++i) bytes += char('A' + i % 26);
  TBufFileStream s = open(folder, bytes);
  s.SetBufferSize(16);
  for (int pos : {0, 4000, 17, 4999, 3}) {
    s.Seek(pos, TStream::TOrigin::Beginning);
    EXPECT_EQ(s.ReadChar(), bytes[pos]) << pos;
    EXPECT_EQ(s.PeekChar(), pos + 1 < bytes.size() ? bytes[pos + 1] : '\0');
  }
  s.Seek(10, TStream::TOrigin::Beginning);
  s.ReadChar();
  char block[40];
  ASSERT_EQ(s.Read(block, 40), 40);
  EXPECT_EQ(QByteArray(block, 40), bytes.mid(11, 40));
  EXPECT_EQ(s.Seek(0, TStream::TOrigin::Current), 51);
}

TEST(BufFileStream, FifosAndFoldersAreRefusedNotWaitedOn) {
  Folder folder;
  ASSERT_EQ(::mkfifo(folder.path("pipe").toLocal8Bit().constData(), 0600), 0);
  for (const QString& path : {folder.path("pipe"), folder.dir.path(), folder.path("missing")})
    EXPECT_THROW(TBufFileStream(path, TFileStream::TMode::OpenRead), Exception)
        << path.toStdString();
}

}  // namespace
