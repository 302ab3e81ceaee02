#pragma once

#include <QColor>
#include <QPoint>

class QPainter;

// Draws marker shape 0..7 (circle with plus, diamond, plus, plus with cross, square, cross,
// small square, bow tie) of the given size centred on at, in colour, with a one-pixel pen. The
// painter's pen is restored afterwards. Another shape number draws nothing.
void DrawPolymarker(QPainter& painter, QPoint at, int shape, const QColor& colour, int size);
