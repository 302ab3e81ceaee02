#pragma once
// Signal files as the selection dialog adds them, without a window: the information dialog
// accepted as guessed, every channel warning answered "Yes" and repeated on stderr.
#include <QString>
#include <memory>
#include <vector>

#include "signals/SigClass.h"

using TSources = std::vector<std::unique_ptr<TSigClass>>;

// Appends the sources of one DIAdem header or ASCII file; raises the reader's message, or
// "Unknown type of signal data file" / "TDM not implemented" for other names.
void AddSignalFile(const QString& fileName, TSources& sources);
