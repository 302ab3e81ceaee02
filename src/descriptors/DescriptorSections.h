#pragma once

#include <QStringList>
#include <string>
#include <string_view>

// Whole-text reading and writing of the sections the descriptor editor knows.

// The lines of the first section whose header (for example "[Timing]", exact case) occurs in
// the text: from the first carriage return after the header up to the next "[" or the end. A
// line starts at its first letter, digit, "+", ",", "-", "=" or "_" (anything else before it,
// such as blanks and line feeds, is skipped), runs to the next carriage return and is cut to
// 255 characters. Bytes are taken as Latin-1.
QStringList DescriptorSectionLines(const std::string& text, std::string_view header);

// The text the editor stores: "[Timing]" with the rate (general format, so that 29.97 stays
// 29.97 and 1000 stays 1000), the mark frame and the time at it (general format), then
// "[Camera]" and "[Titles]" with their lines; every line ends with a carriage return. Other
// sections are not kept.
std::string ComposeDescriptorText(double frameRate, int markFrame, double timeAtMarkFrame,
                                  const QStringList& camera, const QStringList& titles);
