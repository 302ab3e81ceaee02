#pragma once

#include <QStringList>
#include <cstdio>
#include <functional>
#include <memory>

#include "clip/AviStream.h"

class QCoreApplication;
class TSaveJob;

// One subcommand of lumetra-tool. run gets the arguments after the command's name, writes its
// result to out and returns the exit status; it raises Exception on failure.
struct TToolCommand {
  const char* name;
  const char* usage;  // arguments, as shown by the usage text
  int (*run)(const QStringList& args, std::FILE* out);
};

int RunInfo(const QStringList& args, std::FILE* out);
int RunFrame(const QStringList& args, std::FILE* out);
int RunChunks(const QStringList& args, std::FILE* out);
int RunDecode(const QStringList& args, std::FILE* out);
int RunDescriptor(const QStringList& args, std::FILE* out);
int RunSignals(const QStringList& args, std::FILE* out);
int RunPlot(const QStringList& args, std::FILE* out);
int RunSave(const QStringList& args, std::FILE* out);
int RunScatter(const QStringList& args, std::FILE* out);
int RunMeasure(const QStringList& args, std::FILE* out);

// What the saving commands share: an event loop for the save thread's reports, a text
// progress bar on stderr, messages on stderr. Run calls start (which starts the save and may
// hand over a job to keep) and waits for the stream's OnDone; its result code.
class TToolSaveSession {
 public:
  TToolSaveSession();
  ~TToolSaveSession();
  HRESULT Run(TAVISTREAM& stream, const std::function<std::unique_ptr<TSaveJob>()>& start);

 private:
  std::unique_ptr<QCoreApplication> app_;
};

// Every command, in the order the usage text lists them. A new command adds its row here.
inline constexpr TToolCommand kToolCommands[] = {
    {"info", "CLIP", RunInfo},
    {"frame", "CLIP N OUT.bmp", RunFrame},
    {"chunks", "CLIP", RunChunks},
    {"decode", "CLIP [--order forward|reverse|random] [--count N]", RunDecode},
    {"descriptor", "CLIP [--set SECTION KEY VALUE]", RunDescriptor},
    {"signals", "FILE", RunSignals},
    {"plot",
     "FILE... --out OUT.png|OUT.pdf [--size WxH] [--bands shared|overlay|separate] [--from MS --to "
     "MS]",
     RunPlot},
    {"save", "CLIP OUT.avi [--codec FOURCC] [--quality Q] [--from F --to L]", RunSave},
    {"scatter", "CLIP DIR --type bmp|gif|jpeg|tiff", RunScatter},
    {"measure", "FILE.json [--out OUT.csv]", RunMeasure},
};
