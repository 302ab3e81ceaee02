// lumetra-tool decode CLIP [--order forward|reverse|random] [--count N]: fetches frames
// through the clip stream's frame getter, as the display window does, and prints one JSON
// object: frames fetched, seconds spent in the fetches, and the CRC-32 of all pixel bytes
// (rows as the DIB holds them, padding included) in fetch order.
#include <QElapsedTimer>
#include <algorithm>
#include <random>

#include "Commands.h"
#include "Crc32.h"
#include "JsonWriter.h"
#include "ToolSupport.h"
#include "clip/Dib.h"
#include "platform/Exception.h"

namespace {

constexpr const char* kUsage = "CLIP [--order forward|reverse|random] [--count N]";
// Random orders are the same on every run.
constexpr std::uint32_t kSeed = 20240521;

struct DecodeRequest {
  QString clip;
  QString order = QStringLiteral("forward");
  int count = -1;  // every frame
};

DecodeRequest ParseRequest(const QStringList& args) {
  DecodeRequest r;
  for (int i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--order") && i + 1 < args.size()) {
      r.order = args[++i];
      if (r.order != QLatin1String("forward") && r.order != QLatin1String("reverse") &&
          r.order != QLatin1String("random"))
        throw Exception(QStringLiteral("unknown order \"%1\"").arg(r.order));
    } else if (args[i] == QLatin1String("--count") && i + 1 < args.size()) {
      r.count = ParseCount(args[++i], "--count", 0, 1 << 30);
    } else if (r.clip.isEmpty() && !args[i].startsWith(u'-')) {
      r.clip = args[i];
    } else {
      throw Exception(QStringLiteral("expected arguments: ") + QLatin1String(kUsage));
    }
  }
  if (r.clip.isEmpty()) throw Exception(QStringLiteral("expected arguments: ") + kUsage);
  return r;
}

// Frame numbers in fetch order, made one at a time: a list of them all would take gigabytes
// before the first fetch for a count of 2^30, or for a clip that claims 2^31 frames.
class TFetchOrder {
 public:
  TFetchOrder(const DecodeRequest& r, int frames)
      : frames_(std::max(frames, 0)),
        reverse_(r.order == QLatin1String("reverse")),
        random_(r.order == QLatin1String("random")),
        rng_(kSeed) {
    // Forward and reverse visit each frame once; random draws, so any count can be had.
    const int all = r.count < 0 ? frames_ : r.count;
    size_ = frames_ == 0 ? 0 : random_ ? all : std::min(all, frames_);
  }
  int Size() const { return size_; }
  int Frame(int i) {
    if (random_) return int(rng_() % std::uint32_t(frames_));
    return reverse_ ? frames_ - 1 - i : i;
  }

 private:
  int frames_;
  bool reverse_, random_;
  std::mt19937 rng_;
  int size_ = 0;
};

}  // namespace

int RunDecode(const QStringList& args, std::FILE* out) {
  const DecodeRequest request = ParseRequest(args);
  TToolClip clip(request.clip);
  const int frames = clip.Frames();
  TFetchOrder order(request, frames);
  TCrc32 crc;
  qint64 nanoseconds = 0;
  QElapsedTimer timer;
  for (int i = 0; i < order.Size(); ++i) {
    const int frame = order.Frame(i);
    int size = 0;
    timer.start();
    const BITMAPINFOHEADER* bitmap = clip.Frame(frame, size);
    nanoseconds += timer.nsecsElapsed();
    crc.Add(DibPixels(bitmap), std::size_t(DibImageSize(*bitmap)));
  }
  Print(out, TJsonObject()
                 .Integer("frames", order.Size())
                 .Number("seconds", double(nanoseconds) / 1e9, 6)
                 .Integer("crc32", crc.Value())
                 .Line());
  return 0;
}
