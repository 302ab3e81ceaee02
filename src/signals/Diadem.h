#pragma once

#include <QString>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "signals/SignalDatabase.h"
#include "textio/BufFileStream.h"

// The open data files of one load, found by name (case-insensitive) in the header's folder.
class TDataFileCache {
 public:
  explicit TDataFileCache(QString folder) : folder_(std::move(folder)) {}
  TBufFileStream& Stream(const QString& name);

 private:
  QString folder_;  // with its trailing separator
  std::vector<std::pair<QString, std::unique_ptr<TBufFileStream>>> streams_;
};

// One data file being written, with the lines it holds so far (for text channels).
struct TDataOut {
  std::unique_ptr<TFileStream> stream;
  int lines = 0;
};

// A channel of a DIAdem file set.
class TDiademSignalData : public TSignalData {
 public:
  // Reads one channel block (the reader stands after "#BEGINCHANNELHEADER"), computes the time
  // properties and loads the samples of an explicit channel.
  void LoadHeader(TBufFileStream& header, TDataFileCache& cache);
  // Writes one channel block and appends the samples to data.
  void SaveHeader(TStream& header, TDataOut& data);
  TValueRule ValueRule() const override;

  // WORD16 samples read as signed with the offset subtracted.
  bool Origin = false;

 private:
  void ApplyKey(int key, const std::string& value, double& timeFactor);
  void SetNumber(int index, const std::string& value);
  void TakeTimeUnit(const QString& unit, double& timeFactor);
  void ComputeTimeProperties(double timeFactor);
};

// A DIAdem file set: a ".dat" header with a global block and channel blocks, and the channel
// data files beside it.
class TDiademSignalDatabase : public TSignalDatabase {
 public:
  QString FormatName() const override { return QStringLiteral("DIAdem"); }
  TSignalData& NewChannel() override;
  // Raises "No More Tokens" when the header has no global block. A failing channel is dropped
  // after the warning box, whose No ends the load.
  void LoadFromFile(const QString& fileName) override;
  void SaveToFile(const QString& fileName) override;

  bool Origin = false;

 private:
  void ReadGlobalBlock(TBufFileStream& header, TSignalData& global);
  void ReadChannels(TBufFileStream& header, const QString& fileName, TSignalData& global);
  void HandOutGlobal(const TSignalData& global);
  void WriteGlobalBlock(TStream& header, const std::string& typeList);
  // axis: first time, interval and last time, in seconds.
  void WriteTimeAxis(TStream& header, const double axis[3]);
};

// Opens a header for parsing; a UTF-16 text with a byte-order mark is decoded to single-byte
// text first (characters beyond Latin-1 become "?").
std::unique_ptr<TBufFileStream> OpenDiademHeader(const QString& fileName);
