#include "platform/avifile/VideoSource.h"

#include <algorithm>

#include "platform/avifile/AviFile.h"
#include "platform/avifile/PictureSniff.h"

namespace avifile {

std::unique_ptr<VideoSource> VideoSource::Open(const StreamPlace& place) {
  QuietFfmpeg();
  std::unique_ptr<VideoSource> source(new VideoSource);
  source->path_ = place.path;
  source->stream_ = place.ffmpegIndex;
  source->origin_ = place.origin;
  if (!source->openInput(place.path) || !source->openDecoder()) return nullptr;
  source->loadIndex();
  return source;
}

VideoSource::~VideoSource() = default;

bool VideoSource::openInput(const std::string& path) {
  input_.reset();
  AVFormatContext* context = nullptr;
  if (avformat_open_input(&context, path.c_str(), av_find_input_format("avi"), nullptr) < 0)
    return false;
  input_.reset(context);
  if (stream_ < 0 || unsigned(stream_) >= context->nb_streams) return false;
  for (unsigned i = 0; i < context->nb_streams; ++i)
    context->streams[i]->discard = int(i) == stream_ ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
  return context->streams[stream_]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
}

bool VideoSource::openDecoder() {
  const AVStream* stream = input_->streams[stream_];
  const AVCodecParameters* parameters = stream->codecpar;
  codec_ = parameters->codec_id;
  if (codec_ == AV_CODEC_ID_MPEG4) {
    // DivX-style packed B-frames put two pictures in one chunk and a placeholder in the next;
    // unpacked, every packet is one picture again.
    AVBSFContext* filter = nullptr;
    const AVBitStreamFilter* unpack = av_bsf_get_by_name("mpeg4_unpack_bframes");
    if (unpack && av_bsf_alloc(unpack, &filter) == 0) {
      bsf_.reset(filter);
      avcodec_parameters_copy(filter->par_in, parameters);
      filter->time_base_in = stream->time_base;
      if (av_bsf_init(filter) < 0) return false;
      parameters = filter->par_out;
    }
  }
  decoderCodec_ = avcodec_find_decoder(codec_);
  parameters_.reset(avcodec_parameters_alloc());
  if (!parameters_ || avcodec_parameters_copy(parameters_.get(), parameters) < 0) return false;
  if (!decoderCodec_ || !(stepDecoder_ = newDecoder(false))) return false;
  decoder_ = stepDecoder_.get();
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec_);
  tagged_ = (descriptor && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY)) ||
            !(decoderCodec_->capabilities & AV_CODEC_CAP_DELAY);
  sniff_ = CanSniffPictures(codec_);
  return true;
}

// Frame threads decode several pictures at once but hold one back per thread: fine for long
// runs, a cost for every single step. Slice threads hold nothing back.
CodecPtr VideoSource::newDecoder(bool frameThreads) const {
  CodecPtr decoder(avcodec_alloc_context3(decoderCodec_));
  if (!decoder || avcodec_parameters_to_context(decoder.get(), parameters_.get()) < 0)
    return nullptr;
  decoder->pkt_timebase = input_->streams[stream_]->time_base;
  decoder->thread_type = frameThreads ? FF_THREAD_FRAME : FF_THREAD_SLICE;
  decoder->thread_count = 0;
  decoder->max_pixels = kMaxFramePixels;  // refused before the decoder allocates the picture
  if (avcodec_open2(decoder.get(), decoderCodec_, nullptr) < 0) return nullptr;
  return decoder;
}

void VideoSource::loadIndex() {
  AVStream* stream = input_->streams[stream_];
  const int count = avformat_index_get_entries_count(stream);
  if (count <= 0) return;
  std::vector<LONG> slots, keys;
  slots.reserve(std::size_t(count));
  for (int i = 0; i < count; ++i) {
    const AVIndexEntry* e = avformat_index_get_entry(stream, i);
    const std::optional<LONG> slot = e ? slotOf(e->timestamp) : std::nullopt;
    if (!slot || e->size <= 0) continue;
    slots.push_back(*slot);
    if (e->flags & AVINDEX_KEYFRAME) keys.push_back(*slot);
  }
  std::sort(slots.begin(), slots.end());
  slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  if (!slots.empty()) timeline_.setIndex(std::move(slots), std::move(keys));
}

bool VideoSource::seek(LONG key, bool longRun) {
  positioned_ = false;
  decoder_ = stepDecoder_.get();
  if (longRun && (decoderCodec_->capabilities & AV_CODEC_CAP_FRAME_THREADS)) {
    if (!runDecoder_) runDecoder_ = newDecoder(true);
    if (runDecoder_) decoder_ = runDecoder_.get();
  }
  if (!timeline_.indexed() || key < 0) {
    if (!openInput(path_)) return false;  // a fresh demuxer reads from the first chunk
    resetSession(-1, 0);
  } else {
    if (av_seek_frame(input_.get(), stream_, origin_ + key, AVSEEK_FLAG_BACKWARD) < 0) return false;
    resetSession(key, timeline_.firstOrdinal(key));
  }
  positioned_ = true;
  return true;
}

