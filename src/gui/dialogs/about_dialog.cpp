#include "gui/dialogs/about_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "core/config/config.h"
#include "gui/shadowed_title.h"

namespace tarvok {

namespace {

// The station's emblem, as on the desktop icon: a mast sending waves both ways.
class TStationEmblem final : public QWidget {
 public:
  explicit TStationEmblem(QWidget* parent = nullptr) : QWidget(parent) { setFixedSize(64, 64); }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x1f, 0x4e, 0x8c), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(32, 22), QPointF(20, 58));
    painter.drawLine(QPointF(32, 22), QPointF(44, 58));
    painter.drawLine(QPointF(25, 44), QPointF(39, 44));
    painter.setPen(QPen(QColor(0xd0, 0x3a, 0x2f), 3, Qt::SolidLine, Qt::RoundCap));
    for (const int radius : {10, 18}) {
      const QRectF circle(32 - radius, 20 - radius, 2 * radius, 2 * radius);
      painter.drawArc(circle, -45 * 16, 90 * 16);
      painter.drawArc(circle, 135 * 16, 90 * 16);
    }
    painter.setBrush(QColor(0xd0, 0x3a, 0x2f));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(32, 20), 4, 4);
  }
};

}  // namespace

TAboutDialog::TAboutDialog(const TConfig& config, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About"));

  auto* title = new TShadowedTitle(QStringLiteral("Internet Repeater"), QPoint(1, -1));
  auto* version = new QLabel(QStringLiteral("Version ") + config.VersionText());
  version->setObjectName(QStringLiteral("VersionLabel"));
  QFont bold = version->font();
  bold.setBold(true);
  version->setFont(bold);
  auto* credit =
      new QLabel(QStringLiteral("Tarvok, a station controller for a sound-card repeater or "
                                "beacon.\nQuestions and reports are welcome on the project's "
                                "issue tracker."));

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("  &OK      "), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("btnOK"));
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->addWidget(new TStationEmblem, 0, 0, 2, 1, Qt::AlignTop);
  layout->addWidget(title, 0, 1);
  layout->addWidget(version, 1, 1, Qt::AlignHCenter);
  layout->addWidget(credit, 2, 0, 1, 2);
  layout->addWidget(buttons, 3, 0, 1, 2);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ShowAbout(const TConfig& config, QWidget* parent) {
  // On the heap: a parent that closes while the box is open frees it.
  auto* dialog = new TAboutDialog(config, parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->exec();
}

}  // namespace tarvok
