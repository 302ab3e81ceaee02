#pragma once

// Saving a stream as a new AVI file through FFmpeg's encoders and AVI muxer, as the AVI
// library's save call does: frames come from any IAVIStream (a file stream or a clip stream's
// own interface) through a frame getter of its own.

#include "platform/avifile/AviFile.h"

// Called on the saving thread with the percent done (0..100); a non-zero answer stops the save,
// which then ends with AVIERR_USERABORT.
using AVISAVECALLBACK = int (*)(int percent);

// Writes streamList[0] to fileName with options[0]: the handler code picks the encoder (see
// AvailableEncoders), quality 0..10000, key frame interval and bytes per second where the
// encoder has them. The stream's rate and scale are kept exactly (also above 1000 frames per
// second); an 8-bit source saved as raw DIB stays 8-bit with its palette; the source file's
// descriptor chunk "ttls" is copied when the source is a file. Only one video stream is saved
// (streams must be 1); handler must be null. A failed or cancelled save removes what it wrote.
// Results: AVIERR_OK, AVIERR_USERABORT, AVIERR_NOCOMPRESSOR for a handler without an encoder
// here, AVIERR_BADPARAM, AVIERR_NODATA for a stream without frames, AVIERR_FILEREAD,
// AVIERR_FILEWRITE, AVIERR_FILEOPEN, AVIERR_COMPRESSOR.
HRESULT AVISaveVA(const char* fileName, const void* handler, AVISAVECALLBACK callback, int streams,
                  PAVISTREAM* streamList, AVICOMPRESSOPTIONS** options);
