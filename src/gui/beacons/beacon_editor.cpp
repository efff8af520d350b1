#include "gui/beacons/beacon_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>

#include "core/audio/air_wav_files.h"
#include "core/config/config.h"
#include "core/station/station_runtime.h"
#include "gui/beacons/beacon_help_window.h"
#include "gui/beacons/expression_edit.h"
#include "gui/dialogs/message_boxes.h"

namespace tarvok {

namespace {

const QString kNone = QStringLiteral("(None)");

}  // namespace

TBeaconEditor::TBeaconEditor(TStationRuntime& station, TPreview playPreview, QWidget* parent)
    : QWidget(parent),
      station_(station),
      wavFolder_(station.Settings().Folder().Path()),
      playPreview_(std::move(playPreview)) {
  setObjectName(QStringLiteral("BeaconEditor"));
  auto* grid = new QGridLayout(this);
  int row = 0;
  auto addRow = [&](const QString& label, QWidget* field) {
    grid->addWidget(new QLabel(label, this), row, 0);
    grid->addWidget(field, row++, 1);
  };

  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("edName"));
  addRow(QStringLiteral("Name:"), name_);
  connect(name_, &QLineEdit::textEdited, this,
          [this](const QString& text) { Store([&](TBeacon& b) { b.Name = text; }); });

  enabled_ = new QCheckBox(QStringLiteral("Enabled"), this);
  enabled_->setObjectName(QStringLiteral("cboEnabled"));
  grid->addWidget(enabled_, row++, 1);
  connect(enabled_, &QCheckBox::clicked, this, [this](bool on) {
    Store([&](TBeacon& b) { b.Enabled = on; });
    ApplyEnablingRule();
  });

  for (std::size_t i = 0; i < kExpressionFields.size(); ++i) {
    const TExpressionField& field = kExpressionFields[i];
    auto* edit = new TExpressionEdit(TExpressionEdit::TKind::Expression, this);
    edit->setObjectName(QString::fromLatin1(field.Name));
    addRow(QString::fromLatin1(field.Label), edit);
    connect(edit, &TExpressionEdit::ValueEdited, this, [this, &field](const QString& value) {
      Store([&](TBeacon& b) { b.*field.Field = value; });
    });
    expressions_[i] = edit;
  }

  auto* wavRow = new QHBoxLayout;
  wavList_ = new QComboBox(this);
  wavList_->setObjectName(QStringLiteral("cboWAV"));
  connect(wavList_, &QComboBox::activated, this, &TBeaconEditor::ChooseWav);
  browse_ = new QPushButton(QStringLiteral("..."), this);
  browse_->setObjectName(QStringLiteral("btnWAVEdit"));
  browse_->setFixedWidth(28);
  connect(browse_, &QPushButton::clicked, this, &TBeaconEditor::BrowseWav);
  preview_ = new QPushButton(this);
  preview_->setObjectName(QStringLiteral("btnPreview"));
  preview_->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  preview_->setToolTip(QStringLiteral("Preview"));
  connect(preview_, &QPushButton::clicked, this, &TBeaconEditor::Preview);
  wavRow->addWidget(wavList_, 1);
  wavRow->addWidget(browse_);
  wavRow->addWidget(preview_);
  grid->addWidget(new QLabel(QStringLiteral("WAV file:"), this), row, 0);
  grid->addLayout(wavRow, row++, 1);

  cw_ = new QLineEdit(this);
  cw_->setObjectName(QStringLiteral("edCW"));
  addRow(QStringLiteral("CW String:"), cw_);
  connect(cw_, &QLineEdit::textEdited, this,
          [this](const QString& text) { Store([&](TBeacon& b) { b.CWString = text; }); });
  grid->setRowStretch(row, 1);

  auto* help = new QAction(this);
  help->setShortcut(Qt::Key_F1);
  help->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(help, &QAction::triggered, this, [this] { ShowBeaconHelp(this); });
  addAction(help);
  Load(nullptr);
}

TBeaconEditor::~TBeaconEditor() { station_.StopPreview(); }

void TBeaconEditor::Load(const TBeacon* beacon) {
  if (beacon)
    beacon_.emplace(*beacon);
  else
    beacon_.reset();
  name_->setText(beacon ? beacon->Name : QString());
  enabled_->setChecked(beacon && beacon->Enabled);
  for (std::size_t i = 0; i < kExpressionFields.size(); ++i) {
    if (beacon)
      expressions_[i]->Show(beacon->*kExpressionFields[i].Field);
    else
      expressions_[i]->clear();
  }
  cw_->setText(beacon ? beacon->CWString : QString());
  name_->setEnabled(beacon != nullptr);
  FillWavList();
  ApplyEnablingRule();
}

void TBeaconEditor::FocusName() { name_->setFocus(); }

void TBeaconEditor::Store(const std::function<void(TBeacon&)>& change) {
  if (!beacon_)
    return;
  change(*beacon_);
  emit Edited();
}

void TBeaconEditor::ApplyEnablingRule() {
  const bool details = name_->isEnabled() && enabled_->isChecked();
  enabled_->setEnabled(name_->isEnabled());
  for (TExpressionEdit* edit : expressions_)
    edit->setEnabled(details);
  for (QWidget* widget : std::initializer_list<QWidget*>{cw_, wavList_, browse_, preview_})
    widget->setEnabled(details);
}

void TBeaconEditor::FillWavList() {
  const QString file = beacon_ ? beacon_->WaveFile : QString();
  const QFileInfo info(file);
  if (!file.isEmpty())
    wavFolder_ = info.absolutePath();
  const QSignalBlocker blocker(wavList_);
  wavList_->clear();
  wavList_->addItem(kNone);
  wavList_->addItems(AirWavFiles(wavFolder_));
  int selected = 0;
  if (info.isFile()) {
    for (int i = 1; i < wavList_->count(); ++i) {
      if (wavList_->itemText(i).compare(info.fileName(), Qt::CaseInsensitive) == 0)
        selected = i;
    }
  }
  wavList_->setCurrentIndex(selected);
}

void TBeaconEditor::ChooseWav(int index) {
  SetWaveFile(index <= 0 ? QString() : QDir(wavFolder_).filePath(wavList_->itemText(index)));
}

void TBeaconEditor::BrowseWav() {
  const QString path = QFileDialog::getOpenFileName(this, QString(), wavFolder_,
                                                    QStringLiteral("WAV files (*.wav)"));
  if (!path.isEmpty())
    SetWaveFile(path);
}

void TBeaconEditor::SetWaveFile(const QString& path) {
  if (!beacon_)
    return;
  if (path != beacon_->WaveFile) {
    beacon_->WaveFile = path;
    FillWavList();
  }
  emit Edited();
}

void TBeaconEditor::Preview() {
  if (!beacon_)
    return;
  const QString& file = beacon_->WaveFile;
  const bool playable = !file.isEmpty() && QFileInfo(file).isFile();
  const QString message =
      playPreview_(playable ? file : QString(), cw_->isEnabled() ? beacon_->CWString : QString());
  if (!message.isEmpty())
    ShowErrorBox(this, message);
}

}  // namespace tarvok
