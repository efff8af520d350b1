#include "gui/trace_legend.h"

#include <QHBoxLayout>
#include <QLabel>

#include "gui/window_style.h"

namespace tarvok {

namespace {

QFrame* LegendLine(const QColor& colour, QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFixedSize(20, 2);
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, colour);
  line->setPalette(palette);
  return line;
}

}  // namespace

TTraceLegend::TTraceLegend(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("Legend"));
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(LegendLine(kThresholdLineColor, this));
  layout->addWidget(new QLabel(QStringLiteral("Threshold Level"), this));
  layout->addSpacing(12);
  layout->addWidget(LegendLine(kAgcLineColor, this));
  layout->addWidget(new QLabel(QStringLiteral("AGC Levels"), this));
  layout->addStretch(1);
}

}  // namespace tarvok
