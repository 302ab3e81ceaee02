#include "measure/FrameList.h"

#include <algorithm>

#include "measure/ObjDef.h"
#include "platform/Exception.h"

void TFrameObjectList::SetTiming(int decimals, float period, float offset) {
  decimals_ = decimals;
  framePeriod_ = period;
  timeOffset_ = offset;
  for (std::size_t i = 0; i < Count(); ++i) Holder(i)->time_ = TimeOf(Holder(i)->frame_);
}

TFrameObjectList::Found TFrameObjectList::FindFrame(int frame) const {
  // Holders are ascending, so a binary search finds the first one not below the frame.
  std::size_t lo = 0, hi = Count();
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (Holder(mid)->frame_ < frame)
      lo = mid + 1;
    else
      hi = mid;
  }
  return {lo < Count() && Holder(lo)->frame_ == frame, lo};
}

TFrameObject* TFrameObjectList::FindHolder(int frame) const {
  const Found f = FindFrame(frame);
  return f.found ? Holder(f.index) : nullptr;
}

TFrameObject* TFrameObjectList::FindOrAddFrame(int frame) {
  const Found f = FindFrame(frame);
  if (f.found) return Holder(f.index);
  auto* holder = new TFrameObject(frame, TimeOf(frame), fixedRows + frame);
  Insert(f.index, holder);
  if (onFrameAdded) onFrameAdded(*holder);
  return holder;
}

std::size_t TFrameObjectList::IndexOfHolder(const TFrameObject* holder, const char* what) const {
  const Found f = FindFrame(holder->frame_);
  if (!f.found || Holder(f.index) != holder)
    throw Exception(QString(what) + QString::number(holder->frame_) + " not found");
  return f.index;
}

TFrameObject* TFrameObjectList::NextFrame(const TFrameObject* holder) const {
  const std::size_t i = IndexOfHolder(holder, "NextFrame ");
  return i + 1 < Count() ? Holder(i + 1) : nullptr;
}

TFrameObject* TFrameObjectList::PrevFrame(const TFrameObject* holder) const {
  const std::size_t i = IndexOfHolder(holder, "PrevFrame ");
  return i > 0 ? Holder(i - 1) : nullptr;
}

TSampleObject* TFrameObjectList::NextSample(const TSampleObject& sample) const {
  for (std::size_t i = IndexOfHolder(sample.Holder(), "NextFrame ") + 1; i < Count(); ++i)
    if (TSampleObject* s = FindSample(*Holder(i), sample.ObjDef())) return s;
  return nullptr;
}

TSampleObject* TFrameObjectList::PreviousSample(const TSampleObject& sample) const {
  for (std::size_t i = IndexOfHolder(sample.Holder(), "PrevFrame "); i-- > 0;)
    if (TSampleObject* s = FindSample(*Holder(i), sample.ObjDef())) return s;
  return nullptr;
}

TSampleObject* TFrameObjectList::FindSample(const TFrameObject& holder, const TObjDef* def) {
  for (std::size_t i = 0; i < holder.Count(); ++i)
    if (holder.Sample(i)->ObjDef() == def) return holder.Sample(i);
  return nullptr;
}

TSampleObject& TFrameObjectList::GetSample(const TFrameObject& holder, const TObjDef& def) {
  if (TSampleObject* s = FindSample(holder, &def)) return *s;
  throw Exception(def.Name() + " sample not found");
}

TSampleObject* TFrameObjectList::FindOrAddSample(TFrameObject& holder, TObjDef& def) {
  if (TSampleObject* s = FindSample(holder, &def)) return s;
  TSampleObject* s = def.NewSample(&holder).release();
  holder.Add(s);
  return s;
}

void TFrameObjectList::DestroySample(TSampleObject* sample) {
  if (sample->Owner()) sample->Owner()->Remove(sample);
  if (IObjectColumns* columns = sample->ObjDef()->Columns()) columns->SampleRemoved(*sample);
  delete sample;
}

void TFrameObjectList::DeleteSamples(const TObjDef& def) {
  for (std::size_t i = Count(); i-- > 0;)
    if (TSampleObject* s = FindSample(*Holder(i), &def)) DestroySample(s);
}

int TFrameObjectList::CountSamples(TObjDef& def) const {
  def.firstFrameIndex = def.lastFrameIndex = -1;
  def.sampleCount = 0;
  for (std::size_t i = 0; i < Count(); ++i) {
    if (!FindSample(*Holder(i), &def)) continue;
    if (def.firstFrameIndex < 0) def.firstFrameIndex = static_cast<int>(i);
    def.lastFrameIndex = static_cast<int>(i);
    ++def.sampleCount;
  }
  return def.sampleCount;
}

bool TFrameObjectList::SetCurrentFrame(int frame) {
  if (frame == currentFrame_) return false;
  currentFrame_ = frame;
  return true;
}

void TFrameObjectList::Draw(QPainter& painter, const TImageMapping& mapping) const {
  if (const TFrameObject* holder = FindHolder(currentFrame_))
    for (std::size_t i = 0; i < holder->Count(); ++i) holder->Sample(i)->Draw(painter, mapping);
}

void TFrameObjectList::RecomputeAll() const {
  for (std::size_t i = 0; i < Count(); ++i) {
    const TFrameObject& holder = *Holder(i);
    for (std::size_t k = 0; k < holder.Count(); ++k)
      if (IObjectColumns* columns = holder.Sample(k)->ObjDef()->Columns())
        columns->SampleChanged(*holder.Sample(k));
  }
}
