#pragma once

// The QCustomPlot objects behind one PESGraph. Private to the graph component.
#include <qcustomplot.h>

#include <QRubberBand>
#include <vector>

class TGraphCanvas {
 public:
  explicit TGraphCanvas(QWidget* parent);

  // Removes every band, axis, curve and item and lays out the title row alone.
  void Clear();

  QCustomPlot* plot;
  QCPLayer* cursorLayer = nullptr;  // buffered on its own: a cursor move redraws it alone
  QCPTextElement* title = nullptr;
  std::vector<QCPAxisRect*> bands;                // top to bottom
  std::vector<QCPLegend*> legends;                // index = band
  std::vector<QCPAxis*> yAxes;                    // index = axis
  std::vector<int> bandOfAxis;                    // index = axis
  std::vector<int> firstAxisOfBand;               // index = band
  std::vector<int> axisOfSubset;                  // index = subset
  std::vector<QCPGraph*> graphs;                  // index = subset, null for an empty subset
  std::vector<QCPItemStraightLine*> cursorLines;  // one vertical line per band
  QCPItemStraightLine* cursorLevel = nullptr;     // the horizontal line of the cursor's band
  QCPItemTracer* cursorMark = nullptr;
  QCPRange fullX;               // the x range before any zoom
  std::vector<QCPRange> fullY;  // index = axis
  QRubberBand* rubber = nullptr;
};
