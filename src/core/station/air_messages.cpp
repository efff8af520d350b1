#include "core/station/air_messages.h"

#include "core/common/clock.h"
#include "core/station/station_preview.h"
#include "core/station/transmitter.h"

namespace tarvok {

TAirMessages::TAirMessages(TStationPreview& player, TTransmitter& transmitter, const TClock& clock,
                           std::function<bool()> clear, QObject* parent)
    : QObject(parent),
      player_(player),
      transmitter_(transmitter),
      clock_(clock),
      clear_(std::move(clear)) {
  connect(&player_, &TStationPreview::Finished, this, &TAirMessages::Finished);
}

std::int64_t TAirMessages::NowMs() const { return clock_.Now().toMSecsSinceEpoch(); }

void TAirMessages::Send(const QString& file, const QString& cw) {
  if (file.isEmpty() && cw.isEmpty())
    return;
  if (waiting_.empty())
    waitingSinceMs_ = NowMs();
  waiting_.push_back({file, cw});
  emit Queued();
}

void TAirMessages::CutShort() {
  if (!std::exchange(sending_, false))
    return;
  player_.Stop();
  transmitter_.Hold(false);
}

void TAirMessages::Stop() {
  waiting_.clear();
  CutShort();
}

void TAirMessages::TrySend() {
  if (waiting_.empty() || sending_)
    return;
  const TMessage message = waiting_.front();
  if (!clear_()) {
    if (NowMs() - waitingSinceMs_ < kPatienceMs)
      return;
    waiting_.pop_front();
    waitingSinceMs_ = NowMs();
    emit Dropped(message.CW);
    return;
  }
  waiting_.pop_front();
  waitingSinceMs_ = NowMs();
  // Keyed in the same turn as the audio starts, as the station keys its own playbacks.
  player_.Play(message.File, message.CW, {});
  sending_ = player_.Playing();
  if (sending_)
    transmitter_.Hold(true);
  else
    emit Dropped(message.CW);
}

void TAirMessages::Finished() {
  if (!std::exchange(sending_, false))
    return;
  transmitter_.Hold(false);
  waitingSinceMs_ = NowMs();
  emit Sent();
}

}  // namespace tarvok
