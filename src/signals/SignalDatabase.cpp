#include "signals/SignalDatabase.h"

TSignalData& TSignalDatabase::Append(std::unique_ptr<TSignalData> channel) {
  channel->Owner = this;
  channel->UseNames = UseNames;
  names_ << QString::number(Count());
  channels_.push_back(std::move(channel));
  return *channels_.back();
}

void TSignalDatabase::SetUseNames(bool flag) {
  UseNames = flag;
  for (int i = 0; i < Count(); ++i) {
    channels_[std::size_t(i)]->UseNames = flag;
    names_[i] = channels_[std::size_t(i)]->Name();
  }
}

void TSignalDatabase::DeleteChannel(const TSignalData& channel) {
  for (std::size_t i = 0; i < channels_.size(); ++i) {
    if (channels_[i].get() != &channel) continue;
    names_.removeAt(qsizetype(i));
    channels_.erase(channels_.begin() + std::ptrdiff_t(i));
    return;
  }
}

void TSignalDatabase::Translate(const TSignalDatabase& source) {
  int created = 0;
  for (int k = 0; k < source.Count(); ++k) {
    if (!Progress(QStringLiteral("Translating %1").arg(created + 1))) return;
    const TSignalData& from = source.Channels(k);
    if (!from.Selected) continue;
    TSignalData& to = NewChannel();
    to.Assign(from);
    names_[Count() - 1] = source.Names().value(k);
    ++created;
  }
}
