#include "core/dtmf/fourier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>

#include "support/tone_block.h"

namespace tarvok {
namespace {

constexpr int kSize = TFourier::kSize;

// The checks compare in double: far finer than any of their tolerances.
double D(long double value) { return static_cast<double>(value); }
double Magnitude(const TComplex& x) { return D(std::hypot(x.Re, x.Im)); }

TFourier::TBlock RandomBlock(unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::int32_t> sample(-32768, 32767);
  TFourier::TBlock block{};
  for (auto& value : block)
    value = sample(random);
  return block;
}

TEST(FourierTest, ZeroAndConstantBlocks) {
  TFourier fourier;
  TFourier::TBlock samples{};
  TFourier::TBlock levels;
  levels.fill(-1);
  fourier.Transform(&samples, &levels);
  for (int k = 0; k < kSize; ++k)
    ASSERT_EQ(levels[k], 0) << "bin " << k;

  samples.fill(1);
  fourier.Transform(&samples, &levels);
  EXPECT_EQ(fourier.Output()[0].Re, 2048);
  EXPECT_EQ(levels[0], 17);
  for (int k = 1; k < kSize; ++k) {
    ASSERT_LT(Magnitude(fourier.Output()[k]), 1e-12) << "bin " << k;
    ASSERT_EQ(levels[k], 0) << "bin " << k;
  }
}

TEST(FourierTest, FullScaleSineAt1000HzPeaksAtBin256AndItsMirror) {
  TFourier fourier;
  const TFourier::TBlock samples = ToneBlock({{256, 32767}});
  TFourier::TBlock levels{};
  fourier.Transform(&samples, &levels);
  EXPECT_NEAR(Magnitude(fourier.Output()[256]), 32767.0 * 1024, 32767.0 * 1024 * 1e-4);
  EXPECT_EQ(levels[256], 59);
  EXPECT_EQ(levels[1792], 59);
  EXPECT_EQ(levels[255], 0);
  EXPECT_EQ(levels[257], 0);
}

// A direct DFT of a few bins catches a wrong twiddle factor at any of the eleven levels.
TEST(FourierTest, MatchesTheDirectTransformOfARandomBlock) {
  TFourier fourier;
  const TFourier::TBlock samples = RandomBlock(1);
  fourier.Transform(&samples, nullptr);
  for (int k : {0, 1, 3, 255, 1024, 1500, 2047}) {
    std::complex<long double> expected = 0;
    for (int n = 0; n < kSize; ++n)
      expected += static_cast<long double>(samples[n]) *
                  std::polar(1.0L, -2 * std::numbers::pi_v<long double> * k * n / kSize);
    EXPECT_NEAR(D(fourier.Output()[k].Re), D(expected.real()), 1e-6) << "bin " << k;
    EXPECT_NEAR(D(fourier.Output()[k].Im), D(expected.imag()), 1e-6) << "bin " << k;
  }
}

TEST(FourierTest, TransformWithoutSamplesReusesTheInputAndWithoutLevelsLeavesThem) {
  TFourier fourier;
  const TFourier::TBlock samples = RandomBlock(2);
  TFourier::TBlock levels;
  levels.fill(-1);
  fourier.Transform(&samples, nullptr);
  const TFourier::TComplexBlock first = fourier.Output();
  EXPECT_EQ(levels[0], -1);

  fourier.Transform(nullptr, &levels);
  TFourier::TBlock expected{};
  TFourier().Transform(&samples, &expected);
  EXPECT_EQ(levels, expected);
  for (int k = 0; k < kSize; ++k)
    ASSERT_EQ(fourier.Output()[k].Re, first[k].Re) << "bin " << k;
}

TEST(FourierTest, InverseRoundTripReturnsTheSamples) {
  TFourier fourier;
  const TFourier::TBlock samples = RandomBlock(3);
  fourier.Transform(&samples, nullptr);
  fourier.PrepareInverse();
  fourier.Execute();
  const long double root = std::sqrt(static_cast<long double>(kSize));
  for (int n = 0; n < kSize; ++n) {
    ASSERT_NEAR(D(fourier.Output()[n].Re / root), samples[n], 1e-9) << "sample " << n;
    ASSERT_NEAR(D(fourier.Output()[n].Im / root), 0, 1e-9) << "sample " << n;
  }
}

}  // namespace
}  // namespace tarvok
