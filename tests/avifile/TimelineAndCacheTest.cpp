// Which key frame starts a frame's decoding, and the cache of decoded pictures. Which picture a
// frame shows is checked end to end against ffmpeg.

#include <gtest/gtest.h>

#include "platform/avifile/FrameCache.h"
#include "platform/avifile/PictureTimeline.h"

namespace {

using avifile::FrameCache;
using avifile::PictureTimeline;

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
