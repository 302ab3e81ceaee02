// Writing one top-level chunk of a RIFF file in place or at the end of the RIFF data.
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <limits>
#include <vector>

#include "clip/RIFF.h"

namespace {

constexpr FOURCC kJUNK = ChunkCode("JUNK");

using Bytes = std::vector<std::uint8_t>;

// Bytes to put at an offset of the file.
struct TPatch {
  std::int64_t offset = 0;
  Bytes bytes;
};

void PutLe32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}

Bytes Le32(std::uint32_t v) {
  Bytes out;
  PutLe32(out, v);
  return out;
}

// Header, data and pad byte of a chunk.
Bytes ChunkBytes(FOURCC id, const std::uint8_t* data, std::uint32_t size) {
  Bytes out;
  out.reserve(std::size_t(size) + 9);
  PutLe32(out, id);
  PutLe32(out, size);
  if (size > 0) out.insert(out.end(), data, data + size);
  if (size & 1) out.push_back(0);
  return out;
}

// Room a chunk of `size` data bytes takes in its parent: header, data and pad byte.
std::int64_t Footprint(std::uint32_t size) {
  return (std::int64_t(size) + 8 + 1) & ~1LL;
}

bool WriteAt(QFile& out, std::int64_t offset, const Bytes& bytes) {
  const auto n = qint64(bytes.size());
  return out.seek(offset) && out.write(reinterpret_cast<const char*>(bytes.data()), n) == n;
}

// Puts the file back as it was: its old length, then what each patch overwrote, last first.
void RollBack(QFile& out, std::int64_t length, const std::vector<TPatch>& overwritten) {
  out.resize(length);
  for (auto p = overwritten.rbegin(); p != overwritten.rend(); ++p)
    WriteAt(out, p->offset, p->bytes);
}

// Writes the patches in order. When one fails (a full disk takes the first bytes of an
// append and refuses the rest), the file is rolled back, so that it neither keeps a partial
// chunk nor refuses every later append for the bytes past its RIFF data.
TWriteFailure ApplyPatches(const QString& fileName, const std::vector<TPatch>& patches) {
  QFile out(fileName);
  if (!out.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) return OpenFailureOf(fileName);
  const std::int64_t length = out.size();
  std::vector<TPatch> overwritten;
  for (const TPatch& p : patches) {
    TPatch old{p.offset, {}};
    old.bytes.resize(
        std::size_t(std::clamp<std::int64_t>(length - p.offset, 0, std::int64_t(p.bytes.size()))));
    const auto n = qint64(old.bytes.size());
    const bool saved =
        out.seek(p.offset) && out.read(reinterpret_cast<char*>(old.bytes.data()), n) == n;
    if (saved) overwritten.push_back(std::move(old));
    if (!saved || !WriteAt(out, p.offset, p.bytes)) {
      RollBack(out, length, overwritten);
      return TWriteFailure::DiskFull;
    }
  }
  return TWriteFailure::None;
}

}  // namespace

QString WriteFailureText(TWriteFailure failure) {
  switch (failure) {
    case TWriteFailure::None:
      return {};
    case TWriteFailure::NoSuchFile:
      return QStringLiteral("no such file");
    case TWriteFailure::Folder:
      return QStringLiteral("a folder");
    case TWriteFailure::NotAFile:
      return QStringLiteral("not a regular file");
    case TWriteFailure::PermissionDenied:
      return QStringLiteral("permission denied");
    case TWriteFailure::CannotOpen:
      return QStringLiteral("the file cannot be opened for writing");
    case TWriteFailure::NotRiff:
      return QStringLiteral("not a RIFF file");
    case TWriteFailure::MultiPart:
      return QStringLiteral("a multi-part file whose first part cannot grow");
    case TWriteFailure::Damaged:
      return QStringLiteral("the file's chunk layout is damaged");
    case TWriteFailure::TooLong:
      return QStringLiteral("too long to store");
    case TWriteFailure::DiskFull:
      return QStringLiteral("disk full or write error; the file was left as it was");
  }
  return {};
}

TWriteFailure OpenFailureOf(const QString& fileName) {
  const QFileInfo info(fileName);
  if (!info.exists()) return TWriteFailure::NoSuchFile;
  if (info.isDir()) return TWriteFailure::Folder;
  if (!info.isFile()) return TWriteFailure::NotAFile;
  if (!info.isWritable()) return TWriteFailure::PermissionDenied;
  return TWriteFailure::CannotOpen;
}

// The file edits of one write, and how the tree follows them once they are all written.
struct TRIFF::TWritePlan {
  std::vector<TPatch> patches;
  std::function<void()> commit;
};

bool TRIFF::WriteChunk(FOURCC code, const void* buffer, std::uint32_t size, TWriteFailure* why) {
  TWritePlan plan;
  TWriteFailure failure = PlanWrite(code, static_cast<const std::uint8_t*>(buffer), size, plan);
  if (failure == TWriteFailure::None) failure = ApplyPatches(fileName_, plan.patches);
  if (failure == TWriteFailure::None) plan.commit();
  if (why) *why = failure;
  return failure == TWriteFailure::None;
}

