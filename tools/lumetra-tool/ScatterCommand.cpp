// lumetra-tool scatter CLIP DIR --type bmp|gif|jpeg|tiff: every frame as a numbered image file
// (F0000000.bmp, ...) in DIR, created with missing parents, through the clip stream's scatter
// thread. Also the save session both saving commands share.
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <cstdio>

#include "Commands.h"
#include "JsonWriter.h"
#include "ToolSupport.h"
#include "clip/SaveJob.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"

namespace {

constexpr const char* kUsage = "CLIP DIR --type bmp|gif|jpeg|tiff";

// Messages go to stderr; there is nobody to answer a file dialog.
class TStderrDialogs : public dialogs::Backend {
 public:
  dialogs::Answer message(QWidget*, const dialogs::Message& m) override {
    std::fprintf(stderr, "\n%s\n", m.text.toUtf8().constData());
    return dialogs::Answer::OK;
  }
  dialogs::FileAnswer openFiles(QWidget*, const dialogs::FileRequest&, bool) override { return {}; }
  dialogs::FileAnswer saveFile(QWidget*, const dialogs::FileRequest&) override { return {}; }
  QString directory(QWidget*, const QString&, const QString&) override { return {}; }
  std::optional<QColor> color(QWidget*, const QColor&) override { return std::nullopt; }
};

void DrawBar(int percent) {
  constexpr int kWidth = 40;
  const int filled = std::clamp(percent, 0, 100) * kWidth / 100;
  std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(std::size_t(filled), '#').c_str(),
               std::string(std::size_t(kWidth - filled), '-').c_str(), percent);
  std::fflush(stderr);
}

}  // namespace

TToolSaveSession::TToolSaveSession() {
  if (!QCoreApplication::instance()) {
    static int argc = 1;
    static char name[] = "lumetra-tool";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QCoreApplication>(argc, argv);
  }
  dialogs::install(std::make_unique<TStderrDialogs>());
}

TToolSaveSession::~TToolSaveSession() = default;

HRESULT TToolSaveSession::Run(TAVISTREAM& stream,
                              const std::function<std::unique_ptr<TSaveJob>()>& start) {
  std::optional<HRESULT> result;
  QEventLoop loop;
  int shown = -1;
  // A report of -1 is a frame source that gave up: a cancel, as the window takes it.
  stream.OnProgress = [&](int percent) {
    if (percent < 0) return int(AVIERR_USERABORT);
    if (percent != shown) DrawBar(shown = percent);
    return 0;
  };
  stream.OnDone = [&](TAVISTREAM*, HRESULT code) {
    result = code;
    loop.quit();
  };
  std::unique_ptr<TSaveJob> job = start();
  if (!result) loop.exec();
  if (shown >= 0) std::fputc('\n', stderr);
  job.reset();
  stream.OnProgress = nullptr;
  stream.OnDone = nullptr;
  return result.value_or(AVIERR_ERROR);
}

int RunScatter(const QStringList& args, std::FILE* out) {
  ExpectArguments(args, 4, kUsage);
  if (args[2] != QStringLiteral("--type")) ExpectArguments({}, 4, kUsage);
  const QStringList types = {QStringLiteral("bmp"), QStringLiteral("gif"), QStringLiteral("jpeg"),
                             QStringLiteral("tiff")};
  const qsizetype type = types.indexOf(args[3].toLower());
  if (type < 0) throw Exception(QStringLiteral("Unknown image type \"") + args[3] + u'"');
  const int typeIndex = int(type) + 3;

  TToolSaveSession session;
  TToolClip clip(args[0]);
  TAVISTREAM& stream = clip.Stream();
  const QString dir = QDir::cleanPath(args[1]);
  const HRESULT result = session.Run(stream, [&] {
    stream.Save(nullptr, typeIndex, dir);
    return std::unique_ptr<TSaveJob>();
  });
  if (result != AVIERR_OK)
    throw Exception(QStringLiteral("Error Scattering files to %1\nError Code: %2")
                        .arg(dir)
                        .arg(quint32(result), 8, 16, QChar(u'0')));
  Print(out, TJsonObject()
                 .Text("directory", dir)
                 .Text("pattern", stream.TypeNamePattern(typeIndex))
                 .Integer("frames", clip.Frames())
                 .Line());
  return 0;
}
