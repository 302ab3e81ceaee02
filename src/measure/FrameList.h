#pragma once

#include <functional>

#include "display/ImageMapping.h"
#include "measure/PolyList.h"
#include "measure/Samples.h"

class QPainter;
class TObjDef;

// The samples of one frame, one per object at most.
class TFrameObject : public TPolyList {
 public:
  TFrameObject(int frame, float time, int gridRow) : frame_(frame), time_(time), row_(gridRow) {}
  int Frame() const { return frame_; }
  float Time() const { return time_; }  // ms
  int GridRow() const { return row_; }
  TSampleObject* Sample(std::size_t i) const { return static_cast<TSampleObject*>(Item(i)); }

 private:
  friend class TFrameObjectList;
  int frame_;
  float time_;
  int row_;
};

// The frame holders in ascending frame order, and the time axis they share. Holders are made on
// the first click in a frame and stay until the list goes, even when their last sample goes.
class TFrameObjectList : public TPolyList {
 public:
  static constexpr int kNoFrame = -999999;

  struct Found {
    bool found;
    std::size_t index;  // of the holder for the frame, or of the first one after it
  };

  TFrameObject* Holder(std::size_t i) const { return static_cast<TFrameObject*>(Item(i)); }
  float TimeOf(int frame) const { return static_cast<float>(frame) * framePeriod_ + timeOffset_; }
  // Sets the time axis and re-times every holder.
  void SetTiming(int decimals, float period, float offset);
  int TimeDecimals() const { return decimals_; }
  float FramePeriod() const { return framePeriod_; }
  float TimeOffset() const { return timeOffset_; }

  Found FindFrame(int frame) const;
  TFrameObject* FindHolder(int frame) const;
  TFrameObject* FindOrAddFrame(int frame);
  // Raise "NextFrame <n> not found" / "PrevFrame <n> not found" for a holder not in the list.
  TFrameObject* NextFrame(const TFrameObject* holder) const;
  TFrameObject* PrevFrame(const TFrameObject* holder) const;

  // The object's sample in the nearest later (earlier) holder, or nullptr.
  TSampleObject* NextSample(const TSampleObject& sample) const;
  TSampleObject* PreviousSample(const TSampleObject& sample) const;
  static TSampleObject* FindSample(const TFrameObject& holder, const TObjDef* def);
  // As FindSample, but none raises "<name> sample not found".
  static TSampleObject& GetSample(const TFrameObject& holder, const TObjDef& def);
  TSampleObject* FindOrAddSample(TFrameObject& holder, TObjDef& def);

  // Takes the sample out of its holder, tells its object's columns, and frees it.
  static void DestroySample(TSampleObject* sample);
  void DeleteSamples(const TObjDef& def);
  // Number of holders with a sample of the object; also records the first and last index.
  int CountSamples(TObjDef& def) const;

  int CurrentFrame() const { return currentFrame_; }
  // True when it changed: the overlay must be drawn again.
  bool SetCurrentFrame(int frame);
  // Draws every sample of the current frame.
  void Draw(QPainter& painter, const TImageMapping& mapping) const;
  // Every sample's columns hear that it changed, holder by holder in frame order.
  void RecomputeAll() const;

  int fixedRows = 3;  // header rows of the table above frame 0's row
  // Called for each new holder (the table keeps the holder beside its row).
  std::function<void(TFrameObject&)> onFrameAdded;

 private:
  std::size_t IndexOfHolder(const TFrameObject* holder, const char* what) const;

  float timeOffset_ = 0;
  float framePeriod_ = 0;
  int decimals_ = 0;
  int currentFrame_ = kNoFrame;
};
