// A stand-in for the AMF helper: records its calls as text lines in the target file. Built
// without CloseAMF (LACK_CLOSE) it is a helper missing one of its entries.
#include <cstdio>

extern "C" {

int OpenAMF(void** handle, const char* path, const char* name, int quality, int frames, int width,
            int height) {
  std::FILE* f = std::fopen(path, "w");
  if (!f) return 0;
  fprintf(f, "open %s %d %d %dx%d\n", name, quality, frames, width, height);
  *handle = f;
  return 1;
}

int WriteFrameAMF(void* handle, int frame, const void* dib, int size) {
  (void)dib;
  return fprintf(static_cast<std::FILE*>(handle), "frame %d %d\n", frame, size) > 0;
}

#ifndef LACK_CLOSE
void CloseAMF(void** handle, int incomplete) {
  fprintf(static_cast<std::FILE*>(*handle), "close %d\n", incomplete);
  fclose(static_cast<std::FILE*>(*handle));
  *handle = nullptr;
}
#endif

}  // extern "C"
