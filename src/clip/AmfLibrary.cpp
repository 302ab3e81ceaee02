#include "clip/AmfLibrary.h"

#include <QLibrary>
#include <memory>
#include <mutex>

namespace {

struct Loaded {
  std::mutex lock;
  QString file = kAmfLibraryName;
  std::unique_ptr<QLibrary> library;
  TAmfEntries entries;
};

Loaded& State() {
  static Loaded state;
  return state;
}

}  // namespace

bool LoadAmfLibrary(TAmfEntries& entries) {
  Loaded& s = State();
  std::lock_guard<std::mutex> lock(s.lock);
  if (!s.entries.OpenAMF) {
    auto library = std::make_unique<QLibrary>(s.file);
    if (!library->load()) return false;
    TAmfEntries found;
    found.OpenAMF = reinterpret_cast<TAmfEntries::OpenFn>(library->resolve("OpenAMF"));
    found.WriteFrameAMF = reinterpret_cast<TAmfEntries::WriteFn>(library->resolve("WriteFrameAMF"));
    found.CloseAMF = reinterpret_cast<TAmfEntries::CloseFn>(library->resolve("CloseAMF"));
    if (!found.OpenAMF || !found.WriteFrameAMF || !found.CloseAMF) {
      library->unload();
      return false;
    }
    s.library = std::move(library);
    s.entries = found;
  }
  entries = s.entries;
  return true;
}

void SetAmfLibraryFileForTesting(const QString& file) {
  Loaded& s = State();
  std::lock_guard<std::mutex> lock(s.lock);
  s.entries = TAmfEntries{};
  if (s.library) s.library->unload();
  s.library.reset();
  s.file = file;
}
