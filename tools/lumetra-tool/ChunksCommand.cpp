// lumetra-tool chunks CLIP: the RIFF tree, one chunk a line ("'ID' position size", lists
// preceded by "RIFF" or "LIST"), a run of frame chunks with the same code as one line
// "'ID' xCOUNT first..last bytes TOTAL" (first and last data positions, data bytes in all).
#include "Commands.h"
#include "ToolSupport.h"
#include "clip/RIFF.h"

namespace {

// Stream data chunks: two digits and two letters ("00db", "00dc", "01wb").
bool IsFrameChunk(const TRIFFChunk& c) {
  auto byte = [&](int i) { return char((c.ID >> (8 * i)) & 0xFF); };
  return !c.List && std::isdigit(byte(0)) && std::isdigit(byte(1)) && std::isalpha(byte(2)) &&
         std::isalpha(byte(3));
}

QString Line(const TRIFFChunk& c, int depth, bool topLevel) {
  QString kind;
  if (c.List) kind = topLevel ? QStringLiteral("RIFF ") : QStringLiteral("LIST ");
  return QString(2 * depth, u' ') + kind + u'\'' + CodeText(c.ID) + u'\'' +
         QStringLiteral(" %1 %2").arg(c.Position).arg(c.Size);
}

void PrintTree(std::FILE* out, const TRIFFChunk& c, int depth, bool topLevel) {
  Print(out, Line(c, depth, topLevel));
  const auto& children = c.Children;
  for (std::size_t i = 0; i < children.size();) {
    std::size_t end = i + 1;
    if (IsFrameChunk(*children[i])) {
      while (end < children.size() && children[end]->ID == children[i]->ID) ++end;
    }
    if (end - i < 2) {
      PrintTree(out, *children[i], depth + 1, false);
      i = end;
      continue;
    }
    std::int64_t bytes = 0;
    for (std::size_t k = i; k < end; ++k) bytes += children[k]->Size;
    Print(out, QString(2 * (depth + 1), u' ') + u'\'' + CodeText(children[i]->ID) + u'\'' +
                   QStringLiteral(" x%1 %2..%3 bytes %4")
                       .arg(end - i)
                       .arg(children[i]->Position)
                       .arg(children[end - 1]->Position)
                       .arg(bytes));
    i = end;
  }
}

}  // namespace

int RunChunks(const QStringList& args, std::FILE* out) {
  ExpectArguments(args, 1, "CLIP");
  TRIFF riff(args[0]);
  PrintTree(out, riff, 0, true);
  return 0;
}
