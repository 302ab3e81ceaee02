// The shared main of every test program.
#include <gtest/gtest.h>

#include "OffscreenProcess.h"

int main(int argc, char** argv) {
  TOffscreenProcess process(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
