// Pointer and image conversions against each other and against the drawn picture.

#include <gtest/gtest.h>

#include <cmath>

#include "display/ImageMapping.h"

namespace {

constexpr int kMaxX = 39;  // a 40 x 30 frame
constexpr int kMaxY = 29;

struct View {
  const char* name;
  TImageMapping mapping;
};

const View kViews[] = {
    {"50%", TImageMapping::Full(kMaxX, kMaxY, {20, 15})},
    {"100%", TImageMapping::Full(kMaxX, kMaxY, {40, 30})},
    {"200%", TImageMapping::Full(kMaxX, kMaxY, {80, 60})},
    {"37%", TImageMapping::Full(kMaxX, kMaxY, {15, 11})},
    {"zoomed 400%",
     TImageMapping::Zoomed(kMaxX, kMaxY, QRect(QPoint(5, 4), QPoint(14, 11)), {40, 32})},
    {"zoomed odd",
     TImageMapping::Zoomed(kMaxX, kMaxY, QRect(QPoint(3, 17), QPoint(38, 29)), {25, 13})},
};

int PixelOf(float v) {
  return int(std::floor(v + 0.5f));
}

// A pointer comes back to its own pixel and lies on the image pixel drawn under it; an image
// point shown on the screen and pointed at again is found within half a screen pixel.
TEST(ImageMappingTest, PointerAndImagePointsRoundTrip) {
  for (const View& v : kViews) {
    SCOPED_TRACE(v.name);
    const QSize box = v.mapping.Box();
    const QPoint pointers[] = {{0, 0},
                               {box.width() - 1, 0},
                               {0, box.height() - 1},
                               {box.width() - 1, box.height() - 1},
                               {box.width() / 2, box.height() / 2}};
    for (const QPoint& p : pointers) {
      SCOPED_TRACE(testing::Message() << p.x() << "," << p.y());
      // A high-density pointer inside the same logical pixel reads the same point.
      for (const QPointF at : {QPointF(p), QPointF(p) + QPointF(0.5, 0.5)}) {
        const TImagePoint ip = v.mapping.PointerToImage(at);
        EXPECT_NEAR(v.mapping.ImageToScreenX(ip.x), p.x(), 1e-3);
        EXPECT_NEAR(v.mapping.ImageToScreenY(ip.y), p.y(), 1e-3);
        EXPECT_EQ(PixelOf(ip.x), v.mapping.ColumnAt(p.x()));
        EXPECT_EQ(kMaxY - PixelOf(ip.y), v.mapping.RowFromTopAt(p.y()));
      }
    }
    const QRect s = v.mapping.Source();
    const float perPixelX = float(s.width()) / box.width();
    const float perPixelY = float(s.height()) / box.height();
    const float bottom = float(kMaxY - s.bottom()), top = float(kMaxY - s.top());
    const TImagePoint points[] = {{float(s.left()), bottom},
                                  {float(s.right()), top},
                                  {float(s.left()), top},
                                  {float(s.right()), bottom},
                                  {(s.left() + s.right()) / 2.0f, (bottom + top) / 2}};
    for (const TImagePoint& ip : points) {
      const QPointF screen(std::round(v.mapping.ImageToScreenX(ip.x)),
                           std::round(v.mapping.ImageToScreenY(ip.y)));
      const TImagePoint back = v.mapping.PointerToImage(screen);
      EXPECT_LE(std::abs(back.x - ip.x), perPixelX / 2 + 1e-4f) << ip.x;
      EXPECT_LE(std::abs(back.y - ip.y), perPixelY / 2 + 1e-4f) << ip.y;
    }
  }
}

// Fixed values pin the convention: a consistent shift in both directions would still round-trip.
TEST(ImageMappingTest, PixelCentresAreIntegerPoints) {
  const struct {
    int view;
    QPoint pointer;
    float x, y;
  } cases[] = {
      {1, {0, 0}, 0, kMaxY},              // 100 %: top-left pixel
      {1, {39, 29}, kMaxX, 0},            // 100 %: bottom-right pixel
      {2, {0, 59}, -0.25f, -0.25f},       // 200 %: bottom-left quarter of pixel (0, 0)
      {2, {3, 0}, 1.25f, kMaxY + 0.25f},  // 200 %: right half of column 1, top row
      {4, {0, 31}, 4.625f, 17.625f},      // zoomed: source bottom-left is (5, 29 - 11)
  };
  for (const auto& c : cases) {
    const TImagePoint ip = kViews[c.view].mapping.PointerToImage(c.pointer);
    EXPECT_FLOAT_EQ(ip.x, c.x) << kViews[c.view].name;
    EXPECT_FLOAT_EQ(ip.y, c.y) << kViews[c.view].name;
  }
}

QImage Numbered(QImage::Format format) {
  QImage frame(kMaxX + 1, kMaxY + 1, format);
  if (format == QImage::Format_Indexed8) {
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i) table << qRgb(i, 255 - i, i / 2);
    frame.setColorTable(table);
  }
  for (int y = 0; y <= kMaxY; ++y)
    for (int x = 0; x <= kMaxX; ++x) {
      const int n = (y * 40 + x) % 256;
      if (format == QImage::Format_Indexed8)
        frame.setPixel(x, y, uint(n));
      else
        frame.setPixel(x, y, qRgb(x * 6, y * 8, n));
    }
  return frame;
}

// Whole blocks at integer magnifications, every frame format the display window meets.
TEST(ImageMappingTest, StretchCopiesWholePixelBlocks) {
  const struct {
    int view, factorUp, factorDown, left, top;
  } cases[] = {
      {2, 2, 1, 0, 0},  // 200 %: image pixel (X/2, Y/2)
      {4, 4, 1, 5, 4},  // zoomed 400 % from (5, 4)
      {0, 1, 2, 0, 0},  // 50 %: odd columns, even rows from the top (bottom-up odd rows)
  };
  for (QImage::Format format :
       {QImage::Format_Indexed8, QImage::Format_BGR888, QImage::Format_RGB32}) {
    const QImage frame = Numbered(format);
    for (const auto& c : cases) {
      const QImage out = StretchNearest(frame, kViews[c.view].mapping);
      ASSERT_EQ(out.size(), kViews[c.view].mapping.Box());
      ASSERT_EQ(out.format(), format);
      for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
          const int fx = c.left + x * c.factorDown / c.factorUp + (c.factorDown - 1);
          const int fy = c.top + y * c.factorDown / c.factorUp;
          ASSERT_EQ(out.pixel(x, y), frame.pixel(fx, fy)) << kViews[c.view].name << x << "," << y;
        }
    }
  }
}

TEST(ImageMappingTest, ZoomRectangleIsClippedToTheFrame) {
  const QRect outside(QPoint(-5, 20), QPoint(60, 40));
  EXPECT_EQ(TImageMapping::Zoomed(kMaxX, kMaxY, outside, {10, 10}).Source(),
            QRect(QPoint(0, 20), QPoint(kMaxX, kMaxY)));
  EXPECT_EQ(TImageMapping::Zoomed(kMaxX, kMaxY, QRect(100, 100, 4, 4), {10, 10}).Source(),
            QRect(0, 0, kMaxX + 1, kMaxY + 1));
  // An empty paint box (before the first layout) maps without dividing by zero.
  const TImagePoint p = TImageMapping::Full(kMaxX, kMaxY, {0, 0}).PointerToImage({0, 0});
  EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
}

}  // namespace
