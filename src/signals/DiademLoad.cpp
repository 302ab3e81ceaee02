#include <QFileInfo>

#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "signals/Diadem.h"

namespace {

bool hasUtf16Mark(const QByteArray& head) {
  return head.size() == 2 && ((uchar(head[0]) == 0xFF && uchar(head[1]) == 0xFE) ||
                              (uchar(head[0]) == 0xFE && uchar(head[1]) == 0xFF));
}

QByteArray decodeUtf16(TFileStream& file) {
  const std::int64_t size = file.Size();
  QByteArray bytes(qsizetype(size), '\0');
  file.Seek(0, TStream::TOrigin::Beginning);
  bytes.resize(qsizetype(file.Read(bytes.data(), size)));
  const bool bigEndian = uchar(bytes[0]) == 0xFE;
  QString text;
  text.reserve(bytes.size() / 2);
  for (qsizetype i = 2; i + 1 < bytes.size(); i += 2) {
    const char16_t unit = bigEndian ? char16_t(uchar(bytes[i]) << 8 | uchar(bytes[i + 1]))
                                    : char16_t(uchar(bytes[i + 1]) << 8 | uchar(bytes[i]));
    text += QChar(unit);
  }
  return text.toLatin1();
}

QString warningText(const char* error) {
  return QStringLiteral("Load Failure: ") + QString::fromUtf8(error) +
         QStringLiteral("\n\nContinue Trying to Load Remaining Signals?");
}

}  // namespace

std::unique_ptr<TBufFileStream> OpenDiademHeader(const QString& fileName) {
  auto file = std::make_unique<TFileStream>(fileName, TFileStream::TMode::OpenRead);
  QByteArray head(2, '\0');
  head.resize(qsizetype(file->Read(head.data(), 2)));
  if (hasUtf16Mark(head))
    return std::make_unique<TBufFileStream>(std::make_unique<TMemoryStream>(decodeUtf16(*file)));
  file->Seek(0, TStream::TOrigin::Beginning);
  return std::make_unique<TBufFileStream>(std::move(file));
}

TSignalData& TDiademSignalDatabase::NewChannel() {
  auto channel = std::make_unique<TDiademSignalData>();
  channel->Origin = Origin;
  return Append(std::move(channel));
}

void TDiademSignalDatabase::LoadFromFile(const QString& fileName) {
  std::unique_ptr<TBufFileStream> header = OpenDiademHeader(fileName);
  TSignalData& global = NewChannel();
  try {
    ReadGlobalBlock(*header, global);
  } catch (...) {
    DeleteChannel(global);
    throw;
  }
  ReadChannels(*header, fileName, global);
  HandOutGlobal(global);
  DeleteChannel(global);
  if (Count() > 0) SetUseNames(UseNames);
}

void TDiademSignalDatabase::ReadGlobalBlock(TBufFileStream& header, TSignalData& global) {
  header.FindToken("#BEGINGLOBALHEADER");
  std::string key, value;
  for (header.ReadToken(key, value); key != "#ENDGLOBALHEADER"; header.ReadToken(key, value)) {
    const QString v = QString::fromLatin1(value.data(), qsizetype(value.size()));
    if (key == "100" && v.toUpper().contains(QLatin1String("WINCARAT"))) Origin = true;
    if (key == "101") global.SetProperty(TSignalData::kTestId, v);
    if (key == "103") global.SetProperty(TSignalData::kEngineer, v);
    if (key == "104") global.SetProperty(TSignalData::kTestDate, v);
    if (key == "105") global.SetProperty(TSignalData::kTestTime, v);
    if (key == "111") global.SetProperty(TSignalData::kNullDataValue, v);
    if (key == "110" && v == QLatin1String("#mm.dd.yyyy")) {
      const QString date = global.GetProperty(TSignalData::kTestDate);
      global.SetProperty(TSignalData::kTestDate, date.mid(3, 3) + date.mid(0, 3) + date.mid(6, 4));
    }
  }
}

void TDiademSignalDatabase::ReadChannels(TBufFileStream& header, const QString& fileName,
                                         TSignalData& global) {
  TDataFileCache cache(QFileInfo(fileName).absolutePath() + QLatin1Char('/'));
  for (;;) {
    try {
      header.FindToken("#BEGINCHANNELHEADER");
    } catch (const Exception&) {
      return;
    }
    if (!Progress(QStringLiteral("Loading %1 %2").arg(fileName).arg(Count() + 1))) return;
    auto& channel = static_cast<TDiademSignalData&>(NewChannel());
    try {
      channel.LoadHeader(header, cache);
      if (!channel.TimeChannel) continue;
      for (int p : {TSignalData::kTimeUnits, TSignalData::kTimeUnitsPerSecond,
                    TSignalData::kTimeOffset, TSignalData::kTimeScaleFactor, TSignalData::kMaxTime})
        global.SetProperty(p, channel.GetProperty(p));
    } catch (const std::exception& e) {
      const QString caption = QStringLiteral("DIAdem Signal ") + channel.Name();
      DeleteChannel(channel);
      if (dialogs::show(nullptr, warningText(e.what()), caption, dialogs::Buttons::YesNo,
                        dialogs::Icon::Warning) == dialogs::Answer::No)
        return;
    }
  }
}

// Every channel takes the test-wide properties and the file's time base. Without a time
// channel the samples stand at their index: first at 0 ms, one every millisecond.
void TDiademSignalDatabase::HandOutGlobal(const TSignalData& global) {
  const bool timed = global.IsSet(TSignalData::kTimeScaleFactor);
  for (int i = 0; i < Count(); ++i) {
    TSignalData& channel = Channels(i);
    channel.TakeMarkedProperties(global);
    if (timed || channel.TimeChannel || &channel == &global) continue;
    channel.SetProperty(TSignalData::kTimeUnits, QStringLiteral("ms"));
    channel.SetProperty(TSignalData::kTimeUnitsPerSecond, 1000.0);
    channel.SetProperty(TSignalData::kTimeOffset, 0.0);
    channel.SetProperty(TSignalData::kMinTime, 0.0);
    channel.SetProperty(TSignalData::kTimeScaleFactor, 1.0);
    if (channel.IsSet(TSignalData::kDataCount))
      channel.SetProperty(TSignalData::kMaxTime, channel.DataCount() - 1.0);
  }
}
