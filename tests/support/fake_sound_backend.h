// A sound back end whose lines, controls and values a test sets directly, and which records what
// the station writes to it.
#pragma once

#include <QByteArray>
#include <map>
#include <memory>
#include <vector>

#include "core/audio/playback_feeder.h"
#include "core/audio/sound_backend.h"

namespace tarvok {

class TFakeSoundBackend final : public TSoundBackend {
 public:
  struct TLine {
    TMixerLine Line;
    std::vector<TMixerControl> Controls;
  };

  int DeviceCount() const override { return Devices; }
  QString DeviceName(int index) const override { return QStringLiteral("Fake %1").arg(index); }
  TAudioResult OpenMixer(int index) override {
    return index < Devices ? TAudioResult::Ok()
                           : TAudioResult::Fail(TAudioResult::kBadDeviceId, QString());
  }
  TAudioResult Destinations(std::vector<TMixerDestination>& out) const override {
    out = Layout;
    return TAudioResult::Ok();
  }
  TAudioResult Line(std::uint32_t lineId, TMixerLine& line) const override {
    for (const TMixerDestination& d : Layout) {
      if (d.Line.Id == lineId) {
        line = d.Line;
        return TAudioResult::Ok();
      }
      for (const TMixerLine& s : d.Sources) {
        if (s.Id == lineId) {
          line = s;
          return TAudioResult::Ok();
        }
      }
    }
    return TAudioResult::Fail(TAudioResult::kInvalidLine, QStringLiteral("no such line"));
  }
  TAudioResult Controls(std::uint32_t lineId, std::vector<TMixerControl>& out) const override {
    ++ControlQueries;
    const auto it = LineControls.find(lineId);
    if (it == LineControls.end())
      return TAudioResult::Fail(TAudioResult::kInvalidLine, QStringLiteral("no such line"));
    out = it->second;
    return TAudioResult::Ok();
  }
  TAudioResult Control(std::uint32_t controlId, TMixerControl& control) const override {
    for (const auto& [line, controls] : LineControls) {
      for (const TMixerControl& c : controls) {
        if (c.Id == controlId) {
          control = c;
          return TAudioResult::Ok();
        }
      }
    }
    return TAudioResult::Fail(TAudioResult::kInvalidControl, QStringLiteral("no such control"));
  }
  const TControlCell* AcquireControl(std::uint32_t controlId) override {
    ++Acquired[controlId];
    return &Cell(controlId);
  }
  void ReleaseControl(std::uint32_t controlId) override { --Acquired[controlId]; }
  TAudioResult WriteControl(std::uint32_t controlId, std::uint32_t value) override {
    if (WriteResult.Failed())
      return WriteResult;
    Written.emplace_back(controlId, value);
    Cell(controlId).Value = value;
    return TAudioResult::Ok();
  }

  class TStream final : public TAudioStream {
   public:
    TStream(TCaptureSink& sink, TStream*& self) : Sink(sink), self_(self) {
      self_ = this;
      Sink.CaptureOpened();
    }
    ~TStream() override {
      self_ = nullptr;
      Sink.CaptureTail(Tail);
      Sink.CaptureClosed();
    }
    TCaptureSink& Sink;
    std::vector<std::byte> Tail;  // handed back when the stream is destroyed

   private:
    TStream*& self_;
  };
  TAudioResult OpenCapture(const TPcmFormat& format, int blockBytes, TCaptureSink& sink,
                           std::unique_ptr<TAudioStream>& stream) override {
    CaptureFormat = format;
    CaptureBlockBytes = blockBytes;
    if (CaptureResult.Failed())
      return CaptureResult;
    stream = std::make_unique<TStream>(sink, Capture);
    return TAudioResult::Ok();
  }

  // Plays nothing by itself: the test says when the oldest queued buffer has been played.
  class TPlayStream final : public TAudioStream {
   public:
    TPlayStream(TPlaybackSource& source, int bufferBytes, TPlayStream*& self)
        : Source(source),
          Feeder(
              source, bufferBytes,
              [this](std::span<const std::byte> b) { Buffers.emplace_back(b.begin(), b.end()); }),
          self_(self) {
      self_ = this;
    }
    ~TPlayStream() override {
      self_ = nullptr;
      if (!Closed)
        Source.PlaybackClosed();
    }
    void PlayOne() { Feeder.Played(); }
    // The sound system ends the stream, as when its device goes away.
    void CloseBySystem() {
      Closed = true;
      Source.PlaybackClosed();
    }
    QByteArray Audio() const {
      QByteArray all;
      for (const auto& b : Buffers)
        all.append(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
      return all;
    }
    TPlaybackSource& Source;
    TPlaybackFeeder Feeder;
    std::vector<std::vector<std::byte>> Buffers;
    bool Closed = false;

   private:
    TPlayStream*& self_;
  };
  TAudioResult OpenPlayback(const TPcmFormat& format, int bufferBytes, TPlaybackSource& source,
                            std::unique_ptr<TAudioStream>& stream) override {
    PlaybackFormat = format;
    PlaybackBufferBytes = bufferBytes;
    ++PlaybacksOpened;
    if (PlaybackResult.Failed())
      return PlaybackResult;
    auto s = std::make_unique<TPlayStream>(source, bufferBytes, Playback);
    s->Feeder.Start();
    stream = std::move(s);
    return TAudioResult::Ok();
  }

  TControlCell& Cell(std::uint32_t controlId) {
    auto& cell = Cells[controlId];
    if (!cell)
      cell = std::make_unique<TControlCell>();
    return *cell;
  }
  void AddLine(std::uint32_t id, std::uint32_t type, const QString& name, bool source,
               std::vector<TMixerControl> controls = {}) {
    TMixerLine line{id, type, kLineActive | (source ? kLineSource : 0u), name, name + "-key"};
    if (source)
      Layout.back().Sources.push_back(line);
    else
      Layout.push_back({line, {}});
    LineControls[id] = std::move(controls);
  }
  void RaiseLinesChanged() { emit LinesChanged(); }
  void RaiseControlChanged(std::uint32_t id) { emit ControlChanged(id); }

  int Devices = 1;
  std::vector<TMixerDestination> Layout;
  std::map<std::uint32_t, std::vector<TMixerControl>> LineControls;
  std::map<std::uint32_t, std::unique_ptr<TControlCell>> Cells;
  std::map<std::uint32_t, int> Acquired;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> Written;
  TAudioResult WriteResult;
  TAudioResult CaptureResult;
  TPcmFormat CaptureFormat;
  int CaptureBlockBytes = 0;
  TStream* Capture = nullptr;
  TAudioResult PlaybackResult;
  TPcmFormat PlaybackFormat;
  int PlaybackBufferBytes = 0;
  int PlaybacksOpened = 0;
  TPlayStream* Playback = nullptr;
  mutable int ControlQueries = 0;
};

inline TMixerControl PeakMeter(std::uint32_t id) {
  return {id, kControlPeakMeter, QStringLiteral("Peak Meter"), -32768, 32767};
}
inline TMixerControl Volume(std::uint32_t id) {
  return {id, kControlVolume, QStringLiteral("Volume"), 0, 65535};
}

}  // namespace tarvok
