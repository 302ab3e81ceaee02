#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <cmath>
#include <memory>
#include <tuple>

#include "measure/FrameList.h"
#include "measure/MotionDataBase.h"
#include "measure/MyStringGrid.h"
#include "measure/SheetElement.h"

// A model whose objects have columns in a grid with a row for every frame up to kFrames.
struct SheetFixture {
  static constexpr int kFrames = 200;
  explicit SheetFixture(std::uint16_t kinds = kAllKinds, int frames = kFrames) {
    grid.SetRowCount(frames + 1 + grid.FixedRows());
    db = std::make_unique<TMotionDataBase>(MakeColumnsFactory(grid, &menu));
    db->Objects().defaultVisibleKinds = kinds;
  }
  TObjDef& Add(TSampleClass cls, const QString& name) {
    return *db->CreateObject(cls, name, db->Objects().defaultVisibleKinds);
  }
  TSheetElements& Columns(const TObjDef& def) {
    return *dynamic_cast<TSheetElements*>(def.Columns());
  }
  TSheetElement* Element(const TObjDef& def, const QString& caption) {
    TSheetElements& list = Columns(def);
    for (std::size_t i = 0; i < list.Count(); ++i)
      if (list.Element(i)->Caption() == caption) return list.Element(i);
    return nullptr;
  }
  QString Cell(const TObjDef& def, const QString& caption, int frame) {
    const TSheetElement* e = Element(def, caption);
    return e && e->Visible() ? grid.Cell(e->Column(), grid.FixedRows() + frame) : "<none>";
  }
  // Checks each {caption, frame, text} among the object's cells.
  void Expect(const TObjDef& def,
              std::initializer_list<std::tuple<const char*, int, const char*>> cells) {
    for (const auto& [caption, frame, text] : cells)
      EXPECT_EQ(Cell(def, caption, frame), text) << caption << " in frame " << frame;
  }
  // Line end points at angle `degrees` from (0, 0).
  void Line(TObjDef& def, int frame, double degrees, int first = 0) {
    const double r = degrees * M_PI / 180;
    db->SetPoint(frame, def, first, {0, 0});
    db->SetPoint(frame, def, first + 1, {float(100 * std::cos(r)), float(100 * std::sin(r))});
  }

  TMyStringGrid grid;
  TShowMenu menu;
  std::unique_ptr<TMotionDataBase> db;
};
