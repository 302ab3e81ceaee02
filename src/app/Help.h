#pragma once

#include <QString>

// The user guide "Lumtool" lives beside the program: an index page and topic pages below html/.
namespace help {

QString HelpFolder(const QString& programDirectory);
// The table of contents.
bool ShowContents(const QString& programDirectory);
// A topic such as "::/html/vmak75m8.htm", addressed as in the help file.
bool ShowTopic(const QString& programDirectory, const QString& topic);

}  // namespace help
