#include "gui/trace_group.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/station/station_runtime.h"
#include "core/station/trace_source.h"
#include "gui/oscilloscope_view.h"
#include "gui/scale_view.h"

namespace tarvok {

TTraceGroup::TTraceGroup(TStationRuntime& station, int trace, QWidget* parent)
    : QGroupBox(parent),
      station_(station),
      trace_(station.Trace(trace)),
      header_(new QLabel(this)),
      disable_(new QCheckBox(QStringLiteral("Disable the Trace"), this)) {
  const bool upper = trace_.TraceIndex() == TTraceSource::kUpper;
  setObjectName(QLatin1String(upper ? "RemoteBox" : "LocalBox"));
  disable_->setObjectName(QLatin1String(upper ? "cboUpperTrayDisable" : "cboLowerTrayDisable"));

  auto* headerPanel = new QFrame(this);
  headerPanel->setObjectName(QLatin1String(upper ? "UpperTrayHeader" : "LowerTrayHeader"));
  auto* headerLayout = new QHBoxLayout(headerPanel);
  headerLayout->setContentsMargins(0, 0, 0, 0);
  headerLayout->addWidget(header_, 1);
  headerLayout->addWidget(disable_);

  auto* scope = new TOscilloscopeView(trace_.Scope(), this);
  connect(scope, &TOscilloscopeView::Resized, this, [this](QSize size) {
    station_.SetTraceDisplaySize(trace_.TraceIndex(), size.width(), trace_.Meter().Width(),
                                 size.height());
  });
  auto* display = new QHBoxLayout;
  display->setSpacing(0);
  display->addWidget(new TScaleView(trace_, this));
  display->addWidget(scope, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(headerPanel);
  layout->addLayout(display, 1);

  connect(disable_, &QCheckBox::clicked, this, [this](bool on) {
    station_.ChangeTrace(trace_.TraceIndex(), TTraceChange::TraceDisabled, on);
  });
  connect(&trace_, &TTraceSource::ControlsChanged, this, &TTraceGroup::Refresh);
  Refresh();
}

void TTraceGroup::Refresh() {
  const QSignalBlocker blocker(disable_);
  setTitle(trace_.GroupCaption());
  header_->setText(trace_.HeaderCaption());
  disable_->setChecked(trace_.TraceDisabled());
}

}  // namespace tarvok
