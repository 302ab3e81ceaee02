#include <gtest/gtest.h>

#include <QDir>
#include <map>

#include "SignalKit.h"
#include "platform/Exception.h"
#include "signals/DataTypes.h"
#include "signals/Diadem.h"
#include "signals/SigClass.h"

namespace {

using signalkit::channel;
using signalkit::Folder;
using signalkit::header;
using signalkit::le;
using signalkit::timeAxis;

class Diadem : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::resetStore(); }

  // Loads a header written as test.dat beside the data files already in the folder.
  TDiademSignalDatabase& load(const QByteArray& headerBytes) {
    db.LoadFromFile(folder.write("test.dat", headerBytes));
    return db;
  }
  TSignalData* find(const char* name) {
    for (int i = 0; i < db.Count(); ++i)
      if (db.Channels(i).Name() == QLatin1String(name)) return &db.Channels(i);
    return nullptr;
  }
  std::vector<QString> warnings() const {
    std::vector<QString> out;
    for (const auto& m : testsupport::script().shown) out.push_back(m.caption + "|" + m.text);
    return out;
  }

  Folder folder;
  TDiademSignalDatabase db;
};

QString failure(const char* name, const char* message) {
  return QStringLiteral(
             "DIAdem Signal %1|Load Failure: %2\n\nContinue Trying to Load "
             "Remaining Signals?")
      .arg(QLatin1String(name), QLatin1String(message));
}

// One implicit channel: global keys, its own keys, and whether its unit text names a time.
TEST_F(Diadem, GlobalKeysChannelKeysAndTimeUnits) {
  const struct {
    std::string global, channel;
    int property;
    const char* expected;
    bool time = false;
  } cases[] = {
      {"104,03.25.2004\n110,#mm.dd.yyyy", "", TSignalData::kTestDate, "25.03.2004"},
      {"110,#mm.dd.yyyy\n104,03.25.2004", "", TSignalData::kTestDate, "03.25.2004"},
      {"", "201,Crash 17 Ref #1042", TSignalData::kRefNumber, "1042"},
      {"", "201,Crash 17 Ref #1042", TSignalData::kComments, ""},
      {"", "201,rear seat", TSignalData::kComments, "rear seat"},
      {"", "201,rear seat", TSignalData::kRefNumber, "1002"},  // 1000 + global + itself
      {"", "202,Sec", TSignalData::kTimeUnits, "s", true},
      {"", "202,msec", TSignalData::kTimeUnits, "ms", true},
      {"", "202,rooms", TSignalData::kTimeUnits, "ms", true},
      {"", "202,s", TSignalData::kTimeUnits, "s", true},
      {"", "202,Milliseconds", TSignalData::kTimeUnits, "ms", true},
      {"", "202,mm", TSignalData::kRefNumber, "1002"},
      {"", "202,Nm", TSignalData::kRefNumber, "1002"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.global + "/" + c.channel);
    TDiademSignalDatabase one;
    one.LoadFromFile(folder.write(
        "k.dat", header(c.global, {"200,x\n210,IMPLICIT\n220,3\n240,0\n241,1\n" + c.channel})));
    ASSERT_EQ(one.Count(), 1);
    EXPECT_EQ(one.Channels(0).GetProperty(c.property), c.expected);
    EXPECT_EQ(one.Channels(0).TimeChannel, c.time);
  }
}

TEST_F(Diadem, ImplicitTimeInSecondsGivesEveryChannelItsTimeBase) {
  folder.write("test.R32", le<float>({1, 2, 3}));
  load(header("111,-999",
              {timeAxis(2001, "-0.02", "0.0001"), channel("acc", "REAL32", "test.R32", 3)}));
  ASSERT_EQ(db.Count(), 2);
  const TSignalData& time = db.Channels(0);
  EXPECT_TRUE(time.TimeChannel);
  EXPECT_DOUBLE_EQ(time.GetValue(1), -19.9);  // ms from the index
  const TSignalData& acc = *find("acc");
  EXPECT_DOUBLE_EQ(acc.PropertyFloat(TSignalData::kTimeOffset), -20);
  EXPECT_DOUBLE_EQ(acc.PropertyFloat(TSignalData::kTimeScaleFactor), 0.1);
  EXPECT_DOUBLE_EQ(acc.PropertyFloat(TSignalData::kMaxTime), 180);
  EXPECT_DOUBLE_EQ(time.PropertyFloat(TSignalData::kMinTime), -20);
  EXPECT_FALSE(acc.IsSet(TSignalData::kMinTime));  // the global record never carries it
  EXPECT_EQ(TDIAdemSigClass(acc).NullValue, -999.f);
}

