#pragma once

// The AMF helper library, loaded at run time on the first AMF scatter and kept loaded.

#include <QString>

// The helper's entries. handle: the helper's state, set by OpenAMF and passed back.
struct TAmfEntries {
  // (handle, target path, name, quality 0..99, frames, width, height): non-zero when open.
  using OpenFn = int (*)(void** handle, const char* path, const char* name, int quality, int frames,
                         int width, int height);
  // (handle, frame number, packed DIB, its size in bytes): non-zero when written.
  using WriteFn = int (*)(void* handle, int frame, const void* dib, int size);
  // (handle, incomplete: fewer frames than announced were written).
  using CloseFn = void (*)(void** handle, int incomplete);
  OpenFn OpenAMF = nullptr;
  WriteFn WriteFrameAMF = nullptr;
  CloseFn CloseAMF = nullptr;
};

// The library's name as it is looked for on the library path.
inline const QString kAmfLibraryName = QStringLiteral("libScatterAMF.so");
// Loads the library when its entries are not yet known; false (nothing kept) when the library
// or one of the three entries is missing, so that a later call tries again. Any thread.
bool LoadAmfLibrary(TAmfEntries& entries);
// Tests point the loader at another file; it forgets what it had loaded.
void SetAmfLibraryFileForTesting(const QString& file);
