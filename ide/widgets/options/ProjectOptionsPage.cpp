#include "widgets/options/ProjectOptionsPage.h"

#include "model/settings/Options.h"
#include "model/workers/V2Download.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace vexa::ide {

TProjectOptionsPage::TProjectOptionsPage(bool ForBASIC, QWidget* Parent,
                                         const std::function<bool(int)>& Available)
    : TCustomDialogPage(Parent), ForBASIC(ForBASIC) {
  setObjectName(QStringLiteral("ProjectOptionsPage"));
  setWindowTitle(QStringLiteral("Projekt"));

  cbBkgndCompilation = new QCheckBox(QString::fromUtf8("Au&tomatisch übersetzen nach"), this);
  cbBkgndCompilation->setObjectName(QStringLiteral("cbBkgndCompilation"));
  tbDelay = new QSlider(Qt::Horizontal, this);
  tbDelay->setObjectName(QStringLiteral("tbDelay"));
  tbDelay->setRange(kMinDelay, kMaxDelay);
  tbDelay->setPageStep(7);
  tbDelay->setTickInterval(7);
  tbDelay->setTickPosition(QSlider::TicksBelow);
  tbDelay->setValue(10);
  lblDelay = new QLabel(this);
  lblDelay->setObjectName(QStringLiteral("lblDelay"));
  // Room for the longest text, so that the slider does not jump.
  lblDelay->setMinimumWidth(lblDelay->fontMetrics().horizontalAdvance(DelayText(kMaxDelay)) + 8);
  connect(tbDelay, &QSlider::valueChanged, this, &TProjectOptionsPage::UpdateDelayLabel);

  gbDownload = new QGroupBox(QString::fromUtf8("Download des Anwenderprogramms über"), this);
  gbDownload->setObjectName(QStringLiteral("gbDownload"));
  ports_ = new QButtonGroup(this);
  auto* grid = new QGridLayout(gbDownload);
  std::vector<int> available;
  if (Available) {
    for (int n = 1; n <= kPortCount; ++n)
      if (Available(n)) available.push_back(n);
  } else {
    available = OpenableSerialPorts(kPortCount);
  }
  for (int n = 1; n <= kPortCount; ++n) {
    auto* button = new QRadioButton(QStringLiteral("COM &%1").arg(n), gbDownload);
    button->setObjectName(QStringLiteral("rbCOM%1").arg(n));
    button->setEnabled(std::ranges::find(available, n) != available.end());
    ports_->addButton(button, n);
    grid->addWidget(button, (n - 1) / 4, (n - 1) % 4);
    rbCOM[std::size_t(n - 1)] = button;
  }

  auto* delayRow = new QHBoxLayout;
  delayRow->addWidget(tbDelay, 1);
  delayRow->addWidget(lblDelay);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(cbBkgndCompilation);
  layout->addLayout(delayRow);
  layout->addSpacing(8);
  layout->addWidget(gbDownload);
  layout->addStretch();
  UpdateDelayLabel();
}

QString TProjectOptionsPage::DelayText(int Position) {
  return QStringLiteral("%1 Sekunden").arg(QLocale().toString(Position * 0.1, 'f', 1));
}

void TProjectOptionsPage::UpdateDelayLabel() { lblDelay->setText(DelayText(tbDelay->value())); }

void TProjectOptionsPage::Load() {
  const bool background =
      ForBASIC ? options::BackgroundCompilationBASIC : options::BackgroundCompilationV2;
  const int delay =
      ForBASIC ? options::BackgroundCompilationDelayBASIC : options::BackgroundCompilationDelayV2;
  const int port = ForBASIC ? options::DownloadComBASIC : options::DownloadComV2;
  cbBkgndCompilation->setChecked(background);
  tbDelay->setValue((delay + 50) / 100);
  // An exclusive group cannot uncheck its checked button: loosen it for that.
  ports_->setExclusive(false);
  for (QRadioButton* button : rbCOM) button->setChecked(false);
  ports_->setExclusive(true);
  if (port >= 1 && port <= kPortCount && rbCOM[std::size_t(port - 1)]->isEnabled())
    rbCOM[std::size_t(port - 1)]->setChecked(true);
  UpdateDelayLabel();
}

void TProjectOptionsPage::Apply() {
  int port = -1;
  for (int n = 1; n <= kPortCount; ++n) {
    if (rbCOM[std::size_t(n - 1)]->isChecked()) {
      port = n;
      break;
    }
  }
  const int delay = tbDelay->value() * 100;
  if (ForBASIC) {
    options::BackgroundCompilationBASIC = cbBkgndCompilation->isChecked();
    options::BackgroundCompilationDelayBASIC = delay;
    options::DownloadComBASIC = port;
  } else {
    options::BackgroundCompilationV2 = cbBkgndCompilation->isChecked();
    options::BackgroundCompilationDelayV2 = delay;
    options::DownloadComV2 = port;
  }
}

}  // namespace vexa::ide
