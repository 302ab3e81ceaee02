// lumetra-tool decode CLIP [--order forward|reverse|random] [--count N]: fetches frames
// through the clip stream's frame getter, as the display window does, and prints one JSON
// object: frames fetched, seconds spent in the fetches, and the CRC-32 of all pixel bytes
// (rows as the DIB holds them, padding included) in fetch order.
#include <QElapsedTimer>
#include <random>
#include <vector>

#include "Commands.h"
#include "Crc32.h"
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

std::vector<int> FetchOrder(const DecodeRequest& r, int frames) {
  std::vector<int> order;
  if (frames < 1) return order;
  if (r.order == QLatin1String("random")) {
    std::mt19937 rng(kSeed);
    const int n = r.count < 0 ? frames : r.count;
    for (int i = 0; i < n; ++i) order.push_back(int(rng() % std::uint32_t(frames)));
    return order;
  }
  const int n = r.count < 0 ? frames : std::min(r.count, frames);
  const bool reverse = r.order == QLatin1String("reverse");
  for (int i = 0; i < n; ++i) order.push_back(reverse ? frames - 1 - i : i);
  return order;
}

}  // namespace

int RunDecode(const QStringList& args, std::FILE* out) {
  const DecodeRequest request = ParseRequest(args);
  TToolClip clip(request.clip);
  const std::vector<int> order = FetchOrder(request, clip.Frames());
  TCrc32 crc;
  qint64 nanoseconds = 0;
  QElapsedTimer timer;
  for (int frame : order) {
    int size = 0;
    timer.start();
    const BITMAPINFOHEADER* bitmap = clip.Frame(frame, size);
    nanoseconds += timer.nsecsElapsed();
    crc.Add(DibPixels(bitmap), std::size_t(DibImageSize(*bitmap)));
  }
  Print(out, QStringLiteral("{\"frames\": %1, \"seconds\": %2, \"crc32\": %3}")
                 .arg(order.size())
                 .arg(double(nanoseconds) / 1e9, 0, 'f', 6)
                 .arg(crc.Value()));
  return 0;
}
