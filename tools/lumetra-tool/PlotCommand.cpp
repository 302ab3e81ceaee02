// lumetra-tool plot FILE... --out OUT.png|OUT.pdf: the graph the graph window would show for
// every source of the given signal files, drawn by the same graph control without a window.
#include <QApplication>
#include <QFileInfo>
#include <charconv>
#include <clocale>
#include <memory>
#include <vector>

#include "Commands.h"
#include "JsonWriter.h"
#include "ToolSignals.h"
#include "ToolSupport.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "signals/AsciiSig.h"
#include "signals/Diadem.h"
#include "signals/GraphBands.h"
#include "signals/GraphFill.h"
#include "signals/PESGraph.h"
#include "signals/SigInfo.h"

namespace {

constexpr int kCapacity = 14;  // what the selection dialog lets into a graph
// The graph window's subset colours, 0x00BBGGRR.
constexpr unsigned kColours[kCapacity] = {0xFF00FF, 0x0000FF, 0xFF8080, 0xFFFF00, 0x00FFFF,
                                          0x00FF00, 0xC000C0, 0x0000C0, 0xC04040, 0xC0C000,
                                          0x00C0C0, 0x00C000, 0xFF00FF, 0x0000FF};

struct TPlotOptions {
  QStringList files;
  QString out;
  int width = 1200, height = 800;
  QString bands = QStringLiteral("shared");
  bool ranged = false;
  double from = 0, to = 0;
};

[[noreturn]] void UsageError(const QString& why) {
  throw Exception(why + QStringLiteral(" (usage: plot FILE... --out OUT.png|OUT.pdf [--size WxH] "
                                       "[--bands shared|overlay|separate] [--from MS --to MS])"));
}

double ParseMs(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  double v = 0;
  const auto r = std::from_chars(bytes.data(), bytes.data() + bytes.size(), v);
  if (r.ec != std::errc() || r.ptr != bytes.data() + bytes.size() || !std::isfinite(v))
    UsageError(QStringLiteral("not a time in ms: \"%1\"").arg(text));
  return v;
}

void ParseSize(const QString& text, TPlotOptions& o) {
  const QStringList parts = text.split(u'x');
  if (parts.size() != 2) UsageError(QStringLiteral("size must be WxH"));
  o.width = ParseCount(parts[0], "width", 50, 8000);
  o.height = ParseCount(parts[1], "height", 50, 8000);
}

TPlotOptions ParseOptions(const QStringList& args) {
  TPlotOptions o;
  bool hasFrom = false, hasTo = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (!a.startsWith(QLatin1String("--"))) {
      o.files << a;
      continue;
    }
    if (i + 1 >= args.size()) UsageError(a + QStringLiteral(" needs a value"));
    const QString v = args[++i];
    if (a == QLatin1String("--out"))
      o.out = v;
    else if (a == QLatin1String("--size"))
      ParseSize(v, o);
    else if (a == QLatin1String("--bands"))
      o.bands = v;
    else if (a == QLatin1String("--from"))
      o.from = ParseMs(v), hasFrom = true;
    else if (a == QLatin1String("--to"))
      o.to = ParseMs(v), hasTo = true;
    else
      UsageError(QStringLiteral("unknown option ") + a);
  }
  if (o.files.isEmpty() || o.out.isEmpty()) UsageError(QStringLiteral("files and --out needed"));
  const QString type = QFileInfo(o.out).suffix().toLower();
  if (type != QLatin1String("png") && type != QLatin1String("pdf"))
    UsageError(QStringLiteral("--out must end in .png or .pdf"));
  if (!QStringList{"shared", "overlay", "separate"}.contains(o.bands))
    UsageError(QStringLiteral("unknown band layout ") + o.bands);
  if (hasFrom != hasTo || (hasFrom && !(o.from < o.to)))
    UsageError(QStringLiteral("--from and --to go together, from before to"));
  o.ranged = hasFrom;
  return o;
}

void SetUp(PESGraph& graph, TSources& sources, const TPlotOptions& o) {
  const int n = int(sources.size());
  const TGraphBands bands(n, o.bands == QLatin1String("separate") ? 0 : n,
                          o.bands == QLatin1String("shared"));
  int points = 0;
  for (const auto& s : sources) points = std::max(points, s->Count);
  graph.SetSubsets(n);
  graph.SetPoints(points);
  graph.ClearAxisLayout();
  for (int axis = 0; axis < bands.AxisCount(); ++axis) {
    graph.SetSubsetsPerAxis(axis, bands.SubsetsOnAxis(axis));
    if (bands.AxesInBand(axis) > 1) graph.SetOverlapAxes(axis, bands.AxesInBand(axis));
    graph.SetAxisProportion(axis, float(bands.Proportion()));
  }
  graph.NullDataValueX = graph.NullDataValueY = kGraphNull;
  graph.CursorMode = sgCrossHair;
  graph.MainTitle = sources.front()->Group;
  graph.XAxisLabel = sources.front()->XLabel;
  for (int i = 0; i < n; ++i) {
    const unsigned bgr = kColours[i];
    const QColor colour(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
    graph.SetSubsetLabel(i, sources[size_t(i)]->Name);
    graph.SetSubsetColor(i, colour);
    graph.WorkingAxis = bands.AxisOf(i);
    graph.SetYAxisColor(colour);
    graph.SetYAxisScaleControl(sgLinear);
    graph.SetYAxisLabel(sources[size_t(i)]->YLabel);
    FillGraphSubset(graph, i, *sources[size_t(i)], points);
  }
  graph.WorkingAxis = 0;
}

}  // namespace

int RunPlot(const QStringList& args, std::FILE* out) {
  const TPlotOptions o = ParseOptions(args);
  auto app = HeadlessApplication();
  dialogs::install(std::make_unique<dialogs::ScriptedBackend>());
  TSources sources;
  for (const QString& file : o.files) AddSignalFile(file, sources);
  if (sources.empty()) throw Exception("No signals in the given files");
  if (sources.size() > size_t(kCapacity)) {
    std::fprintf(stderr, "%zu signals; the first %d are drawn\n", sources.size(), kCapacity);
    sources.resize(size_t(kCapacity));
  }
  PESGraph graph;
  graph.resize(o.width, o.height);
  SetUp(graph, sources, o);
  graph.PEactions(peRebuild);
  if (o.ranged) graph.ZoomX(o.from, o.to);
  const bool pdf = QFileInfo(o.out).suffix().toLower() == QLatin1String("pdf");
  const bool written =
      pdf ? graph.ExportPdf(o.out, o.width, o.height) : graph.ExportPng(o.out, o.width, o.height);
  if (!written) throw Exception(QStringLiteral("Cannot write ") + o.out);
  Print(out, TJsonObject()
                 .Text("out", o.out)
                 .Integer("subsets", graph.Subsets())
                 .Integer("points", graph.Points())
                 .Integer("bands", graph.BandCount())
                 .Integer("width", o.width)
                 .Integer("height", o.height)
                 .Line());
  return 0;
}