TEST_F(Diadem, Word16IsSignedWithTheOffsetSubtractedOnlyInOriginFiles) {
  folder.write("w.W16", le<std::uint16_t>({65535, 2}));
  const std::string w = channel("w", "WORD16", "w.W16", 2) + "\n240,10";
  for (const char* global : {"100,wincarat 3.1", "100,other"}) {
    TDiademSignalDatabase one;
    one.LoadFromFile(folder.write("w.dat", header(global, {w})));
    ASSERT_EQ(one.Count(), 1);
    const bool origin = std::string(global).find("wincarat") != std::string::npos;
    EXPECT_DOUBLE_EQ(one.Channels(0).GetValue(0), origin ? -1 - 10 : 65535 + 10) << global;
    EXPECT_DOUBLE_EQ(one.Channels(0).GetValue(1), origin ? 2 - 10 : 2 + 10) << global;
  }
}

TEST_F(Diadem, FailingChannelsAreReportedAndDroppedWhileOthersLoad) {
  folder.write("test.R32", le<float>({1, 2, 3, 4}));
  folder.write("short.R64", le<double>({1}));
  load(header("",
              {
                  channel("bad type", "int16", "test.R32", 2),
                  channel("short", "REAL64", "short.R64", 500000000),
                  channel("missing", "REAL32", "gone.R32", 2),
                  channel("beyond", "REAL32", "test.R32", 2, 4),
                  "200,onetime\n202,ms\n210,EXPLICIT\n211,test.R32\n214,REAL32\n220,1\n"
                  "221,1\n250,0\n251,1",
                  channel("good", "REAL32", "test.R32", 2, 3),
              }) +
       "\r\n#BEGINCHANNELHEADER\r\n200,open\r\n");
  const std::vector<QString> expected = {
      failure("bad type", "Invalid Data Type: 214,int16"),
      failure("short", "Stream read error"),
      failure("missing", qPrintable("Cannot open file \"" + folder.path("gone.R32") + "\"")),
      failure("beyond", "Stream read error"),
      failure("onetime", "Time Channel Needs Two Values"),
      failure("open", "No More Tokens"),
  };
  EXPECT_EQ(warnings(), expected);
  ASSERT_EQ(db.Count(), 1);
  EXPECT_DOUBLE_EQ(db.Channels(0).GetValue(1), 4);
  // Without a time channel the samples stand at their index in milliseconds.
  const TDIAdemSigClass source(db.Channels(0));
  EXPECT_EQ(source.FirstTime, 0);
  EXPECT_EQ(source.Interval, 1);
}

TEST_F(Diadem, NoToTheWarningEndsTheLoad) {
  folder.write("test.R32", le<float>({1, 2}));
  testsupport::script().answers = {dialogs::Answer::No};
  load(header("", {channel("a", "BAD", "test.R32", 2), channel("b", "REAL32", "test.R32", 2)}));
  EXPECT_EQ(db.Count(), 0);
  EXPECT_EQ(warnings().size(), 1u);
}

TEST_F(Diadem, HeadersWithoutGlobalBlockAreRefused) {
  EXPECT_THROW(load("#BEGINCHANNELHEADER\r\n200,a\r\n#ENDCHANNELHEADER\r\n"), Exception);
  EXPECT_EQ(db.Count(), 0);
  EXPECT_THROW(load(QByteArray()), Exception);
}

