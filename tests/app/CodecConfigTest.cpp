#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDateTime>
#include <QDir>
#include <QFile>

#include "TestSupport.h"
#include "app/CodecConfig.h"
#include "platform/RegIniFile.h"

namespace {

using codecconfig::RegValue;
using Kind = RegValue::Kind;

class CodecConfigTest : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::resetStore(); }
  static QString codecSetting(const char* name) {
    return TRegIniFile(QStringLiteral("\\Software\\GNU"))
        .ReadString(QStringLiteral("ffdshow"), QString::fromLatin1(name), QStringLiteral("-"));
  }
  testsupport::Folder folder;
};

TEST_F(CodecConfigTest, LinesBecomeTypedValues) {
  struct Case {
    const char* line;  // as the INI reader hands it over
    Kind kind;
    const char* name;
    int dword;
    const char* text;
  };
  const Case cases[] = {
      {R"("Quality"=dword:00000064)", Kind::Dword, "Quality", 100, ""},
      {R"("Short"=dword:64)", Kind::Dword, "Short", 100, ""},
      {R"("All"=dword:ffffffff)", Kind::Dword, "All", -1, ""},
      {R"("Bad"=dword:0000zz01)", Kind::Dword, "Bad", 0, ""},
      {R"("Signed"=dword:-0000001)", Kind::Dword, "Signed", 0, ""},
      {R"("Path"="C:\\Program Files\\\\ffdshow\\")", Kind::String, "Path", 0,
       R"(C:\Program Files\ffdshow\)"},
      {R"("a=b"="x")", Kind::String, "a=b", 0, "x"},
      {R"("Quoted"="dword:00000001")", Kind::String, "Quoted", 0, "dword:00000001"},
      {R"("Typed"=hex(2):41,00)", Kind::Skip, "Typed", 0, ""},
      {R"("Binary"=hex:01,02)", Kind::Skip, "Binary", 0, ""},
      {R"("Empty"="")", Kind::Skip, "Empty", 0, ""},
      {R"(""="nameless")", Kind::Skip, "", 0, ""},
  };
  for (const Case& c : cases) {
    const RegValue v = codecconfig::ParseRegLine(QString::fromLatin1(c.line));
    EXPECT_EQ(v.kind, c.kind) << c.line;
    EXPECT_EQ(v.name, QString::fromLatin1(c.name)) << c.line;
    EXPECT_EQ(v.dword, c.dword) << c.line;
    EXPECT_EQ(v.text, QString::fromLatin1(c.text)) << c.line;
  }
}

TEST_F(CodecConfigTest, OnlyUserSectionsAreImportedAndABadKeyIsReportedOnce) {
  const QString reg = folder.write("ffdshow.reg", R"(Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\GNU\ffdshow]
"Machine"=dword:00000001

[HKEY_CURRENT_USER\Software\GNU\\Broken]
"Lost"=dword:00000002
"AlsoLost"="x"

[HKEY_CURRENT_USER\Software\GNU\ffdshow]
"Quality"=dword:00000064
"Path"="C:\\Program Files\\ffdshow"
"Raw"=hex(7):41,00,00,00
)");
  codecconfig::ImportRegFile(reg, nullptr);

  EXPECT_EQ(codecSetting("Quality"), "100");
  EXPECT_EQ(codecSetting("Path"), R"(C:\Program Files\ffdshow)");
  EXPECT_EQ(codecSetting("Raw"), "-");
  EXPECT_EQ(codecSetting("Machine"), "-");
  const auto& shown = testsupport::script().shown;
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, reg + R"(: Create Key HKEY_CURRENT_USER\Software\GNU\\Broken failed.)");
  EXPECT_EQ(shown[1].text, "ffdshow Configuration Updated From: \n\n" + reg);
}

TEST_F(CodecConfigTest, StartUpImportsOnlyWhenTheFileAgeChanges) {
  const QString dir = folder.dir.path() + u'/';
  const QString reg =
      folder.write("ffdshow.reg", "[HKEY_CURRENT_USER\\Software\\GNU\\ffdshow]\n\"On\"=\"1\"\n");
  const auto imports = [] { return testsupport::script().shown.size(); };

  const std::int32_t first = codecconfig::ImportWhenChanged(dir, -1, nullptr);
  EXPECT_NE(first, -1);
  EXPECT_EQ(imports(), 1u);
  EXPECT_EQ(codecconfig::ImportWhenChanged(dir, first, nullptr), first);
  EXPECT_EQ(imports(), 1u);

  QFile f(reg);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  ASSERT_TRUE(
      f.setFileTime(QDateTime::fromSecsSinceEpoch(first + 60), QFileDevice::FileModificationTime));
  f.close();
  EXPECT_EQ(codecconfig::ImportWhenChanged(dir, first, nullptr), first + 60);
  EXPECT_EQ(imports(), 2u);

  // Neither a missing file nor a FIFO (whose reader would wait for a writer) is imported.
  ASSERT_TRUE(QFile::remove(reg));
  EXPECT_EQ(codecconfig::ImportWhenChanged(dir, 7, nullptr), 7);
  ASSERT_EQ(::mkfifo(QFile::encodeName(reg).constData(), 0600), 0);
  EXPECT_EQ(codecconfig::ImportWhenChanged(dir, 7, nullptr), 7);
  EXPECT_EQ(imports(), 2u);
}

TEST_F(CodecConfigTest, ConfigurationEntryRunsInTheCurrentFolderOrSaysItCannotStart) {
  const QByteArray path = qgetenv("PATH");
  const QString tools = folder.dir.path() + QStringLiteral("/bin");
  QDir().mkpath(tools);
  const QString ran = folder.path("ran.txt");
  const auto run = [&] {
    testsupport::script().clear();
    qputenv("PATH", tools.toUtf8());
    codecconfig::RunConfiguration(nullptr);
    qputenv("PATH", path);
    return testsupport::script().shown;
  };
  const auto missing = run();
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_EQ(missing[0].text, "RunDll32 could not be started");

  const QString tool = tools + QStringLiteral("/rundll32.exe");
  testsupport::writeFile(tool,
                         "#!/bin/sh\nsleep 0.2\necho \"$1 $(pwd)\" > '" + ran.toUtf8() + "'\n");
  QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_TRUE(run().empty());
  // Waited for: the entry's output is there as soon as the call returns.
  EXPECT_EQ(folder.read("ran.txt").trimmed(),
            "ff_vfw.dll,configureVFW " + QDir::currentPath().toUtf8());
}

}  // namespace
