#include "platform/avifile/AviSaveOptions.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <cctype>

#include "platform/avifile/AviEncoder.h"

namespace avifile {

namespace {

struct Candidate {
  FOURCC handler;
  AviCodec codec;
  const char* name;
  bool quality, keyFrames, dataRate, lossless;
};

// The dialog's list, in its order, before asking FFmpeg which encoders exist here.
constexpr Candidate kCandidates[] = {
    {MakeFourCC('D', 'I', 'B', ' '), AviCodec::Dib, "Uncompressed (DIB)", false, false, false,
     true},
    {MakeFourCC('M', 'J', 'P', 'G'), AviCodec::Mjpeg, "Motion JPEG", true, false, false, false},
    {MakeFourCC('F', 'F', 'V', '1'), AviCodec::Ffv1, "FFV1 (lossless)", false, true, false, true},
    {MakeFourCC('H', 'F', 'Y', 'U'), AviCodec::HuffYuv, "HuffYUV (lossless)", false, false, false,
     true},
    {MakeFourCC('U', 'L', 'R', 'G'), AviCodec::UtVideo, "UtVideo RGB (lossless)", false, false,
     false, true},
    {MakeFourCC('F', 'M', 'P', '4'), AviCodec::Mpeg4, "MPEG-4 Part 2", true, true, true, false},
    {MakeFourCC('H', '2', '6', '4'), AviCodec::H264, "H.264", true, true, true, false},
    {MakeFourCC('C', 'R', 'A', 'M'), AviCodec::MsVideo1, "MS Video 1", false, true, false, false},
    {MakeFourCC('c', 'v', 'i', 'd'), AviCodec::Cinepak, "Cinepak", true, true, false, false},
};

bool EncoderExists(AviCodec codec) {
  return codec == AviCodec::Dib || AviEncoder::Open(codec, 64, 64, 25, 1, 0, 10000) != nullptr;
}

FOURCC UpperCase(FOURCC code) {
  FOURCC upper = 0;
  for (int i = 0; i < 4; ++i) upper |= FOURCC(std::toupper(int(BYTE(code >> (8 * i))))) << (8 * i);
  return upper;
}

SaveOptionsAnswerer& Answerer() {
  static SaveOptionsAnswerer answerer;
  return answerer;
}

}  // namespace

const std::vector<EncoderChoice>& AvailableEncoders() {
  static const std::vector<EncoderChoice> encoders = [] {
    QuietFfmpeg();
    std::vector<EncoderChoice> list;
    for (const Candidate& c : kCandidates)
      if (EncoderExists(c.codec))
        list.push_back({c.handler, c.name, c.quality, c.keyFrames, c.dataRate, c.lossless});
    return list;
  }();
  return encoders;
}

std::optional<FOURCC> EncoderHandlerFromText(std::string_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  FOURCC code = 0;
  for (std::size_t i = 0; i < 4; ++i)
    code |= FOURCC(BYTE(i < text.size() ? text[i] : ' ')) << (8 * i);
  for (const EncoderChoice& e : AvailableEncoders())
    if (UpperCase(e.handler) == UpperCase(code)) return e.handler;
  return std::nullopt;
}

FOURCC PreselectedHandler(FOURCC handler) {
  const std::optional<AviCodec> codec = AviCodecFromHandler(handler);
  for (const EncoderChoice& e : AvailableEncoders())
    if (codec && AviCodecFromHandler(e.handler) == codec) return e.handler;
  return MakeFourCC('M', 'J', 'P', 'G');
}

void SetSaveOptionsAnswererForTesting(SaveOptionsAnswerer answerer) {
  Answerer() = std::move(answerer);
}

}  // namespace avifile

