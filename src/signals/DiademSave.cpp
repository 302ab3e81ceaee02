#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <map>
#include <vector>

#include "signals/DataTypes.h"
#include "signals/Diadem.h"

namespace {

constexpr const char* kOldExtensions[] = {".I16", ".I32", ".R32", ".R64", ".ASC",
                                          ".W8",  ".R48", ".W16", ".W32"};

std::string latin1(const QString& text) {
  return text.toLatin1().toStdString();
}

int chosenFileType(const TSignalData& channel, std::uint8_t options) {
  if (options & TSignalDatabase::kWriteAscii) return sigtype::kAscii;
  if (options & TSignalDatabase::kWriteReal32) return sigtype::kReal32;
  return channel.PropertyInt(TSignalData::kDataType);
}

// The file name without its extension, in the file's own folder: a dot in a folder name
// must not move the files elsewhere.
QString baseName(const QString& fileName) {
  const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
  return fileName.left(slash + 1) + StripExtension(fileName.mid(slash + 1));
}

}  // namespace

void TDiademSignalDatabase::SaveToFile(const QString& fileName) {
  if (Count() == 0) return;
  const QString base = baseName(fileName);
  std::vector<std::string> types;
  bool timeWritten = false;
  for (int i = 0; i < Count(); ++i) {
    const TSignalData& channel = Channels(i);
    if (!channel.Selected) continue;
    const std::string name(sigtype::TypeName(chosenFileType(channel, DataFileOptions)));
    if (std::find(types.begin(), types.end(), name) == types.end()) types.push_back(name);
    timeWritten = timeWritten || channel.TimeChannel;
  }
  std::string typeList;
  for (const std::string& name : types) typeList += "," + name;
  // The time axis is read before the header exists, so a conversion error leaves no half file.
  const double axis[3] = {
      timeWritten ? 0 : Channels(0).PropertyFloat(TSignalData::kMinTime) / 1000,
      timeWritten ? 0 : Channels(0).PropertyFloat(TSignalData::kTimeScaleFactor) / 1000,
      timeWritten ? 0 : Channels(0).PropertyFloat(TSignalData::kMaxTime) / 1000,
  };
  TFileStream header(base + QStringLiteral(".dat"), TFileStream::TMode::Create);
  WriteGlobalBlock(header, typeList);
  if (!timeWritten) WriteTimeAxis(header, axis);
  for (const char* ext : kOldExtensions) QFile::remove(base + QLatin1String(ext));

  std::map<std::string, TDataOut> files;
  for (int i = 0; i < Count(); ++i) {
    auto& channel = static_cast<TDiademSignalData&>(Channels(i));
    if (!channel.Selected) continue;
    if (!Progress(QStringLiteral("Saving %1").arg(i + 1))) return;
    const int type = chosenFileType(channel, DataFileOptions);
    channel.SetProperty(TSignalData::kDataFileType, double(type));
    // Every type keeps a file of its own, so that all elements of one file have one size.
    const std::string ext(sigtype::Extension(type));
    channel.SetProperty(TSignalData::kDataFileName,
                        QFileInfo(base).fileName() + QString::fromLatin1(ext.c_str()));
    TDataOut& out = files[ext];
    if (!out.stream)
      out.stream = std::make_unique<TFileStream>(base + QString::fromLatin1(ext.c_str()),
                                                 TFileStream::TMode::Create);
    channel.SaveHeader(header, out);
  }
}

void TDiademSignalDatabase::WriteGlobalBlock(TStream& header, const std::string& typeList) {
  const TSignalData& first = Channels(0);
  const std::string testId = latin1(first.GetProperty(TSignalData::kTestId));
  WriteLine(header, "DIAEXTENDED {@:ENGLISH");
  WriteNewLine(header);
  WriteLine(header, "#BEGINGLOBALHEADER");
  WriteLine(header, "  1,Windows");
  // The origin key keeps signed WORD16 samples signed when the file is read back.
  if (Origin) WriteLine(header, "100,WinCarat");
  WriteLine(header, "  2,@R:200");
  WriteLine(header, "101," + testId);
  WriteLine(header, "102" + typeList);
  WriteLine(header, "102," + testId);
  WriteLine(header, "103," + latin1(first.GetProperty(TSignalData::kEngineer)));
  WriteLine(header, "104," + latin1(first.GetProperty(TSignalData::kTestDate)));
  WriteLine(header, "105," + latin1(first.GetProperty(TSignalData::kTestTime)));
  WriteLine(header, "110,#dd.mm.yyyy");
  WriteLine(header, "111,9.9000000000E+34");
  WriteLine(header, "112,High -> Low");
  WriteLine(header, "#ENDGLOBALHEADER");
}

void TDiademSignalDatabase::WriteTimeAxis(TStream& header, const double axis[3]) {
  const TSignalData& first = Channels(0);
  WriteNewLine(header);
  WriteLine(header, "#BEGINCHANNELHEADER");
  WriteLine(header, "200,Time Axis 1");
  WriteLine(header, "201,Realtime in seconds");
  WriteLine(header, "202,s");
  WriteLine(header, "210,IMPLICIT");
  WriteLine(header, "220," + latin1(first.GetProperty(TSignalData::kDataCount)));
  WriteValueLine(header, "240,", axis[0]);
  WriteValueLine(header, "241,", axis[1]);
  WriteValueLine(header, "250,", axis[0]);
  WriteValueLine(header, "251,", axis[2]);
  WriteLine(header, "252,No");
  WriteLine(header, "253,increasing");
  WriteLine(header, "260,Numeric");
  WriteLine(header, "#ENDCHANNELHEADER");
}

void TDiademSignalData::SaveHeader(TStream& header, TDataOut& data) {
  const int fileType = PropertyInt(kDataFileType);
  const int size = sigtype::FileSize(fileType);
  const std::int64_t pointer = size > 0 ? data.stream->Position() / size + 1 : data.lines + 1;
  // Samples written as engineering values carry no scaling of their own.
  const bool engineering = !Implicit && SavesEngineeringValues();
  auto prop = [this](int index) { return latin1(GetProperty(index)); };
  WriteNewLine(header);
  WriteLine(header, "#BEGINCHANNELHEADER");
  WriteLine(header, "200," + prop(kName));
  WriteLine(header, "201," + prop(kTestId) + " Ref #" + prop(kRefNumber));
  WriteLine(header, "202," + prop(kTransducerUnits));
  WriteLine(header, Implicit ? "210,IMPLICIT" : "210,EXPLICIT");
  WriteLine(header, "211," + prop(kDataFileName));
  WriteLine(header, "213,CHANNEL");
  WriteLine(header, "214," + std::string(sigtype::TypeName(fileType)));
  WriteLine(header, "220," + prop(kDataCount));
  if (!Implicit) WriteLine(header, "221," + std::to_string(pointer));
  WriteLine(header, "230,");
  WriteLine(header, "240," + (engineering ? std::string("0") : prop(kOffset)));
  WriteLine(header, "241," + (engineering ? std::string("1") : prop(kScaleFactor)));
  WriteLine(header, "250," + prop(kMinValue));
  WriteLine(header, "251," + prop(kMaxValue));
  WriteLine(header, "252,No");
  WriteLine(header, "253,not monotone");
  WriteLine(header, "260,Numeric");
  WriteLine(header, "#ENDCHANNELHEADER");
  SaveData(*data.stream);
  if (size == 0 && !Implicit) data.lines += DataCount();
}
