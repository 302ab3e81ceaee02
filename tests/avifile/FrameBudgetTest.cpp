// The decoded-picture caches of all open clips share one budget.

#include <gtest/gtest.h>

#include "platform/avifile/FrameCache.h"

namespace {

using avifile::FrameBudget;
using avifile::FrameCache;

avifile::FramePtr Picture() {
  avifile::FramePtr f = avifile::makeFrame();
  f->format = AV_PIX_FMT_GRAY8;
  f->width = 1000;
  f->height = 1;
  EXPECT_GE(av_frame_get_buffer(f.get(), 1), 0);
  return f;
}

const std::size_t kEach = FrameCache::FrameBytes(*Picture());

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
