#include <gtest/gtest.h>

#include <algorithm>

#include "descriptors/DescriptorText.h"

namespace {

// "|" stands for the carriage return that ends every line.
std::string T(std::string text) {
  std::replace(text.begin(), text.end(), '|', '\r');
  return text;
}

TEST(DescriptorEntries, ValueIsFoundOnlyAtALineStartInsideItsSection) {
  const char* const timing = "[Timing]|Frame Rate=250|Mark Frame=10|[Titles]|Description=sled";
  const struct {
    const char *text, *section, *key, *value;
  } cases[] = {
      {timing, "Timing", "Frame Rate", "250"},
      {timing, "Titles", "Description", "sled"},  // up to the text's end
      {timing, "Timing", "Description", "<none>"},
      {timing, "timing", "Frame Rate", "<none>"},  // names are case sensitive
      {"[Timing]Frame Rate=1|", "Timing", "Frame Rate", "<none>"},
      {"[Timing]|Time at Mark Frame=5|Mark Frame=3|", "Timing", "Mark Frame", "3"},
      {"[Titles]|Rig=A[2]|Operator=kim|", "Titles", "Rig", "A[2]"},
      {"[Titles]|Rig=A[2]|Operator=kim|", "Titles", "Operator", "<none>"},  // "[" ends it
  };
  for (const auto& c : cases) {
    std::string value = "<none>";
    GetDescriptorValue(T(c.text), c.section, c.key, value);
    EXPECT_EQ(value, c.value) << c.text << " " << c.key;
  }
  double v = 0;
  EXPECT_TRUE(GetDescriptorFloat(T("[Timing]|Frame Rate= -1.5 |"), "Timing", "Frame Rate", v));
  EXPECT_DOUBLE_EQ(v, -1.5);
  EXPECT_FALSE(GetDescriptorFloat(T("[Timing]|Frame Rate=?|"), "Timing", "Frame Rate", v));
}

// A last line without its line end once took the new entry into its value.
TEST(DescriptorEntries, SettingReplacesInsertsOrAppendsAndEndsTheLineBeforeIt) {
  const struct {
    const char *before, *after;
  } cases[] = {
      {"", "[Timing]|Mark Frame=0|"},
      {"[Timing]", "[Timing]|Mark Frame=0|"},
      {"[Titles]|Description=x|", "[Titles]|Description=x|[Timing]|Mark Frame=0|"},
      {"[Titles]|Description=x", "[Titles]|Description=x|[Timing]|Mark Frame=0|"},
      {"[Timing]|Frame Rate=1000", "[Timing]|Frame Rate=1000|Mark Frame=0|"},
      {"[Timing]|Frame Rate=1000|[Titles]|Mark Frame=x|",
       "[Timing]|Frame Rate=1000|Mark Frame=0|[Titles]|Mark Frame=x|"},
      {"[Timing]|Time at Mark Frame=5|Mark Frame=3|",
       "[Timing]|Time at Mark Frame=5|Mark Frame=0|"},
      {"[Timing]|Frame Rate=1000|Mark Frame=7", "[Timing]|Frame Rate=1000|Mark Frame=0"},
  };
  for (const auto& c : cases) {
    std::string text = T(c.before);
    SetDescriptorValue(text, "Timing", "Mark Frame", "0");
    EXPECT_EQ(text, T(c.after)) << c.before;
  }
}

}  // namespace
