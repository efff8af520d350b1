// One ALSA capture device, read on a thread of its own that sleeps in poll. Its audio feeds a peak
// meter (the peak of each 10 ms) and the capture stream attached to it, so that the meters, the
// VOX, the DTMF decoder and the recordings share the one stream a card allows. A device that cannot
// be opened, or goes away, is opened again by its name at growing intervals; each outage is
// reported once, with one more line when the device is back, and overruns at most once a minute.
#pragma once

#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/audio/sound_backend.h"
#include "platform/alsa/alsa_pcm.h"

namespace tarvok {

class TAlsaCapture;

class TAlsaInput {
 public:
  static constexpr int kPreferredRate = 48000;
  static constexpr int kFirstRetryMs = 250;
  static constexpr int kLastRetryMs = 4000;
  using TReport = std::function<void(const QString& message)>;

  // Reports come on the input's thread.
  TAlsaInput(QString device, TControlCell& meter, TReport report);
  ~TAlsaInput();
  TAlsaInput(const TAlsaInput&) = delete;
  TAlsaInput& operator=(const TAlsaInput&) = delete;

  const QString& Device() const { return device_; }
  // Whether the device is open and delivering. Any thread.
  bool Running() const { return running_.load(); }
  // Attaches a capture stream, or detaches it with nullptr; once this returns, a detached stream
  // is not fed any more.
  void Attach(TAlsaCapture* capture);
  bool Attached();

 private:
  void Run();
  // Reads until the device fails or the input stops; the error that ended it, 0 when stopped.
  int ReadUntilFault();
  void Deliver(std::span<const std::byte> frames);
  void CountXrun();
  // Sleeps in poll; true when the input is stopping.
  bool Sleep(int ms);

  const QString device_;
  TControlCell& meter_;
  const TReport report_;
  TAlsaPcm pcm_;
  int wakeFd_ = -1;
  std::atomic<bool> running_{false};

  std::mutex captureMutex_;
  TAlsaCapture* capture_ = nullptr;

  std::vector<std::int16_t> mono_;
  std::int32_t peak_ = 0;
  int peakSamples_ = 0;
  bool outageReported_ = false;
  int xruns_ = 0;
  std::chrono::steady_clock::time_point lastXrunReport_;
  std::thread thread_;
};

}  // namespace tarvok