// A plain chunk whose header and `room` bytes from its data lie inside the RIFF data.
bool TRIFF::HoldsWhole(const TRIFFChunk& chunk, std::int64_t room) const {
  return !chunk.List && chunk.Position + room <= Position + Size;
}

TWriteFailure TRIFF::PlanWrite(FOURCC code, const std::uint8_t* bytes, std::uint32_t size,
                               TWritePlan& plan) {
  if (!riff_) return TWriteFailure::NotRiff;
  if (!bytes && size > 0) return TWriteFailure::Damaged;
  TRIFFChunk* chunk = nullptr;
  if (!FindChild(code, chunk)) return PlanAppend(code, bytes, size, plan);
  if (!HoldsWhole(*chunk, chunk->Size)) return TWriteFailure::Damaged;
  const Bytes data(bytes, bytes + size);
  if (chunk->Size == size) {
    plan.patches.push_back({chunk->Position, data});
    plan.commit = [chunk, data] { chunk->Data = data; };
    return TWriteFailure::None;
  }
  // A larger chunk (another program's 4096 bytes) takes the text and a "JUNK" filler in place,
  // which also works where an append cannot, before further RIFF parts.
  const std::int64_t room = Footprint(chunk->Size);
  const std::int64_t filler = room - Footprint(size) - 8;
  if (filler < 0 || !HoldsWhole(*chunk, room - 8)) return PlanAppend(code, bytes, size, plan);
  Bytes patch = ChunkBytes(code, bytes, size);
  PutLe32(patch, kJUNK);
  PutLe32(patch, std::uint32_t(filler));
  plan.patches.push_back({chunk->Position - 8, std::move(patch)});
  plan.commit = [this, chunk, data, filler] {
    chunk->Size = std::uint32_t(data.size());
    chunk->Data = data;
    auto junk = std::make_unique<TRIFFChunk>();
    junk->ID = kJUNK;
    junk->Size = std::uint32_t(filler);
    junk->Parent = this;
    junk->Position = chunk->Position + Footprint(chunk->Size);
    auto at = std::find_if(Children.begin(), Children.end(),
                           [chunk](const auto& c) { return c.get() == chunk; });
    Children.insert(at + 1, std::move(junk));
  };
  return TWriteFailure::None;
}

TWriteFailure TRIFF::AppendFailure(std::uint32_t size) const {
  // The new chunk must not overwrite what follows the RIFF data (further "AVIX" parts), and a
  // reader must find it where it lands: the chunks before it must fill the RIFF data exactly,
  // as they do in every valid file (not so when the last one claims more than the RIFF holds).
  const std::int64_t end = Position + Size;
  std::int64_t filled = Position + 4;
  if (!Children.empty()) {
    const TRIFFChunk& last = *Children.back();
    filled = last.Position + last.Size + (last.Size & 1);
  }
  if (file_.size() > end) return TWriteFailure::MultiPart;
  if (filled != end) return TWriteFailure::Damaged;
  if (std::int64_t(Size) + Footprint(size) > std::numeric_limits<std::uint32_t>::max())
    return TWriteFailure::TooLong;
  return TWriteFailure::None;
}

// The new chunk and the RIFF size go first and the older chunks become "JUNK" last, so that a
// write cut short by a crash leaves the old text readable.
TWriteFailure TRIFF::PlanAppend(FOURCC code, const std::uint8_t* bytes, std::uint32_t size,
                                TWritePlan& plan) {
  if (const TWriteFailure f = AppendFailure(size); f != TWriteFailure::None) return f;
  std::vector<TRIFFChunk*> older;
  for (const auto& c : Children) {
    if (c->ID != code) continue;
    if (!HoldsWhole(*c, c->Size)) return TWriteFailure::Damaged;
    older.push_back(c.get());
  }
  plan.patches.push_back({Position + Size, ChunkBytes(code, bytes, size)});
  plan.patches.push_back({Position - 4, Le32(Size + std::uint32_t(Footprint(size)))});
  for (const TRIFFChunk* c : older) plan.patches.push_back({c->Position - 8, Le32(kJUNK)});
  plan.commit = [this, code, older, data = Bytes(bytes, bytes + size)] {
    for (TRIFFChunk* c : older) c->ID = kJUNK;
    Append(code, data.data(), std::uint32_t(data.size()));
  };
  return TWriteFailure::None;
}

TRIFFChunk* TRIFF::Append(FOURCC code, const void* buffer, std::uint32_t size) {
  auto chunk = std::make_unique<TRIFFChunk>();
  chunk->ID = code;
  chunk->Size = size;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  chunk->Data.emplace(bytes, bytes + size);
  chunk->Parent = this;
  chunk->Position = Position + Size + 8;
  chunk->grown = true;
  for (TRIFFChunk* p = this; p; p = p->Parent) {
    p->Size += std::uint32_t(Footprint(size));
    p->grown = true;
  }
  Children.push_back(std::move(chunk));
  return Children.back().get();
}
