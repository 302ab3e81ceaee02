#include <gtest/gtest.h>

#include <limits>

#include "JsonWriter.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(JsonWriter, ValuesAreWrittenOnTheirOwnAndNonFiniteNumbersAreNull) {
  const struct {
    TJsonObject object;
    const char* line;
  } cases[] = {
      {TJsonObject().Text("a", QStringLiteral("%1")).Integer("b", 7), R"({"a": "%1", "b": 7})"},
      {TJsonObject().Text("t", QStringLiteral("q\"\\\r")), R"({"t": "q\"\\\u000d"})"},
      {TJsonObject().Number("p", kInf).Number("n", std::nan("")).Number("f", -float(kInf)),
       R"({"p": null, "n": null, "f": null})"},
      {TJsonObject().Number("f", 33.366707f).Number("d", 0.1).Number("s", 0.5, 6),
       R"({"f": 33.366707, "d": 0.1, "s": 0.500000})"},
      {TJsonObject().Bool("y", true).Integer("big", 4294967295),
       R"({"y": true, "big": 4294967295})"},
  };
  for (const auto& k : cases) EXPECT_EQ(k.object.Line(), QString::fromUtf8(k.line));
}

}  // namespace
