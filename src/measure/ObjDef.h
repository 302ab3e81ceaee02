#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "measure/PolyList.h"
#include "measure/Samples.h"

class TObjDef;
class TScaler;
class TReferencer;
class TMotionDataBase;

// What an object's derived columns hear about its samples. The column layer implements it; a
// sample is fully alive during both calls, and a removed sample has already left its holder
// (so neighbour searches no longer find it) but still knows its holder.
class IObjectColumns {
 public:
  virtual ~IObjectColumns() = default;
  virtual void SampleChanged(TSampleObject& sample) = 0;
  virtual void SampleRemoved(TSampleObject& sample) = 0;
};

// Builds an object's columns from its name, sample class, point and line counts. Stands in for
// the sample class's own column creation, so the objects need nothing from the column layer.
using TColumnsFactory = std::function<std::unique_ptr<IObjectColumns>(TObjDef& def)>;

// Cursor positioning after a click: stay, last point, constant-velocity extrapolation.
enum class TCursorMode : std::uint8_t { None = 0, Simple = 1, Smart = 2 };

// The kinds of object the user creates. Kind 3 ("Area") exists but is never offered.
struct TObjectKind {
  const char* baseName;
  TSampleClass sampleClass;
  int image;
};
inline constexpr TObjectKind kObjectKinds[] = {{"Point", TSampleClass::Point, 0},
                                               {"Line", TSampleClass::Line, 1},
                                               {"Angle", TSampleClass::Angle, 2},
                                               {"Area", TSampleClass::Angle, 3}};

// The 13 colours objects take in turn (RGB).
inline constexpr QRgb kObjectColours[13] = {0x00FFFF, 0x0000FF, 0xFF00FF, 0x008000, 0x00FF00,
                                            0x800000, 0x000080, 0x808000, 0x800080, 0xFF0000,
                                            0x008080, 0xFFFFFF, 0xFFFF00};

class TObjDefList : public TPolyList {
 public:
  explicit TObjDefList(TMotionDataBase* database) : database_(database) {}
  // Objects reach back to the list while they go, so they go before it stops being one.
  ~TObjDefList() override { Clear(); }

  TMotionDataBase* Database() const { return database_; }
  TObjDef* Object(std::size_t i) const;
  // The object of that sample class with that name in any letter case, or nullptr.
  TObjDef* FindByName(const QString& name, TSampleClass cls) const;
  // "Point", then "Point2", "Point3"...: the number starts at the count of objects of that
  // sample class plus one and rises past every name already taken in any letter case.
  QString NewName(const QString& baseName, TSampleClass cls) const;

  TCursorMode cursorMode = TCursorMode::None;
  std::uint16_t defaultVisibleKinds = 12;  // kinds 2 and 3
  TColumnsFactory columnsFactory;          // unset: objects have no columns

 private:
  friend class TObjDef;
  int TakeMarker();
  QRgb TakeColour();

  TMotionDataBase* database_;
  int nextMarker_ = 0;
  int nextColour_ = 0;
};

// A measurement object: its name, sample class, marker, colour and columns. Its samples live in
// the frame holders; destroying the object destroys them first.
class TObjDef : public TPolyList {
 public:
  // Appends itself to the list and takes the next marker and colour.
  TObjDef(TObjDefList* list, std::uint16_t visibleKinds, TSampleClass cls, TReferencer* referencer,
          TScaler* scaler, const QString& name);
  ~TObjDef() override;

  TObjDefList* List() const { return list_; }
  const QString& Name() const { return name_; }
  TSampleClass SampleClass() const { return class_; }
  TScaler* Scaler() const { return scaler_; }
  TReferencer* Referencer() const { return referencer_; }
  int Polymarker() const { return marker_; }
  QRgb Colour() const { return colour_; }
  int PointCount() const { return pointCount_; }
  int LineCount() const { return lineCount_; }
  IObjectColumns* Columns() const { return columns_.get(); }
  // The caller refreshes what shows the name (column headers, lists).
  void SetName(const QString& name) { name_ = name; }
  // Marker shape, held within 0..7.
  void SetPolymarker(int marker);
  void SetColour(QRgb colour) { colour_ = colour; }

  std::uint16_t initialVisibleKinds;
  std::uint16_t currentVisibleKinds;
  // Filled by TFrameObjectList::CountSamples.
  int firstFrameIndex = -1;
  int lastFrameIndex = -1;
  int sampleCount = 0;

  // A sample of this object's class for the holder, not yet added to it.
  std::unique_ptr<TSampleObject> NewSample(TFrameObject* holder);

 private:
  TObjDefList* list_;
  QString name_;
  TSampleClass class_;
  TScaler* scaler_;
  TReferencer* referencer_;
  int marker_;
  QRgb colour_;
  int pointCount_ = 0;
  int lineCount_ = 0;
  std::unique_ptr<IObjectColumns> columns_;
};
