#include "widgets/mainwindow/VexaSplashForm.h"

#include "Version.h"
#include "model/core/SplashSwitch.h"
#include "widgets/mainwindow/SplashResources.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

namespace vexa::ide {

TVexaSplashForm* VexaSplashForm = nullptr;

namespace {

constexpr int kVersionMargin = 8;
constexpr int kVersionWidth = 200;

}  // namespace

QString VersionText() {
  return QString::asprintf("Version %d.%d.%d.%d", kVersionMajor, kVersionMinor, kVersionRelease,
                           kVersionBuild);
}

TVexaSplashForm::TVexaSplashForm(QWidget* Owner, bool IsSplash)
    : QDialog(Owner), isSplash_(IsSplash) {
  InitSplashResources();
  setWindowFlags((IsSplash ? Qt::SplashScreen : Qt::Dialog) | Qt::FramelessWindowHint |
                 Qt::WindowStaysOnTopHint);
  setWindowTitle(QStringLiteral("Dornik Vexa IDE"));

  imgSplash = new QLabel(this);
  imgSplash->setObjectName(QStringLiteral("imgSplash"));
  const QPixmap picture(QStringLiteral(":/vexaide/splash.png"));
  imgSplash->setPixmap(picture);
  imgSplash->move(0, 0);
  imgSplash->resize(picture.size());
  setFixedSize(picture.size());
  imgSplash->installEventFilter(this);

  lblVersion = new QLabel(VersionText(), this);
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  lblVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);
  lblVersion->setWordWrap(true);
  QPalette palette = lblVersion->palette();
  palette.setColor(QPalette::WindowText, Qt::white);
  lblVersion->setPalette(palette);
  // A press on the label is a press on the picture below it.
  lblVersion->setAttribute(Qt::WA_TransparentForMouseEvents);
  lblVersion->setGeometry(width() - kVersionMargin - kVersionWidth, kVersionMargin, kVersionWidth,
                          2 * lblVersion->fontMetrics().height());
}

bool TVexaSplashForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == imgSplash && Event->type() == QEvent::MouseButtonPress && !isSplash_) {
    accept();
    return true;
  }
  return QDialog::eventFilter(Watched, Event);
}

void TVexaSplashForm::keyPressEvent(QKeyEvent* Event) {
  const int key = Event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    const bool plain =
        (Event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
    if (isSplash_ || plain) {
      if (!isSplash_) accept();
      Event->accept();
      return;
    }
  }
  QDialog::keyPressEvent(Event);
}

void TVexaSplashForm::showEvent(QShowEvent* Event) {
  PlaceCentred();
  QDialog::showEvent(Event);
}

void TVexaSplashForm::PlaceCentred() {
  QRect area;
  if (QWidget* owner = parentWidget()) {
    area = owner->window()->frameGeometry();
  } else {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    area = screen->availableGeometry();
  }
  move(area.center() - QPoint(width() / 2, height() / 2));
}

void ShowSplash(const QStringList& Arguments) {
  if (NoSplashRequested(Arguments) || VexaSplashForm) return;
  VexaSplashForm = new TVexaSplashForm(nullptr, true);
  VexaSplashForm->show();
  VexaSplashForm->repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CloseSplash() {
  delete VexaSplashForm;
  VexaSplashForm = nullptr;
}

void ShowAboutBox(QWidget* Owner) {
  TVexaSplashForm about(Owner, false);
  about.exec();
}

}  // namespace vexa::ide
