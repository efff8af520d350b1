// The "Audio" page: the format of Simplex Repeater recordings, and DTMF decoding in that mode,
// which allows only the formats the decoder reads.
#pragma once

#include <vector>

#include "core/audio/wave_format.h"
#include "gui/preferences/preferences_page.h"

class QCheckBox;
class QComboBox;

namespace tarvok {

class TAudioPage final : public TPreferencesPage {
  Q_OBJECT
 public:
  TAudioPage(const TPreferences& preferences, QWidget* parent = nullptr);
  void Store(TPreferences& preferences) const override;

 private:
  // Offers the formats the DTMF box allows, selecting the stored one.
  void FillFormats();

  int formatTag_;
  int channels_;
  int samplesPerSec_;
  int bitsPerSample_;
  std::vector<TWaveFormat> offered_;
  QComboBox* attributes_;
  QCheckBox* dtmfSimplex_;
};

}  // namespace tarvok
