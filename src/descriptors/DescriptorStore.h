#pragma once

#include <QString>
#include <string>

#include "clip/RIFF.h"
#include "platform/avifile/AviFile.h"

class TAVISTREAM;

// Stores a clip's descriptor text into its file as the "ttls" chunk of 2048 data bytes (the
// text, then zeros), so that the next open reads the whole text back (see TRIFF::WriteChunk for
// where the chunk goes). The stream first releases the window's frame reader (which becomes
// null) and closes its file, and its FileName becomes fileName; the caller reopens the stream
// afterwards. True when the chunk was written: only then may the caller lower its
// descriptor-changed flag. On false the file is as it was and why, when given, tells the
// reason (TooLong: the text passes 2048 bytes and is not stored cut); the user is told
// "Descriptor Write Failed".
bool StoreDescriptor(TAVISTREAM& stream, PGETFRAME& frameReader, const QString& fileName,
                     const std::string& text, TWriteFailure* why = nullptr);
