#pragma once

#include <map>

#include "measure/SheetElement.h"

// The class of each kind. Kinds 4..6 measure from the object's first sample, 7..9 from the
// previous one; 12 and 13 unwrap the angle over the object's samples in frame order.

class TImageOrdElement : public TSheetElement {  // kinds 0, 1
 public:
  using TSheetElement::TSheetElement;
  bool Compute() override;
};

class TObjectOrdElement : public TImageOrdElement {  // kinds 2, 3
 public:
  using TImageOrdElement::TImageOrdElement;
  bool Compute() override;
};

// Kinds 4, 5: the first sample is the base. Editing the base, or a new earliest sample,
// recomputes the whole column; any other change only its own cell.
class TDisplacementOrdElement : public TObjectOrdElement {
 public:
  using TObjectOrdElement::TObjectOrdElement;
  bool Compute() override;
  void SampleChanged(TSampleObject& sample) override;
  void SampleRemoved(TSampleObject& sample) override;

 protected:
  // The base's referenced point; a base that lacks the point leaves the cells blank.
  std::optional<TImagePoint> Base() const;
  TSampleObject* first_ = nullptr;

 private:
  std::optional<TImagePoint> lastBase_;
};

class TDisplacementElement : public TDisplacementOrdElement {  // kind 6
 public:
  using TDisplacementOrdElement::TDisplacementOrdElement;
  bool Compute() override;
};

// Kinds 7, 8: backward differences; a change also recomputes the next sample's cell.
class TVelocityOrdElement : public TObjectOrdElement {
 public:
  using TObjectOrdElement::TObjectOrdElement;
  bool Compute() override;
  void SampleChanged(TSampleObject& sample) override;
  void SampleRemoved(TSampleObject& sample) override;

 protected:
  // mm/s (or the length unit per s) into the linear velocity unit.
  float PerSecond(float delta, const TSampleObject& earlier) const;
  TSampleObject* previous_ = nullptr;
};

class TVelocityElement : public TVelocityOrdElement {  // kind 9
 public:
  using TVelocityOrdElement::TVelocityOrdElement;
  bool Compute() override;
};

class TAbsAngleElement : public TImageOrdElement {  // kind 10
 public:
  using TImageOrdElement::TImageOrdElement;
  bool Compute() override;
};

class TRelAngleElement : public TSheetElement {  // kind 11
 public:
  using TSheetElement::TSheetElement;
  bool Compute() override;
};

// Kind 12: angle minus the first valid angle, unwrapped so that a step of more than half a turn
// counts the short way. Each valid sample's unwrapped angle is kept by frame, so a change costs
// its own cell, and the next ones only while their unwrapped angle changes with it.
class TAngleDispElement : public TRelAngleElement {
 public:
  using TRelAngleElement::TRelAngleElement;
  bool Compute() override;
  void SampleChanged(TSampleObject& sample) override;
  void SampleRemoved(TSampleObject& sample) override;

 protected:
  struct TTurn {
    TSampleObject* sample;
    float angle;   // unwrapped, radians
    float offset;  // whole turns added so far
  };
  using TTurns = std::map<int, TTurn>;
  bool KeepsState() const override { return true; }
  // The stored turn of the current sample, or end().
  TTurns::const_iterator Current() const;
  // Angular displacement in radians of a stored turn.
  float Displacement(TTurns::const_iterator it) const { return it->second.angle - base(); }

  TTurns turns_;

 private:
  float base() const { return turns_.begin()->second.angle; }
  TTurn Unwrap(TTurns::iterator it, TSampleObject& sample) const;
  // Recomputes the turns after `it` (whose turn changed), while they change.
  void Propagate(TTurns::iterator it);
  void RecomputeTurns();
};

// Kind 13: backward difference of the angular displacement over valid samples.
class TAnglularVelocityElement : public TAngleDispElement {
 public:
  using TAngleDispElement::TAngleDispElement;
  bool Compute() override;
};
