// Which picture a frame number shows, which key frame starts its decoding, and the cache of
// decoded pictures.

#include <gtest/gtest.h>

#include "platform/avifile/FrameCache.h"
#include "platform/avifile/PictureTimeline.h"

namespace {

using avifile::FrameCache;
using avifile::PictureTimeline;

TEST(PictureTimeline, DroppedFramesShowThePictureBeforeThem) {
  PictureTimeline t;
  t.setIndex({1, 2, 5, 6, 7}, {1, 5});
  EXPECT_EQ(t.slotFor(0), 1);  // nothing before: the first picture
  EXPECT_EQ(t.slotFor(3), 2);
  EXPECT_EQ(t.slotFor(4), 2);
  EXPECT_EQ(t.slotFor(5), 5);
  EXPECT_EQ(t.slotFor(99), 7);
  EXPECT_EQ(t.ordinalOf(5), 2);
  EXPECT_EQ(t.ordinalOf(3), -1);
  EXPECT_EQ(t.slotAt(4), 7);
  EXPECT_EQ(t.slotAt(5), std::nullopt);
}

// After a seek, B pictures that follow a key frame but are shown before it do not come out.
TEST(PictureTimeline, LeadingPicturesMoveTheirTargetsToTheGroupBefore) {
  PictureTimeline t;
  std::vector<LONG> slots(30);
  for (LONG i = 0; i < 30; ++i) slots[std::size_t(i)] = i;
  t.setIndex(slots, {0, 10, 20});
  EXPECT_EQ(t.keyFor(11), 10);
  t.setLeading(10, 2);
  EXPECT_EQ(t.firstOrdinal(10), 12);
  EXPECT_EQ(t.keyFor(11), 0);
  EXPECT_EQ(t.keyFor(12), 10);
  t.demoteKey(20);
  EXPECT_EQ(t.keyFor(25), 10);
}

TEST(PictureTimeline, WithoutIndexKnowsOnlyWhatWasRead) {
  PictureTimeline t;
  EXPECT_FALSE(t.knows(0));
  t.learn(0);
  t.learn(3);
  EXPECT_TRUE(t.knows(2));
  EXPECT_FALSE(t.knows(3));  // a dropped frame 4 is not known yet
  EXPECT_EQ(t.slotFor(2), 0);
  t.learnEnd();
  EXPECT_TRUE(t.knows(100));
  EXPECT_FALSE(t.indexed());
}

avifile::FramePtr Picture(int width) {
  avifile::FramePtr f = avifile::makeFrame();
  f->format = AV_PIX_FMT_GRAY8;
  f->width = width;
  f->height = 1;
  EXPECT_GE(av_frame_get_buffer(f.get(), 1), 0);
  return f;
}

TEST(FrameCache, DropsTheLeastRecentlyUsedBeyondItsBudget) {
  const std::size_t each = FrameCache::FrameBytes(*Picture(1000));
  FrameCache cache(3 * each);
  for (LONG slot = 0; slot < 3; ++slot) cache.put(slot, Picture(1000));
  EXPECT_NE(cache.find(0), nullptr);  // 0 becomes the most recent
  cache.put(3, Picture(1000));
  EXPECT_EQ(cache.find(1), nullptr);
  EXPECT_NE(cache.find(0), nullptr);
  EXPECT_NE(cache.find(3), nullptr);
  EXPECT_EQ(cache.bytes(), 3 * each);
  FrameCache tiny(0);  // still holds two, however large
  for (LONG slot = 0; slot < 5; ++slot) tiny.put(slot, Picture(1000));
  EXPECT_EQ(tiny.size(), 2u);
  EXPECT_NE(tiny.find(4), nullptr);
}

}  // namespace
