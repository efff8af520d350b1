// A 2048-point complex FFT in extended precision for the DTMF detector and the equalizer: a
// recursive radix-2 decimation-in-time transform over precomputed twiddle tables, so a block is
// transformed without trigonometry and without allocating memory.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace tarvok {

struct TComplex {
  long double Re = 0;
  long double Im = 0;
};

class TFourier {
 public:
  static constexpr int kLevels = 11;
  static constexpr int kSize = 1 << kLevels;  // 2048 points: 256 ms at 8000 samples per second
  using TBlock = std::array<std::int32_t, kSize>;
  using TComplexBlock = std::array<TComplex, kSize>;

  TFourier();

  TComplexBlock& Input() { return buffers_->Input; }
  const TComplexBlock& Output() const { return buffers_->Output; }

  // Output = the unnormalised forward DFT of Input.
  void Execute();

  // Loads Samples into Input as real values (when given), executes, and writes the level of each
  // bin to Levels (when given): round(5 * log10(|X[k]|^2 / 2048)), 0 where that power is below 1.
  void Transform(const TBlock* samples, TBlock* levels);

  // Input = conj(Output) / sqrt(2048): the next Execute then yields sqrt(2048) * conj(IDFT) of
  // the earlier Output, whose real part divided by sqrt(2048) is the inverse transform.
  void PrepareInverse();

 private:
  void Execute(int level, const TComplex* source, int stride, TComplex* destination) const;

  // About 200 KB, too much for the stack of whoever owns a detector.
  struct TBuffers {
    TComplexBlock Input;
    TComplexBlock Output;
    std::array<long double, kSize> CosTable;
    std::array<long double, kSize> SinTable;
  };
  std::unique_ptr<TBuffers> buffers_;
};

}  // namespace tarvok
