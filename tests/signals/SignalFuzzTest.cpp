// Mutated signal files: every reader must fail cleanly or read, never crash, hang or allocate
// what a size field claims.
#include <gtest/gtest.h>

#include <random>

#include "SignalKit.h"
#include "signals/AsciiSig.h"
#include "signals/Diadem.h"
#include "signals/SigClass.h"
#include "signals/SigInfo.h"

namespace {

using signalkit::Folder;
using namespace std::literals;

const std::string_view kHostile[] = {
    "0"sv, "-1"sv, "2147483647"sv, "4294967280"sv,        "1e308"sv, "99999999999"sv, ""sv,
    "="sv, "\0"sv, ","sv,          "#ENDCHANNELHEADER"sv, "\r\n"sv};

QByteArray mutate(QByteArray bytes, std::mt19937& rng) {
  const int edits = 1 + int(rng() % 4);
  for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
    const qsizetype at = qsizetype(rng() % std::uint32_t(bytes.size()));
    switch (rng() % 4) {
      case 0:
        bytes[at] = char(rng());
        break;
      case 1:
        bytes.remove(at, qsizetype(rng() % 16));
        break;
      case 2: {
        // A hostile number in place of the digits at `at`.
        qsizetype end = at;
        while (end < bytes.size() && std::isdigit(uchar(bytes[end]))) ++end;
        const std::string_view h = kHostile[rng() % std::size(kHostile)];
        bytes.replace(at, end - at, QByteArray(h.data(), qsizetype(h.size())));
        break;
      }
      default:
        bytes.insert(at, bytes.mid(qsizetype(rng() % std::uint32_t(bytes.size())), 12));
    }
  }
  return bytes;
}

TEST(SignalFuzz, MutatedDiademFileSetsLoadOrFailCleanly) {
  testsupport::resetStore();
  Folder folder;
  folder.write("f.R32", signalkit::le<float>({1, 2, 3, 4, 5, 6}));
  folder.write("f.ASC", "1\r\n2\r\n3\r\n");
  const QByteArray seed = signalkit::header(
      "100,WinCarat\n104,03.25.2004\n110,#mm.dd.yyyy\n111,9.9E+300",
      {signalkit::timeAxis(3, "0", "0.001"), signalkit::channel("a", "REAL32", "f.R32", 3),
       signalkit::channel("b", "REAL32", "f.R32", 3, 4),
       signalkit::channel("c", "ASCII", "f.ASC", 3),
       "200,t\n202,ms\n210,EXPLICIT\n211,f.R32\n214,REAL32\n220,6\n221,1\n250,0\n251,5"});
  std::mt19937 rng(20240611);
  for (int run = 0; run < 400; ++run) {
    const QByteArray bytes = mutate(seed, rng);
    TDiademSignalDatabase db;
    try {
      db.LoadFromFile(folder.write("f.dat", bytes));
      for (int i = 0; i < db.Count(); ++i) {
        TDIAdemSigClass source(db.Channels(i));
        for (int k = 0; k < std::min(source.Count, 10); ++k) source.NextValue();
      }
    } catch (const std::exception&) {
    }
    testsupport::script().clear();
  }
}

TEST(SignalFuzz, MutatedAsciiFilesReadOrFailCleanly) {
  Folder folder;
  const QByteArray seed =
      "Run 12\r\nTime Accel\r\n0,1.5\r\n0.0005,1.9\r\n0.001,1.6\r\n0.0015,1.8\r\n";
  std::mt19937 rng(7);
  for (int run = 0; run < 400; ++run) {
    TSigInfoRecord info;
    bool all = true;
    try {
      TASCIIColumn column(folder.write("f.txt", mutate(seed, rng)), all, info);
      column.Reset();
      for (int k = 0; k < column.Count; ++k) column.NextValue();
    } catch (const std::exception&) {
    }
  }
}

}  // namespace
