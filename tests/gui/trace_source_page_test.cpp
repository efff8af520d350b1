// The trace source page and the group box bound to the same trace: user actions reach the trace
// and show in the other view; a change of the trace shows without writing anything.
#include "gui/trace_source_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>

#include "gui/trace_group.h"
#include "support/station_runtime_probe.h"
#include "support/window_fixture.h"

namespace tarvok {
namespace {

class TraceSourcePageTest : public WindowTest {
 protected:
  void SetUp() override {
    page_ = std::make_unique<TTraceSourcePage>(Station(), TTraceSource::kUpper, nullptr);
    group_ = std::make_unique<TTraceGroup>(Station(), TTraceSource::kUpper, nullptr);
  }
  TTraceSource& Upper() { return TStationRuntimeProbe::Trace(Station(), TTraceSource::kUpper); }
  TTraceSource& Lower() { return TStationRuntimeProbe::Trace(Station(), TTraceSource::kLower); }
  template <typename T>
  T* OnPage(const char* name) {
    return page_->findChild<T*>(QLatin1String(name));
  }

  std::unique_ptr<TTraceSourcePage> page_;
  std::unique_ptr<TTraceGroup> group_;
};

TEST_F(TraceSourcePageTest, EitherDisableBoxDisablesTheTraceAndTicksTheOther) {
  auto* groupBox = group_->findChild<QCheckBox*>("cboUpperTrayDisable");
  auto* pageBox = OnPage<QCheckBox>("cboDisableOscilloscope");
  ASSERT_TRUE(groupBox && pageBox);
  EXPECT_EQ(groupBox->text(), "Disable the Trace");

  groupBox->click();
  EXPECT_TRUE(Upper().TraceDisabled());
  EXPECT_EQ(Stored("Audio", "DisableSource0"), "1");
  EXPECT_TRUE(pageBox->isChecked());

  pageBox->click();
  EXPECT_FALSE(Upper().TraceDisabled());
  EXPECT_FALSE(groupBox->isChecked());
  EXPECT_EQ(Lower().TraceDisabled(), false);
}

TEST_F(TraceSourcePageTest, AChosenSourceIsStoredAndTheHeadersFollow) {
  auto* source = OnPage<QComboBox>("cboSource");
  ASSERT_EQ(source->count(), 4);
  EXPECT_EQ(source->currentText(), "DST:out: Speakers");
  emit source->activated(2);
  EXPECT_FALSE(OnPage<QSlider>("VolumeBar")->isVisibleTo(page_.get())) << "a line without volume";

  emit source->activated(3);
  EXPECT_EQ(Stored("Audio", "SourceIndex0"), "3");
  EXPECT_EQ(Upper().SelectedLine(), 3);
  EXPECT_TRUE(OnPage<QSlider>("VolumeBar")->isVisibleTo(page_.get()));
  EXPECT_EQ(group_->findChild<QLabel*>()->text(), "    rec: Line In  ");
  EXPECT_EQ(group_->title(), " Upper Trace (VOX)  ");
  EXPECT_EQ(page_->findChild<QLabel*>("Bounds")->text(), "0-90 dB");
}

TEST_F(TraceSourcePageTest, ChangesOfTheTraceShowWithoutWritingAnything) {
  Upper().ChooseLine(1);  // Wave Out, volume control 21
  const QByteArray settings = Settings();
  const std::size_t written = backend_->Written.size();

  // The mixer reports a new volume: the fader follows and writes nothing back.
  backend_->Cell(21).Value = 65535;
  backend_->RaiseControlChanged(21);
  EXPECT_EQ(OnPage<QSlider>("VolumeBar")->value(), 32768);
  // The stored choice is read again: the list follows without storing it.
  Config().SetSourceIndex(0, 3);
  Config().IniFile().WriteString("Audio", "SourceName0", "Line In-key");
  const QByteArray chosen = Settings();
  Upper().RefreshFromSettings();
  EXPECT_EQ(OnPage<QComboBox>("cboSource")->currentText(), "src:rec: Line In");
  Upper().SetMode(rmSimplexRepeater);
  EXPECT_EQ(group_->title(), Upper().GroupCaption());

  EXPECT_EQ(backend_->Written.size(), written);
  EXPECT_NE(settings, chosen);
  EXPECT_EQ(Settings(), chosen);
}

}  // namespace
}  // namespace tarvok
