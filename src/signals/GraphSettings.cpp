#include "signals/GraphSettings.h"

#include <QList>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kHeader = "LumetraGraphLook 1";

QByteArray ColorText(const QColor& c) {
  return c.name(QColor::HexRgb).toLatin1();
}

void Put(QByteArray& out, const char* key, const QByteArray& value) {
  out += key;
  out += '=';
  out += value;
  out += '\n';
}

QByteArray Number(double v) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, v).ptr;
  return QByteArray(text, int(end - text));
}

// A text value on one line: line breaks become spaces.
QByteArray OneLine(const QString& text) {
  QString t = text;
  t.replace(u'\r', u' ').replace(u'\n', u' ');
  return t.toUtf8();
}

bool ReadNumber(std::string_view text, double& v) {
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  return r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(v);
}

bool ReadInt(std::string_view text, int low, int high, int& v) {
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  return r.ec == std::errc() && r.ptr == text.data() + text.size() && v >= low && v <= high;
}

bool ReadBool(std::string_view text, bool& v) {
  if (text != "0" && text != "1") return false;
  v = text == "1";
  return true;
}

bool ReadColor(std::string_view text, QColor& c) {
  if (text.size() != 7 || text[0] != '#') return false;
  const QColor read(QLatin1String(text.data(), qsizetype(text.size())));
  if (!read.isValid()) return false;
  c = read;
  return true;
}

template <typename E>
bool ReadEnum(std::string_view text, int high, E& v) {
  int n = 0;
  if (!ReadInt(text, 0, high, n)) return false;
  v = E(n);
  return true;
}

// "x;text": the time, then the text (which may hold ';' and '=').
bool ReadAnnotation(std::string_view text, std::vector<TGraphAnnotation>& list) {
  const auto split = text.find(';');
  if (split == std::string_view::npos || list.size() >= size_t(kGraphLookMaxAnnotations))
    return false;
  TGraphAnnotation a;
  if (!ReadNumber(text.substr(0, split), a.x)) return false;
  const std::string_view rest = text.substr(split + 1);
  a.text = QString::fromUtf8(rest.data(), qsizetype(rest.size()));
  list.push_back(a);
  return true;
}

bool ReadText(std::string_view text, QString& s) {
  s = QString::fromUtf8(text.data(), qsizetype(text.size()));
  return true;
}

bool ReadEntry(std::string_view key, std::string_view v, TGraphLook& l) {
  if (key == "ViewingStyle") return ReadEnum(v, 1, l.ViewingStyle);
  if (key == "DeskColor") return ReadColor(v, l.DeskColor);
  if (key == "GraphBackColor") return ReadColor(v, l.GraphBackColor);
  if (key == "GraphForeColor") return ReadColor(v, l.GraphForeColor);
  if (key == "TextColor") return ReadColor(v, l.TextColor);
  if (key == "ShadowColor") return ReadColor(v, l.ShadowColor);
  if (key == "MainTitleFont") return ReadText(v, l.MainTitleFont);
  if (key == "SubTitleFont") return ReadText(v, l.SubTitleFont);
  if (key == "LabelFont") return ReadText(v, l.LabelFont);
  if (key == "MainTitleBold") return ReadBool(v, l.MainTitleBold);
  if (key == "LabelBold") return ReadBool(v, l.LabelBold);
  if (key == "FontSize") return ReadEnum(v, 2, l.FontSize);
  if (key == "DataPrecision") return ReadEnum(v, 3, l.DataPrecision);
  if (key == "GridLineControl") return ReadEnum(v, 3, l.GridLineControl);
  if (key == "GridStyle") return ReadEnum(v, 3, l.GridStyle);
  if (key == "DataShadows") return ReadBool(v, l.DataShadows);
  if (key == "MarkDataPoints") return ReadBool(v, l.MarkDataPoints);
  if (key == "LineWidth")
    return ReadNumber(v, l.LineWidth) && l.LineWidth >= 0.5 && l.LineWidth <= 10;
  if (key == "ShowAnnotations") return ReadBool(v, l.ShowAnnotations);
  if (key == "Annotation") return ReadAnnotation(v, l.Annotations);
  return true;  // a key of a newer block
}

}  // namespace

QByteArray StoreGraphLook(const TGraphLook& l) {
  QByteArray out(kHeader.data(), qsizetype(kHeader.size()));
  out += '\n';
  Put(out, "ViewingStyle", QByteArray::number(int(l.ViewingStyle)));
  Put(out, "DeskColor", ColorText(l.DeskColor));
  Put(out, "GraphBackColor", ColorText(l.GraphBackColor));
  Put(out, "GraphForeColor", ColorText(l.GraphForeColor));
  Put(out, "TextColor", ColorText(l.TextColor));
  Put(out, "ShadowColor", ColorText(l.ShadowColor));
  Put(out, "MainTitleFont", OneLine(l.MainTitleFont));
  Put(out, "SubTitleFont", OneLine(l.SubTitleFont));
  Put(out, "LabelFont", OneLine(l.LabelFont));
  Put(out, "MainTitleBold", l.MainTitleBold ? "1" : "0");
  Put(out, "LabelBold", l.LabelBold ? "1" : "0");
  Put(out, "FontSize", QByteArray::number(int(l.FontSize)));
  Put(out, "DataPrecision", QByteArray::number(int(l.DataPrecision)));
  Put(out, "GridLineControl", QByteArray::number(int(l.GridLineControl)));
  Put(out, "GridStyle", QByteArray::number(int(l.GridStyle)));
  Put(out, "DataShadows", l.DataShadows ? "1" : "0");
  Put(out, "MarkDataPoints", l.MarkDataPoints ? "1" : "0");
  Put(out, "LineWidth", Number(l.LineWidth));
  Put(out, "ShowAnnotations", l.ShowAnnotations ? "1" : "0");
  int kept = 0;
  for (const TGraphAnnotation& a : l.Annotations)
    if (std::isfinite(a.x) && kept++ < kGraphLookMaxAnnotations)
      Put(out, "Annotation", Number(a.x) + ';' + OneLine(a.text));
  return out;
}

bool LoadGraphLook(const QByteArray& block, TGraphLook& look) {
  if (block.size() > kGraphLookMaxBytes) return false;
  const QList<QByteArray> lines = block.split('\n');
  if (lines.isEmpty() || std::string_view(lines[0].constData(), size_t(lines[0].size())) != kHeader)
    return false;
  TGraphLook read = look;
  read.Annotations.clear();
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const std::string_view line(lines[i].constData(), size_t(lines[i].size()));
    if (line.empty()) continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) return false;
    if (!ReadEntry(line.substr(0, eq), line.substr(eq + 1), read)) return false;
  }
  look = std::move(read);
  return true;
}
