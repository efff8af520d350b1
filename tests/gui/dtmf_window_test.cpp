// The DTFM tab through the real door: the pages follow "DTFM Enabled", the terminal follows the
// decoded keys, the sliders set the equalizer and the detection level, the spectrum shows a key's
// tones at their markers, and the Simplex hint comes only where it helps.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>

#include "core/config/config.h"
#include "gui/dtmf/dtmf_window.h"
#include "gui/dtmf/frequency_bars_view.h"
#include "support/station_runtime_probe.h"
#include "support/tone_block.h"
#include "support/window_fixture.h"

namespace tarvok {
namespace {

class DtmfWindowTest : public WindowTest {
 protected:
  TDtmfWindow& Window() {
    if (!window_)
      window_ = std::make_unique<TDtmfWindow>(Station());
    return *window_;
  }
  template <typename T>
  T* Child(const char* name) {
    T* child = Window().findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  void Capture(const TBytes& block) {
    TStationRuntimeProbe::Dtmf(Station()).CaptureBlock(TWaveMessage::Data, block);
    Settle();
  }
  void Press(char key) {
    Capture(KeyBlock(key));
    Capture(KeyBlock(key));
    Capture(Silence());
  }
  QString Terminal() { return Child<QPlainTextEdit>("Terminal")->toPlainText(); }

  std::unique_ptr<TDtmfWindow> window_;
};

TEST_F(DtmfWindowTest, TheFilterPageAndTheKeysComeOnlyWithDtmfOn) {
  auto* tabs = Child<QTabBar>("TabSet");
  EXPECT_EQ(tabs->count(), 1);
  Press('5');
  EXPECT_EQ(Terminal(), "");

  Child<QCheckBox>("cboDTMFEnabled")->click();
  EXPECT_EQ(Stored("Audio", "DTFMEnabled"), "1");
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(1), " Filter  ");
  for (char key : {'1', '2', '3'})
    Press(key);
  EXPECT_EQ(Terminal(), "123");
  Child<QPushButton>("btnClear")->click();
  EXPECT_EQ(Terminal(), "");
  Press('#');
  EXPECT_EQ(Terminal(), "#");

  Config().SetDTFMEnabled(false);  // as the preferences would
  EXPECT_EQ(tabs->count(), 1);
  EXPECT_FALSE(Child<QCheckBox>("cboDTMFEnabled")->isChecked());
}

TEST_F(DtmfWindowTest, TheSimplexHintComesOnlyInSimplexModeWithoutDtmfSimplex) {
  struct TCase {
    TRepeaterMode Mode;
    bool DtmfSimplex;
    bool Hint;
  };
  for (const TCase& c :
       {TCase{rmSimplexRepeater, false, true}, TCase{rmSimplexRepeater, true, false},
        TCase{rmInternetRepeater, false, false}}) {
    Config().SetDTFMSimplex(c.DtmfSimplex);
    Station().ChangeMode(c.Mode);
    Settle();
    auto* enabled = Child<QCheckBox>("cboDTMFEnabled");
    enabled->click();
    ASSERT_TRUE(enabled->isChecked());
    QMessageBox* hint = Window().findChild<QMessageBox*>("SimplexHint");
    EXPECT_EQ(hint != nullptr, c.Hint) << c.Mode << c.DtmfSimplex;
    if (hint) {
      EXPECT_EQ(hint->text(), TDtmfBlockProcessor::SimplexHint());
      delete hint;
    }
    enabled->click();
  }
}

TEST_F(DtmfWindowTest, SlidersSetTheEqualizerAndTheLevelAndResetZeroesThem) {
  Config().SetDTFMEnabled(true);
  auto* band = Child<QSlider>("BandBar3");
  band->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // up: louder
  band->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(Station().Dtmf().Filter().GainStep(3), 2);
  EXPECT_EQ(Stored("Filter", "Equalizer3"), "2");
  Child<QSlider>("FFTScaleBar")->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(Station().Dtmf().Filter().ScaleStep(), 20);

  auto* level = Child<QSlider>("DTMFLevelBar");
  level->triggerAction(QAbstractSlider::SliderToMaximum);  // top
  EXPECT_EQ(Station().Dtmf().Filter().Level(), 0);
  level->triggerAction(QAbstractSlider::SliderToMinimum);  // bottom
  EXPECT_EQ(Station().Dtmf().Filter().Level(), 100);

  Child<QPushButton>("btnReset")->click();
  EXPECT_EQ(band->value(), 0);
  EXPECT_EQ(Child<QSlider>("FFTScaleBar")->value(), 0);
  EXPECT_EQ(Stored("Filter", "Equalizer3"), "0");
  Station().ChangeDtmfGain(9, -4);  // from elsewhere: the slider follows
  EXPECT_EQ(Child<QSlider>("BandBar9")->value(), -4);
}

TEST_F(DtmfWindowTest, AKeysToneBarsStandAtTheirMarkers) {
  Config().SetDTFMEnabled(true);
  Config().SetDTMFSpectrum(true);
  auto* spectrum = Window().findChild<TFrequencyBarsView*>("SpectrumPanel");
  ASSERT_NE(spectrum, nullptr);
  spectrum->resize(400, 100);
  Capture(KeyBlock('1', 8000));  // 697 Hz and 1209 Hz
  const QImage image = spectrum->grab().toImage();
  auto barTop = [&](int frequency) {
    // The tone's column is the marker's, or one beside it.
    const int x = TFrequencyBarsView::FrequencyX(frequency, image.width());
    int top = image.height();
    for (int column = x - 2; column <= x + 2; ++column) {
      for (int y = 0; y < image.height(); ++y) {
        if (image.pixelColor(column, y) == TFrequencyBarsView::kBarColor) {
          top = std::min(top, y);
          break;
        }
      }
    }
    return top;
  };
  const int x697 = TFrequencyBarsView::FrequencyX(697, image.width());
  const int x1209 = TFrequencyBarsView::FrequencyX(1209, image.width());
  EXPECT_EQ(image.pixelColor(x697, 3), TFrequencyBarsView::kLowToneColor);
  EXPECT_EQ(image.pixelColor(x1209, 3), TFrequencyBarsView::kHighToneColor);
  EXPECT_LT(barTop(697), image.height() / 2);
  EXPECT_LT(barTop(1209), image.height() / 2);
  EXPECT_GT(barTop(2500), image.height() - 3) << "no tone there";
}

TEST_F(DtmfWindowTest, TheDecoderChoiceShowsAndSetsTheDecoderInUse) {
  Config().SetDTMFDecoder(TDtmfDecoderKind::Block);
  auto* decoder = Child<QComboBox>("cboDecoder");
  EXPECT_EQ(decoder->currentText(), "Block");
  decoder->activated(0);
  EXPECT_EQ(Stored("Audio", "DTMFDecoder"), "standard");
  EXPECT_EQ(Station().Dtmf().Decoder(), TDtmfDecoderKind::Standard);
}

}  // namespace
}  // namespace tarvok
