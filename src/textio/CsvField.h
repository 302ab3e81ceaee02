#pragma once

#include <QString>

// Appends a comma-separated field as RFC 4180 wants it: wrapped in double quotes, inner quotes
// doubled, when it holds a comma, a double quote, CR or LF (so "Knee, left" stays one field);
// else as is.
void AppendCsvField(QString& out, const QString& text);
