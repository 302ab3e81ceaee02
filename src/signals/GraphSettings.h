#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <vector>

// The look of a graph that the user may customise and that survives between runs. The enum
// values are the numbers the graph window's stored settings and fallbacks use.
enum TPEDataPrecision {
  sgNoDecimals = 0,
  sgOneDecimal = 1,
  sgTwoDecimals = 2,
  sgThreeDecimals = 3
};
enum TPEFontSize { sgLarge = 0, sgMedium = 1, sgSmall = 2 };
enum TPEGridLineControl { sgYPlusXAxis = 0, sgYAxis = 1, sgXAxis = 2, sgNoGrid = 3 };
enum TPEGridStyle { sgThin = 0, sgThick = 1, sgDot = 2, sgDash = 3 };
enum TPEViewingStyle { sgColor = 0, sgMonochrome = 1 };

// A note on the time axis: a dotted line at time x (ms) with its text beside it.
struct TGraphAnnotation {
  double x = 0;
  QString text;
  bool operator==(const TGraphAnnotation&) const = default;
};

struct TGraphLook {
  TPEViewingStyle ViewingStyle = sgColor;
  QColor DeskColor = Qt::white;       // around the plot
  QColor GraphBackColor = Qt::white;  // inside each band
  QColor GraphForeColor = Qt::black;  // axes and grid
  QColor TextColor = Qt::black;
  QColor ShadowColor = Qt::gray;
  QString MainTitleFont = QStringLiteral("Times New Roman");
  QString SubTitleFont = QStringLiteral("Times New Roman");
  QString LabelFont = QStringLiteral("Arial");
  bool MainTitleBold = false;
  bool LabelBold = false;
  TPEFontSize FontSize = sgMedium;
  TPEDataPrecision DataPrecision = sgThreeDecimals;
  TPEGridLineControl GridLineControl = sgYPlusXAxis;
  TPEGridStyle GridStyle = sgDash;
  bool DataShadows = true;
  bool MarkDataPoints = false;
  double LineWidth = 1.0;  // pixels, 0.5 to 10
  bool ShowAnnotations = false;
  std::vector<TGraphAnnotation> Annotations;

  bool operator==(const TGraphLook&) const = default;
};

// The customisation block: text lines "Key=Value" after a header line, UTF-8. Loading accepts
// only a block it can read completely (unknown keys are skipped, so that a newer block still
// loads); anything else leaves the look untouched and answers false.
QByteArray StoreGraphLook(const TGraphLook& look);
bool LoadGraphLook(const QByteArray& block, TGraphLook& look);

// Blocks beyond this size are refused unread: the value comes from a settings file that any
// program may have written.
inline constexpr int kGraphLookMaxBytes = 256 * 1024;
inline constexpr int kGraphLookMaxAnnotations = 200;