TEST_F(Diadem, Utf16HeadersReadLikeSingleByteOnes) {
  folder.write("test.R32", le<float>({5, 6}));
  const QString text = QString::fromLatin1(
      header("104,03.25.2004",
             {timeAxis(2, "0", "0.001"), channel("Kraft \xb5", "REAL32", "test.R32", 2)}));
  for (bool bigEndian : {false, true}) {
    QByteArray bytes = bigEndian ? QByteArray("\xfe\xff") : QByteArray("\xff\xfe");
    for (QChar c : text) {
      const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
      bytes.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
    }
    TDiademSignalDatabase one;
    one.LoadFromFile(folder.write("u16.dat", bytes));
    ASSERT_EQ(one.Count(), 2) << bigEndian;
    EXPECT_EQ(one.Channels(1).Name(), QString::fromUtf8("Kraft µ"));
    EXPECT_DOUBLE_EQ(one.Channels(1).GetValue(1), 6);
  }
}

// Engineering values of every channel by name, the time channels left out.
std::map<QString, std::vector<double>> valuesOf(const TSignalDatabase& db) {
  std::map<QString, std::vector<double>> out;
  for (int i = 0; i < db.Count(); ++i) {
    const TSignalData& ch = db.Channels(i);
    if (ch.TimeChannel) continue;
    for (int k = 0; k < ch.DataCount(); ++k) out[ch.Name()].push_back(ch.GetValue(k));
  }
  return out;
}

TEST_F(Diadem, SavedFileSetsLoadBackWithTheSameValues) {
  std::vector<float> ramp(500);
  for (int i = 0; i < 500; ++i) ramp[std::size_t(i)] = float(i) / 8;
  QByteArray r32(reinterpret_cast<const char*>(ramp.data()), 2000);
  folder.write("src.R32", r32 + le<float>({-1.5f, 2.25f}));
  folder.write("src.I16", le<std::int16_t>({-32768, 0, 32767}));
  folder.write("src.W16", le<std::uint16_t>({1, 65535, 7}));
  folder.write("src.W32", le<std::uint32_t>({4000000000u, 3, 9}));
  const QByteArray source =
      header("101,T-9\n104,01.02.2003",
             {timeAxis(3, "0", "0.001"), channel("ramp", "REAL32", "src.R32", 500),
              channel("second", "REAL32", "src.R32", 2, 501),
              channel("int", "INT16", "src.I16", 3) + "\n240,1\n241,0.5",
              channel("w16", "WORD16", "src.W16", 3), channel("w32", "WORD32", "src.W32", 3)});
  load(source);
  ASSERT_EQ(db.Count(), 6);
  const auto expected = valuesOf(db);
  ASSERT_EQ(expected.at("int"), (std::vector<double>{-16383, 1, 16384.5}));

  const struct {
    std::uint8_t options;
    const char* folderName;
  } cases[] = {{0, "plain"},
               {TSignalDatabase::kWriteAscii, "as.text"},
               {TSignalDatabase::kWriteReal32, "as.real"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folderName);
    ASSERT_TRUE(QDir(folder.dir.path()).mkdir(QLatin1String(c.folderName)));
    const QString out = folder.path(c.folderName) + "/copy.dat";
    db.DataFileOptions = c.options;
    db.SaveToFile(out);
    TDiademSignalDatabase back;
    back.LoadFromFile(out);
    EXPECT_TRUE(testsupport::script().shown.empty());
    EXPECT_EQ(valuesOf(back), expected);
    EXPECT_EQ(back.Channels(1).GetProperty(TSignalData::kTestDate), "01.02.2003");
  }
  // The second channel of one data file points behind the first.
  QFile plain(folder.path("plain") + "/copy.dat");
  ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
  const QByteArray text = plain.readAll();
  EXPECT_TRUE(text.contains("211,copy.R32\r\n213,CHANNEL\r\n214,REAL32\r\n220,2\r\n221,501\r\n"));
  EXPECT_TRUE(text.contains("102,REAL32,INT16,WORD16,WORD32\r\n"));
  EXPECT_TRUE(QFile::exists(folder.path("plain") + "/copy.W16"));  // not shared with WORD32
}

}  // namespace
