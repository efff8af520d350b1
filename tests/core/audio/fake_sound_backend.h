// A sound back end whose lines, controls and values a test sets directly, and which records what
// the station writes to it.
#pragma once

#include <map>
#include <memory>
#include <vector>

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
    explicit TStream(TCaptureSink& sink) : Sink(sink) { Sink.CaptureOpened(); }
    ~TStream() override { Sink.CaptureClosed(); }
    TCaptureSink& Sink;
  };
  TAudioResult OpenCapture(const TPcmFormat& format, int blockBytes, TCaptureSink& sink,
                           std::unique_ptr<TAudioStream>& stream) override {
    CaptureFormat = format;
    CaptureBlockBytes = blockBytes;
    if (CaptureResult.Failed())
      return CaptureResult;
    auto s = std::make_unique<TStream>(sink);
    Capture = s.get();
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
  mutable int ControlQueries = 0;
};

inline TMixerControl PeakMeter(std::uint32_t id) {
  return {id, kControlPeakMeter, QStringLiteral("Peak Meter"), -32768, 32767};
}
inline TMixerControl Volume(std::uint32_t id) {
  return {id, kControlVolume, QStringLiteral("Volume"), 0, 65535};
}

}  // namespace tarvok
