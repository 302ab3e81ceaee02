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

// The sections of the text other than "[Timing]", "[Camera]" and "[Titles]" (such as Quick
// Measure's "[Scaling]"), verbatim and in order, each ending with a carriage return. A section
// header counts here only at the start of the text or of a line.
std::string OtherSections(const std::string& text);

// The text the editor stores: "[Timing]" with the rate (general format, so that 29.97 stays
// 29.97 and 1000 stays 1000), the mark frame and the time at it (general format), then
// "[Camera]" and "[Titles]" with their lines, then `kept` (see OtherSections); every line ends
// with a carriage return.
std::string ComposeDescriptorText(double frameRate, int markFrame, double timeAtMarkFrame,
                                  const QStringList& camera, const QStringList& titles,
                                  const std::string& kept = {});