namespace {

using avifile::EncoderChoice;

// The modal dialog: encoder, quality (in percent of 10000), key frame interval, data rate.
bool RunDialog(QWidget* owner, const avifile::SaveOptionsRequest& request,
               AVICOMPRESSOPTIONS& chosen) {
  QDialog dialog(owner);
  dialog.setObjectName(QStringLiteral("CompressionOptions"));
  dialog.setWindowTitle(QStringLiteral("Video Compression"));
  auto* form = new QFormLayout(&dialog);
  auto* encoder = new QComboBox(&dialog);
  encoder->setObjectName(QStringLiteral("EncoderBox"));
  const auto& encoders = avifile::AvailableEncoders();
  for (const EncoderChoice& e : encoders) {
    const char code[5] = {char(e.handler), char(e.handler >> 8), char(e.handler >> 16),
                          char(e.handler >> 24), 0};
    encoder->addItem(
        QStringLiteral("%1  %2").arg(QLatin1String(code), QString::fromStdString(e.name)));
    if (e.handler == request.preset.fccHandler) encoder->setCurrentIndex(encoder->count() - 1);
  }
  auto* quality = new QSpinBox(&dialog);
  quality->setObjectName(QStringLiteral("QualityEdit"));
  quality->setRange(0, 100);
  quality->setValue(int(std::min<DWORD>(request.preset.dwQuality, 10000) / 100));
  auto* keyFrames = new QSpinBox(&dialog);
  keyFrames->setObjectName(QStringLiteral("KeyFrameEdit"));
  keyFrames->setRange(0, 100000);
  keyFrames->setValue(int(std::min<DWORD>(request.preset.dwKeyFrameEvery, 100000)));
  auto* dataRate = new QSpinBox(&dialog);
  dataRate->setObjectName(QStringLiteral("DataRateEdit"));
  dataRate->setRange(0, 2000000);
  dataRate->setSuffix(QStringLiteral(" KB/s"));
  dataRate->setValue(int(std::min<DWORD>(request.preset.dwBytesPerSecond / 1024, 2000000)));
  form->addRow(QStringLiteral("Compressor:"), encoder);
  form->addRow(QStringLiteral("Quality:"), quality);
  if (request.flags & ICMF_CHOOSE_KEYFRAME)
    form->addRow(QStringLiteral("Key frame every:"), keyFrames);
  if (request.flags & ICMF_CHOOSE_DATARATE) form->addRow(QStringLiteral("Data rate:"), dataRate);
  auto update = [&] {
    const EncoderChoice& e = encoders[std::size_t(std::max(encoder->currentIndex(), 0))];
    quality->setEnabled(e.quality);
    keyFrames->setEnabled(e.keyFrames);
    dataRate->setEnabled(e.dataRate);
  };
  QObject::connect(encoder, &QComboBox::currentIndexChanged, &dialog, update);
  update();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted || encoder->currentIndex() < 0) return false;
  chosen.fccHandler = encoders[std::size_t(encoder->currentIndex())].handler;
  chosen.dwQuality = DWORD(quality->value()) * 100;
  chosen.dwKeyFrameEvery = DWORD(keyFrames->value());
  chosen.dwBytesPerSecond = DWORD(dataRate->value()) * 1024;
  return true;
}

}  // namespace

bool AVISaveOptions(QWidget* owner, unsigned flags, int streams, PAVISTREAM* streamList,
                    AVICOMPRESSOPTIONS** options) {
  if (streams != 1 || !streamList || !options || !options[0]) return false;
  avifile::SaveOptionsRequest request;
  request.flags = flags;
  request.preset = *options[0];
  request.preset.fccType = streamtypeVIDEO;
  request.preset.fccHandler = avifile::PreselectedHandler(options[0]->fccHandler);
  AVICOMPRESSOPTIONS chosen = request.preset;
  const avifile::SaveOptionsAnswerer& answerer = avifile::Answerer();
  if (!(answerer ? answerer(request, chosen) : RunDialog(owner, request, chosen))) return false;
  chosen.dwFlags = AVICOMPRESSF_VALID;
  if (chosen.dwKeyFrameEvery > 0) chosen.dwFlags |= AVICOMPRESSF_KEYFRAMES;
  if (chosen.dwBytesPerSecond > 0) chosen.dwFlags |= AVICOMPRESSF_DATARATE;
  *options[0] = chosen;
  return true;
}

HRESULT AVISaveOptionsFree(int streams, AVICOMPRESSOPTIONS** options) {
  for (int i = 0; options && i < streams; ++i) {
    if (!options[i]) continue;
    options[i]->lpFormat = nullptr;
    options[i]->cbFormat = 0;
    options[i]->lpParms = nullptr;
    options[i]->cbParms = 0;
  }
  return AVIERR_OK;
}
