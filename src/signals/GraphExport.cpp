// The graph control's exports: the picture as PNG or PDF, the values as CSV.
#include <QSaveFile>
#include <charconv>

#include "signals/GraphCanvas.h"
#include "signals/GraphExport.h"
#include "signals/PESGraph.h"
#include "textio/CsvField.h"

bool PESGraph::ExportPng(const QString& fileName, int width, int height) {
  return canvas_->plot->savePng(fileName, width, height);
}

bool PESGraph::ExportPdf(const QString& fileName, int width, int height) {
  return canvas_->plot->savePdf(fileName, width, height, QCP::epNoCosmetic, QString(), MainTitle);
}

bool PESGraph::ExportCsv(const QString& fileName) const {
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (!WriteGraphCsv(*this, file)) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

namespace {

void PutNumber(QByteArray& line, float v, float null) {
  if (v == null || !std::isfinite(v)) return;  // a missing sample is an empty field
  char text[32];
  line.append(text, std::to_chars(text, text + sizeof text, v).ptr - text);
}

}  // namespace

bool WriteGraphCsv(const PESGraph& graph, QIODevice& out) {
  QByteArray line = "Point";
  for (int s = 0; s < graph.Subsets(); ++s) {
    const QString name = graph.SubsetLabel(s);
    QString fields;
    for (const char* axis : {" X", " Y"}) {
      fields += QLatin1Char(',');
      AppendCsvField(fields, name + QLatin1String(axis));
    }
    line += fields.toUtf8();
  }
  line += "\r\n";
  for (int p = 0; p < graph.Points(); ++p) {
    line += QByteArray::number(p);
    for (int s = 0; s < graph.Subsets(); ++s) {
      line += ',';
      PutNumber(line, graph.PointX(s, p), graph.NullDataValueX);
      line += ',';
      PutNumber(line, graph.PointY(s, p), graph.NullDataValueY);
    }
    line += "\r\n";
    // Written in pieces: a graph of millions of points never sits in memory as text.
    if (line.size() >= (1 << 16)) {
      if (out.write(line) != line.size()) return false;
      line.clear();
    }
  }
  return out.write(line) == line.size();
}
