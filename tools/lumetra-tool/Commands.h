#pragma once

#include <QStringList>
#include <cstdio>

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

// Every command, in the order the usage text lists them. A new command adds its row here.
inline constexpr TToolCommand kToolCommands[] = {
    {"info", "CLIP", RunInfo},
    {"frame", "CLIP N OUT.bmp", RunFrame},
    {"chunks", "CLIP", RunChunks},
    {"decode", "CLIP [--order forward|reverse|random] [--count N]", RunDecode},
    {"descriptor", "CLIP [--set SECTION KEY VALUE]", RunDescriptor},
    {"signals", "FILE", RunSignals},
};
