// Which key frame starts a frame's decoding, and the caches of decoded pictures, which share one
// budget across all open clips. Which picture a frame shows is checked end to end against ffmpeg.

#include <gtest/gtest.h>

#include "platform/avifile/FrameCache.h"
#include "platform/avifile/PictureTimeline.h"

namespace {

using avifile::FrameBudget;
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

avifile::FramePtr Picture() {
  avifile::FramePtr f = avifile::makeFrame();
  f->format = AV_PIX_FMT_GRAY8;
  f->width = 1000;
  f->height = 1;
  EXPECT_GE(av_frame_get_buffer(f.get(), 1), 0);
  return f;
}

const std::size_t kEach = FrameCache::FrameBytes(*Picture());

TEST(FrameCache, DropsTheLeastRecentlyUsedBeyondItsBudget) {
  FrameCache cache(3 * kEach);
  for (LONG slot = 0; slot < 3; ++slot) cache.put(slot, Picture());
  EXPECT_NE(cache.find(0), nullptr);  // 0 becomes the most recent
  cache.put(3, Picture());
  EXPECT_EQ(cache.find(1), nullptr);
  EXPECT_NE(cache.find(0), nullptr);
  EXPECT_NE(cache.find(3), nullptr);
  EXPECT_EQ(cache.bytes(), 3 * kEach);
  FrameCache tiny(0);  // still holds two, however large
  for (LONG slot = 0; slot < 5; ++slot) tiny.put(slot, Picture());
  EXPECT_EQ(tiny.size(), 2u);
  EXPECT_NE(tiny.find(4), nullptr);
}

// Sixteen clips of 256 MB caches each once took 4 GB together.
TEST(FrameBudget, ManyCachesStayWithinOneBudget) {
  FrameBudget budget(40 * kEach);
  std::vector<std::unique_ptr<FrameCache>> caches;
  for (int c = 0; c < 16; ++c) {
    caches.push_back(std::make_unique<FrameCache>(budget));
    for (LONG slot = 0; slot < 8; ++slot) caches.back()->put(slot, Picture());
    EXPECT_LE(budget.bytes(), 40 * kEach);
  }
  EXPECT_EQ(budget.bytes(), 40 * kEach);
  // Below two pictures per cache the newest two of each stay: their getters read them.
  budget.setLimit(0);
  EXPECT_EQ(budget.bytes(), 32 * kEach);
  for (auto& cache : caches) EXPECT_NE(cache->find(7), nullptr);
  caches.resize(4);
  EXPECT_EQ(budget.bytes(), 8 * kEach);
}

TEST(FrameBudget, TheLeastRecentlyUsedPictureOfAnyCacheGoesFirst) {
  FrameBudget budget(6 * kEach);
  FrameCache a(budget), b(budget);
  for (LONG slot = 0; slot < 4; ++slot) a.put(slot, Picture());
  for (LONG slot = 0; slot < 2; ++slot) b.put(slot, Picture());
  ASSERT_NE(a.find(0), nullptr);  // a's oldest becomes its newest
  b.put(2, Picture());            // one too many: a's slot 1 is now the oldest anywhere
  EXPECT_EQ(a.find(1), nullptr);
  b.put(3, Picture());  // then a's slot 2, older than all of b's
  EXPECT_EQ(a.find(2), nullptr);
  for (LONG slot : {0, 3}) EXPECT_NE(a.find(slot), nullptr) << slot;
  for (LONG slot : {0, 1, 2, 3}) EXPECT_NE(b.find(slot), nullptr) << slot;
  EXPECT_EQ(budget.bytes(), 6 * kEach);
  a.clear();
  EXPECT_EQ(budget.bytes(), 4 * kEach);
}

}  // namespace
