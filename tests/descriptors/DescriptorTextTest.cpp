#include <gtest/gtest.h>

#include "descriptors/DescriptorText.h"

namespace {

// Descriptor texts are written with "|" for the carriage return to keep the cases readable.
std::string T(std::string text) {
  for (char& c : text)
    if (c == '|') c = '\r';
  return text;
}

std::string get(const std::string& text, const char* section, const char* key) {
  std::string value = "<none>";
  return GetDescriptorValue(text, section, key, value) ? value : "<none>";
}

TEST(DescriptorEntries, ValueRunsToTheLineEndOrTheTextEnd) {
  const std::string text = T("[Timing]|Frame Rate=250|Mark Frame=10|[Titles]|Description=sled");
  EXPECT_EQ(get(text, "Timing", "Frame Rate"), "250");
  EXPECT_EQ(get(text, "Titles", "Description"), "sled");
  EXPECT_EQ(get(text, "Timing", "Description"), "<none>");  // only inside its own section
  EXPECT_EQ(get(text, "timing", "Frame Rate"), "<none>");   // names are case sensitive
  EXPECT_EQ(get(text, "Camera", "Frame Rate"), "<none>");
  EXPECT_EQ(get(T("[Timing]Frame Rate=1|"), "Timing", "Frame Rate"), "<none>");  // not a line start
}

TEST(DescriptorEntries, KeyThatEndsAnotherKeyMatchesOnlyAtALineStart) {
  std::string text = T("[Timing]|Time at Mark Frame=5|Mark Frame=3|");
  EXPECT_EQ(get(text, "Timing", "Mark Frame"), "3");
  SetDescriptorValue(text, "Timing", "Mark Frame", "0");
  EXPECT_EQ(text, T("[Timing]|Time at Mark Frame=5|Mark Frame=0|"));
}

TEST(DescriptorEntries, BracketInAValueEndsTheSectionForLaterLookups) {
  const std::string text = T("[Titles]|Rig=A[2]|Operator=kim|");
  EXPECT_EQ(get(text, "Titles", "Rig"), "A[2]");
  EXPECT_EQ(get(text, "Titles", "Operator"), "<none>");
}

TEST(DescriptorEntries, FloatReadsOnlyNumbers) {
  const std::string text = T("[Timing]|Frame Rate=29.97|Mark Frame=?|Time at Mark Frame= -1.5 |");
  double v = 0;
  EXPECT_TRUE(GetDescriptorFloat(text, "Timing", "Frame Rate", v));
  EXPECT_DOUBLE_EQ(v, 29.97);
  EXPECT_FALSE(GetDescriptorFloat(text, "Timing", "Mark Frame", v));
  EXPECT_TRUE(GetDescriptorFloat(text, "Timing", "Time at Mark Frame", v));
  EXPECT_DOUBLE_EQ(v, -1.5);
  EXPECT_FALSE(GetDescriptorFloat(text, "Timing", "Missing", v));
}

TEST(DescriptorEntries, SettingInAMissingSectionAppendsIt) {
  std::string text;
  SetDescriptorValue(text, "Timing", "Frame Rate", "1000");
  EXPECT_EQ(text, T("[Timing]|Frame Rate=1000|"));
  text = T("[Titles]|Description=x|");
  SetDescriptorFloat(text, "Timing", "Frame Rate", 29.97);
  EXPECT_EQ(text, T("[Titles]|Description=x|[Timing]|Frame Rate=29.97|"));
}

TEST(DescriptorEntries, NewEntryGoesBeforeTheNextSection) {
  std::string text = T("[Timing]|Frame Rate=1000|[Titles]|Mark Frame=x|");
  SetDescriptorValue(text, "Timing", "Mark Frame", "0");
  EXPECT_EQ(text, T("[Timing]|Frame Rate=1000|Mark Frame=0|[Titles]|Mark Frame=x|"));
}

TEST(DescriptorEntries, LastLineWithoutItsLineEndIsNotGluedToTheNewEntry) {
  // Without the added carriage return the text became "Frame Rate=1000Mark Frame=0".
  std::string text = T("[Timing]|Frame Rate=1000");
  SetDescriptorValue(text, "Timing", "Mark Frame", "0");
  EXPECT_EQ(text, T("[Timing]|Frame Rate=1000|Mark Frame=0|"));
  EXPECT_EQ(get(text, "Timing", "Frame Rate"), "1000");
  text = T("[Titles]|Description=x");
  SetDescriptorValue(text, "Timing", "Mark Frame", "0");
  EXPECT_EQ(get(text, "Titles", "Description"), "x");
  text = "[Timing]";
  SetDescriptorValue(text, "Timing", "Mark Frame", "0");
  EXPECT_EQ(text, T("[Timing]|Mark Frame=0|"));
}

TEST(DescriptorEntries, ReplacingKeepsTheRestOfTheText) {
  std::string text = T("[Timing]|Frame Rate=1000|Mark Frame=7");
  SetDescriptorValue(text, "Timing", "Mark Frame", "0");
  EXPECT_EQ(text, T("[Timing]|Frame Rate=1000|Mark Frame=0"));
  SetDescriptorFloat(text, "Timing", "Frame Rate", 0.000001);
  EXPECT_EQ(get(text, "Timing", "Frame Rate"), "1E-6");
}

}  // namespace
