#pragma once

#include <string>
#include <string_view>

// The descriptor text of a clip: 8-bit text in sections "[name]" of "key=value" lines, each
// line ended by a carriage return alone (a line feed is an ordinary character). Section and
// key names are case sensitive here. A key is found only at the start of a line inside its
// section, and a section ends at the next "[" (even one inside a value).

constexpr char kCR = '\r';

// The raw value of the entry; false when the section or the entry is missing.
bool GetDescriptorValue(const std::string& text, std::string_view section, std::string_view key,
                        std::string& value);
// As above, read as a number with "."; false also when the value is not a number.
bool GetDescriptorFloat(const std::string& text, std::string_view section, std::string_view key,
                        double& value);
// Replaces the entry's value, or inserts the entry at the end of its section, or appends the
// section with the entry to the text.
void SetDescriptorValue(std::string& text, std::string_view section, std::string_view key,
                        std::string_view value);
// The number in the general format with up to 15 significant digits ("1000", "29.97").
void SetDescriptorFloat(std::string& text, std::string_view section, std::string_view key,
                        double value);
