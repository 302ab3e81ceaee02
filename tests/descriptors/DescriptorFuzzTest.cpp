#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "EditorKit.h"
#include "descriptors/DescriptorSections.h"
#include "descriptors/DescriptorText.h"
#include "descriptors/TitlesForm.h"

namespace {

// Section and key pieces, numbers and stray bytes.
std::string randomText(std::mt19937& rng) {
  static const char* const kPieces[] = {
      "[",        "]",          "=",          "\r",
      "\n",       " ",          "?",          "1000",
      "-2.5",     "1e400",      "Timing",     "Camera",
      "Titles",   "Frame Rate", "Mark Frame", "Time at Mark Frame",
      "[Timing]", "[Titles]",   "[Camera]"};
  std::string text;
  for (int i = int(rng() % 24); i > 0; --i)
    text +=
        rng() % 4 == 0 ? std::string(1, char(rng() % 256)) : kPieces[rng() % std::size(kPieces)];
  return text;
}

// The entry routines must neither crash nor hang, and an entry that was set must read back.
TEST(DescriptorFuzz, EntryRoutinesReadBackWhatTheySet) {
  const char* const kSections[] = {"Timing", "Camera", "Titles", "Scaling"};
  const char* const kKeys[] = {"Frame Rate", "Mark Frame", "Time at Mark Frame", "Description"};
  std::mt19937 rng(20240611);
  for (int round = 0; round < 4000; ++round) {
    std::string text = randomText(rng);
    const char* section = kSections[rng() % std::size(kSections)];
    const char* key = kKeys[rng() % std::size(kKeys)];
    std::string value;
    GetDescriptorValue(text, section, key, value);
    double number = 0;
    GetDescriptorFloat(text, section, key, number);
    DescriptorSectionLines(text, "[Timing]");
    OtherSections(text);
    const std::string written = std::to_string(round);
    SetDescriptorValue(text, section, key, written);
    ASSERT_TRUE(GetDescriptorValue(text, section, key, value)) << round;
    ASSERT_EQ(value, written) << round;
  }
}

TEST(DescriptorFuzz, ParsingAnyTextLeavesAUsableTimingWithoutAMessage) {
  TestDatabases dbs;
  TTitlesForm form;
  form.InitTitleTemplates(dbs.reg.get(), dbs.db.lists);
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    FakeWindow window;
    window.text = (rng() % 3 == 0 ? "[Timing]\r" : "") + randomText(rng);
    form.SetEditedWindow(&window);
    form.ParseDescriptor(dbs.db.lists, window.text);
    form.ForgetWindow(&window);
    ASSERT_GT(window.EffectiveFramePeriod(), 0) << round;
    ASSERT_TRUE(std::isfinite(window.TimeOffset())) << round;
  }
  EXPECT_TRUE(testsupport::script().shown.empty());
}

}  // namespace
