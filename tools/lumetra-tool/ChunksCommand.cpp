// lumetra-tool chunks CLIP: the RIFF tree, one chunk a line ("'ID' position size", lists
// preceded by "RIFF" or "LIST"). A run of frame chunks is one line: its codes with their
// counts in order of appearance, the first and last data positions and the data bytes in all,
// as in "'00dc' x50 '01wb' x50 5762..250652 bytes 248273".
#include <algorithm>
#include <utility>
#include <vector>

#include "Commands.h"
#include "ToolSupport.h"
#include "clip/RIFF.h"
#include "platform/Exception.h"

namespace {

// Stream data chunks: two digits and two letters ("00db", "00dc", "01wb").
bool IsFrameChunk(const TRIFFChunk& c) {
  auto is = [&](int i, char low, char high) {
    const char b = char((c.ID >> (8 * i)) & 0xFF);
    return b >= low && b <= high;
  };
  auto letter = [&](int i) { return is(i, 'a', 'z') || is(i, 'A', 'Z'); };
  return !c.List && is(0, '0', '9') && is(1, '0', '9') && letter(2) && letter(3);
}

QString Indent(int depth) {
  return QString(2 * depth, u' ');
}
QString Quoted(FOURCC code) {
  return u'\'' + CodeText(code) + u'\'';
}

void PrintRun(std::FILE* out, const std::vector<const TRIFFChunk*>& run, int depth) {
  std::vector<std::pair<FOURCC, int>> counts;
  std::int64_t bytes = 0;
  for (const TRIFFChunk* c : run) {
    bytes += c->Size;
    auto it = std::find_if(counts.begin(), counts.end(), [&](auto& p) { return p.first == c->ID; });
    if (it == counts.end())
      counts.emplace_back(c->ID, 1);
    else
      ++it->second;
  }
  QString line = Indent(depth);
  for (const auto& [code, count] : counts)
    line += Quoted(code) + QStringLiteral(" x%1 ").arg(count);
  Print(out, line + QStringLiteral("%1..%2 bytes %3")
                        .arg(run.front()->Position)
                        .arg(run.back()->Position)
                        .arg(bytes));
}

void PrintTree(std::FILE* out, const TRIFFChunk& c, int depth, bool topLevel) {
  QString kind;
  if (c.List) kind = topLevel ? QStringLiteral("RIFF ") : QStringLiteral("LIST ");
  Print(out,
        Indent(depth) + kind + Quoted(c.ID) + QStringLiteral(" %1 %2").arg(c.Position).arg(c.Size));
  std::vector<const TRIFFChunk*> run;
  auto flush = [&] {
    if (run.size() == 1) PrintTree(out, *run.front(), depth + 1, false);
    if (run.size() > 1) PrintRun(out, run, depth + 1);
    run.clear();
  };
  for (const auto& child : c.Children) {
    if (IsFrameChunk(*child)) {
      run.push_back(child.get());
      continue;
    }
    flush();
    PrintTree(out, *child, depth + 1, false);
  }
  flush();
}

}  // namespace

int RunChunks(const QStringList& args, std::FILE* out) {
  ExpectArguments(args, 1, "CLIP");
  // Opening refuses what is no regular file; the parser takes anything else as a tree without
  // chunks, which would pass for an empty RIFF file.
  TRIFF riff(args[0]);
  if (!RiffForm(args[0])) throw Exception(args[0] + QStringLiteral(": not a RIFF file"));
  PrintTree(out, riff, 0, true);
  return 0;
}
