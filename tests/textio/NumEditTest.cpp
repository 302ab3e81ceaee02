#include <gtest/gtest.h>

#include "TestSupport.h"
#include "textio/NumEdit.h"

namespace {

// Counts the field's change notifications.
struct ChangeCounter {
  explicit ChangeCounter(TEditNumeric& f) {
    QObject::connect(&f, &TEditNumeric::Change, [this] { ++n; });
  }
  int n = 0;
};

class NumEditTest : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::resetStore(); }
};

TEST_F(NumEditTest, BlankValueShowsAsAnEmptyFieldAndFloatsWriteWithTheirFormat) {
  TEditNumeric field;
  field.SetIntegerValue(0);
  EXPECT_EQ(field.text(), "");
  EXPECT_EQ(field.IntegerValue(), 0);
  field.SetBlankValue(10000000);
  EXPECT_EQ(field.IntegerValue(), 10000000);
  field.SetIntegerValue(0);
  EXPECT_EQ(field.text(), "0");
  field.SetFloatingPoint(true);
  field.SetFloatValue(10000000);
  EXPECT_EQ(field.text(), "");
  EXPECT_DOUBLE_EQ(field.FloatValue(), 10000000);
  field.SetPrecision(8);
  field.SetFloatValue(1234.5678);
  EXPECT_EQ(field.text(), "1234.5678");
  field.SetFormating(TFloatFormat::Fixed);
  field.SetPrecision(7);
  field.SetDigits(2);
  field.SetFloatValue(-3.14159);
  EXPECT_EQ(field.text(), "-3.14");
  EXPECT_DOUBLE_EQ(field.FloatValue(), -3.14);
  EXPECT_EQ(field.IntegerValue(), -3);
}

TEST_F(NumEditTest, ALetterInAnIntegerFieldIsRefusedWithTheConversionError) {
  TEditNumeric field;
  field.setText("12");
  ChangeCounter changes(field);
  field.setText("12a");
  EXPECT_EQ(field.text(), "12");
  EXPECT_EQ(field.LastText(), "12");
  EXPECT_EQ(changes.n, 0);
  ASSERT_EQ(testsupport::script().shown.size(), 1u);
  EXPECT_EQ(testsupport::script().shown[0].text, "'12a' is not a valid integer value");
  EXPECT_EQ(testsupport::script().shown[0].icon, dialogs::Icon::Error);
}

TEST_F(NumEditTest, MinusAndEmptyAreAcceptedWhileTyping) {
  TEditNumeric field;
  field.SetFloatingPoint(true);
  field.SetBlankValue(7);
  ChangeCounter changes(field);
  field.setText("-");
  EXPECT_DOUBLE_EQ(field.FloatValue(), 0);
  field.setText("-2.5");
  field.setText(QString());
  EXPECT_DOUBLE_EQ(field.FloatValue(), 7);
  EXPECT_EQ(changes.n, 3);
  EXPECT_TRUE(testsupport::script().shown.empty());
  // An integer read of a floating field rounds halves to even.
  field.setText("2.5");
  EXPECT_EQ(field.IntegerValue(), 2);
}

// Typing over the whole text with the same digits sends that text again; only a text that
// differs from the last accepted one is a change.
TEST_F(NumEditTest, RetypingTheAcceptedTextRaisesNoChange) {
  TEditNumeric field;
  field.setText("5");
  ChangeCounter changes(field);
  int sent = 0;
  QObject::connect(&field, &QLineEdit::textChanged, [&] { ++sent; });
  field.selectAll();
  field.insert("5");
  EXPECT_EQ(sent, 1);
  EXPECT_EQ(changes.n, 0);
  field.insert("6");
  EXPECT_EQ(changes.n, 1);
}

}  // namespace
