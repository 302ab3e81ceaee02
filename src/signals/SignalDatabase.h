#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "signals/SignalData.h"

// The channels of one signal file, in order, with a display name per channel.
class TSignalDatabase {
 public:
  // DataFileOptions bits.
  static constexpr std::uint8_t kWriteAscii = 1;
  static constexpr std::uint8_t kWriteReal32 = 8;

  TSignalDatabase() = default;
  virtual ~TSignalDatabase() = default;
  TSignalDatabase(const TSignalDatabase&) = delete;
  TSignalDatabase& operator=(const TSignalDatabase&) = delete;

  int Count() const { return int(channels_.size()); }
  TSignalData& Channels(int i) const { return *channels_.at(std::size_t(i)); }
  const QStringList& Names() const { return names_; }

  virtual QString FormatName() const = 0;
  // A new channel of the database's own class, appended under the text of its index.
  virtual TSignalData& NewChannel() = 0;
  virtual void LoadFromFile(const QString& fileName) = 0;
  virtual void SaveToFile(const QString& fileName) = 0;
  // Rebuilds the selected channels of source as channels of this database.
  virtual void Translate(const TSignalDatabase& source);

  void SetUseNames(bool flag);
  // Frees a channel after taking it out of the list.
  void DeleteChannel(const TSignalData& channel);

  bool UseNames = true;
  // Progress report; a false answer stops the running load, save or translation.
  std::function<bool(const QString& message)> OnProgress;
  std::uint8_t DataFileOptions = 0;

 protected:
  TSignalData& Append(std::unique_ptr<TSignalData> channel);
  bool Progress(const QString& message) const { return !OnProgress || OnProgress(message); }

 private:
  std::vector<std::unique_ptr<TSignalData>> channels_;
  QStringList names_;
};