void VideoSource::resetSession(LONG key, LONG ordinal) {
  if (bsf_) av_bsf_flush(bsf_.get());
  avcodec_flush_buffers(decoder_);
  ready_.clear();
  held_.clear();
  demuxEnded_ = drained_ = false;
  startKey_ = key;
  firstPacket_ = true;
  leadingKnown_ = !sniff_ || key < 0;
  leading_ = 0;
  nextOrdinal_ = ordinal;
}

std::optional<LONG> VideoSource::slotOf(std::int64_t timestamp) const {
  if (timestamp == AV_NOPTS_VALUE || timestamp < origin_ || timestamp - origin_ > INT32_MAX)
    return std::nullopt;
  return LONG(timestamp - origin_);
}

std::optional<Picture> VideoSource::next() {
  while (positioned_) {
    if (!ready_.empty()) {
      Picture picture = std::move(ready_.front());
      ready_.pop_front();
      return picture;
    }
    if (drained_) return std::nullopt;
    const int r = avcodec_receive_frame(decoder_, frame_.get());
    if (r == 0) {
      errors_ = 0;
      takeFrame(frame_.get());
    } else if (r == AVERROR(EAGAIN) || (r != AVERROR_EOF && ++errors_ < kMaxErrors)) {
      // A decoding error drops that packet's picture; the decoder goes on with the next.
      if (!feedDecoder()) positioned_ = false;
    } else {
      drained_ = true;
      settleLeading();
    }
  }
  return std::nullopt;
}

bool VideoSource::readPacket() {
  for (;;) {
    if (bsf_) {
      const int r = av_bsf_receive_packet(bsf_.get(), packet_.get());
      if (r == 0) return true;
      if (r != AVERROR(EAGAIN)) return false;
    }
    if (av_read_frame(input_.get(), raw_.get()) < 0) {
      if (!bsf_) return false;
      av_bsf_send_packet(bsf_.get(), nullptr);
      continue;
    }
    if (raw_->stream_index != stream_ || raw_->size <= 0 || !slotOf(raw_->dts)) {
      av_packet_unref(raw_.get());
    } else if (!bsf_) {
      av_packet_move_ref(packet_.get(), raw_.get());
      return true;
    } else if (av_bsf_send_packet(bsf_.get(), raw_.get()) < 0) {
      av_packet_unref(raw_.get());
    }
  }
}

// Sends the next packet (or the end of the stream) to the decoder. false when the first
// packet after a seek is not the key frame that was asked for.
bool VideoSource::feedDecoder() {
  if (demuxEnded_ || !readPacket()) {
    if (!demuxEnded_) {
      demuxEnded_ = true;
      timeline_.learnEnd();
      settleLeading();
    }
    if (avcodec_send_packet(decoder_, nullptr) < 0) drained_ = true;
    return true;
  }
  AVPacket& packet = *packet_;
  const std::optional<LONG> known = slotOf(packet.dts);
  if (!known) {  // a timestamp a filter made up: no frame of the file
    av_packet_unref(&packet);
    return true;
  }
  const LONG slot = *known;
  timeline_.learn(slot);
  if (firstPacket_) {
    firstPacket_ = false;
    const PictureKind kind = SniffPicture(codec_, packet.data, std::size_t(packet.size));
    const bool notKey = kind == PictureKind::Predicted || kind == PictureKind::Bidirectional;
    if (startKey_ >= 0 && (slot != startKey_ || notKey)) {
      timeline_.demoteKey(startKey_);
      av_packet_unref(&packet);
      return false;
    }
  } else if (!leadingKnown_) {
    noteLeading(packet);
  }
  packet.pts = packet.dts;  // comes back on the picture as its tag
  if (avcodec_send_packet(decoder_, &packet) < 0 && tagged_) {
    nextOrdinal_ = timeline_.ordinalOf(slot) + 1;
    ready_.push_back(Picture{slot, nullptr});
  }
  av_packet_unref(&packet);
  return true;
}

void VideoSource::noteLeading(const AVPacket& packet) {
  if (SniffPicture(codec_, packet.data, std::size_t(packet.size)) == PictureKind::Bidirectional) {
    ++leading_;
    return;
  }
  settleLeading();
}

// The leading pictures of the group are all counted: pictures held so far get their slots.
void VideoSource::settleLeading() {
  if (leadingKnown_) return;
  leadingKnown_ = true;
  timeline_.setLeading(startKey_, leading_);
  nextOrdinal_ = timeline_.firstOrdinal(startKey_);
  releaseHeld();
}

void VideoSource::takeFrame(AVFrame* frame) {
  FramePtr picture = makeFrame();
  av_frame_move_ref(picture.get(), frame);
  const std::optional<LONG> tag = slotOf(picture->pts);
  if (tagged_ && tag) {
    const LONG slot = *tag;
    nextOrdinal_ = timeline_.ordinalOf(slot) + 1;
    ready_.push_back(Picture{slot, std::move(picture)});
  } else if (!leadingKnown_) {
    held_.push_back(std::move(picture));
  } else {
    if (const std::optional<LONG> slot = timeline_.slotAt(nextOrdinal_++))
      ready_.push_back(Picture{*slot, std::move(picture)});
  }
}

void VideoSource::releaseHeld() {
  for (FramePtr& picture : held_)
    if (const std::optional<LONG> slot = timeline_.slotAt(nextOrdinal_++))
      ready_.push_back(Picture{*slot, std::move(picture)});
  held_.clear();
}

}  // namespace avifile
