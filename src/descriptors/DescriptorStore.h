#pragma once

#include <QString>
#include <string>

#include "platform/avifile/AviFile.h"

class TAVISTREAM;

// Stores a clip's descriptor text into its file as the "ttls" chunk of 2048 data bytes (the
// text's first 2048 bytes, then zeros), in place or appended. The stream first releases the
// window's frame reader (which becomes null) and closes its file, and its FileName becomes
// fileName; the caller reopens the stream afterwards. True when the chunk was written: only
// then may the caller lower its descriptor-changed flag. A failure is not reported here.
bool StoreDescriptor(TAVISTREAM& stream, PGETFRAME& frameReader, const QString& fileName,
                     const std::string& text);
