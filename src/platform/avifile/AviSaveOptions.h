#pragma once

// The compression options dialog of the AVI library: lists the AVI-capable encoders FFmpeg
// offers here by their four-character codes, with quality, key frame interval and data rate
// where the encoder has them. Tests answer it through SetSaveOptionsAnswererForTesting
// instead of a modal dialog.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/avifile/AviFile.h"

class QWidget;

// AVISaveOptions flags.
constexpr unsigned ICMF_CHOOSE_KEYFRAME = 0x0001;
constexpr unsigned ICMF_CHOOSE_DATARATE = 0x0002;
constexpr unsigned ICMF_CHOOSE_PREVIEW = 0x0004;

// Shows the dialog for streamList[0] with options[0] preset (a handler without an encoder here,
// such as "iv32", preselects MJPEG). True when the user confirmed: options[0] then holds the
// choice (flags AVICOMPRESSF_VALID, plus AVICOMPRESSF_KEYFRAMES / AVICOMPRESSF_DATARATE when
// chosen); false when cancelled, options untouched. Only one stream is supported.
bool AVISaveOptions(QWidget* owner, unsigned flags, int streams, PAVISTREAM* streamList,
                    AVICOMPRESSOPTIONS** options);
// Frees the format and parameter blocks of each options record (this library allocates none,
// so it clears the pointers); AVIERR_OK.
HRESULT AVISaveOptionsFree(int streams, AVICOMPRESSOPTIONS** options);

namespace avifile {

// One encoder the dialog offers.
struct EncoderChoice {
  FOURCC handler;    // as listed: "DIB ", "MJPG", "FFV1", "HFYU", "ULRG", "FMP4", "H264", ...
  std::string name;  // for people: "Uncompressed (DIB)", "Motion JPEG", ...
  bool quality;      // has a quality setting
  bool keyFrames;    // has a key frame interval
  bool dataRate;     // has a data rate setting
  bool lossless;     // decodes to the pixels given
};

// The encoders usable here, in the dialog's order; raw DIB always.
const std::vector<EncoderChoice>& AvailableEncoders();
// The listed handler code of a text as a user types it ("DIB", "dib ", "mjpg", "H264"):
// compared without regard to case, a short text padded with blanks; none when no available
// encoder has that code.
std::optional<FOURCC> EncoderHandlerFromText(std::string_view text);
// The handler the dialog preselects for `handler`: itself when an encoder has it, else MJPEG.
FOURCC PreselectedHandler(FOURCC handler);

// What the dialog is asked: flags, the encoders and the options it starts from (handler
// already preselected).
struct SaveOptionsRequest {
  unsigned flags = 0;
  AVICOMPRESSOPTIONS preset;
};
// Answers in place of the dialog: fills `chosen` (starting as the preset) and returns true
// for OK, false for Cancel. An empty function restores the real dialog.
using SaveOptionsAnswerer =
    std::function<bool(const SaveOptionsRequest& request, AVICOMPRESSOPTIONS& chosen)>;
void SetSaveOptionsAnswererForTesting(SaveOptionsAnswerer answerer);

}  // namespace avifile
