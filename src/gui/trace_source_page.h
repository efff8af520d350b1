// The trace source page of one trace: which mixer line the trace shows (and the VOX hears), the
// line's volume fader, the trace's options and its one-bar level meter. Every control calls the
// trace's operation on a user action and mirrors the trace after ControlsChanged.
#pragma once

#include <QWidget>

#include "core/station/trace_source.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QSlider;

namespace tarvok {

class TStationRuntime;
class TTraceSource;

class TTraceSourcePage final : public QWidget {
  Q_OBJECT
 public:
  TTraceSourcePage(TStationRuntime& station, int trace, QWidget* parent);

 private:
  QFrame* BuildMeter();
  void Refresh();
  void FollowScopeHeight();

  TStationRuntime& station_;
  const TTraceSource& trace_;
  QLabel* header_;
  QComboBox* mixer_;
  QComboBox* source_;
  QCheckBox* signed_;
  QSlider* volume_;
  QCheckBox* gainControl_;
  QCheckBox* disableTrace_;
  QCheckBox* disableMeter_;
  QLabel* bounds_;
  QFrame* meterPanel_;
};

}  // namespace tarvok
