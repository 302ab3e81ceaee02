// lumetra-tool: the clip libraries on the command line. Results go to stdout, errors to stderr
// with the system's message and exit status 1.
#include <QString>
#include <QStringList>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "Commands.h"
#include "platform/Exception.h"

namespace {

int Usage() {
  std::fputs("usage:\n", stderr);
  for (const TToolCommand& c : kToolCommands)
    std::fprintf(stderr, "  lumetra-tool %s %s\n", c.name, c.usage);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "C");
  if (argc < 2) return Usage();
  QStringList args;
  for (int i = 2; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  for (const TToolCommand& c : kToolCommands) {
    if (std::strcmp(argv[1], c.name) != 0) continue;
    try {
      return c.run(args, stdout);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "lumetra-tool %s: %s\n", c.name, e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "lumetra-tool: unknown command \"%s\"\n", argv[1]);
  return Usage();
}
