#pragma once

// A main window and tool windows for the docking tests: each tool window's
// form is a QWidget with one QLineEdit, so focus can be checked.

#include "TestApp.h"
#include "widgets/views/VexaDockable.h"
#include "widgets/views/VexaMainForm.h"

#include <QApplication>
#include <QDockWidget>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtTest/QTest>

namespace vexa::ide::test {

class TTestToolWindow : public TVexaDockable {
 public:
  explicit TTestToolWindow(QWidget* MainForm, QString Title = QStringLiteral("Werkzeug"))
      : TVexaDockable(MainForm), FTitle(std::move(Title)) {}

  QLineEdit* Edit() const { return FEdit; }
  int FormsCreated() const { return FCreated; }

 protected:
  QWidget* CreateForm(QWidget* Owner) override {
    auto* form = new QWidget(Owner);
    form->setWindowTitle(FTitle);
    auto* layout = new QVBoxLayout(form);
    FEdit = new QLineEdit(form);
    layout->addWidget(FEdit);
    ++FCreated;
    return form;
  }

 private:
  QString FTitle;
  QPointer<QLineEdit> FEdit;
  int FCreated = 0;
};

// Runs the posted layout requests until the window's geometry is final.
inline void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

// Drags a floating tool window as the user does, by its caption, and lets it
// go over the middle of Target: with grouped dragging the two become tabs of
// one floating window.
inline void DragOnto(QDockWidget* Dragged, QWidget* Target) {
  const QPoint grab = Dragged->titleBarWidget()->mapToGlobal(QPoint(8, 4));
  const QPoint drop = Target->mapToGlobal(Target->rect().center());
  auto send = [&](QEvent::Type Type, QPoint Global, Qt::MouseButtons Buttons) {
    QWidget* receiver = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : Dragged;
    QMouseEvent e(Type, receiver->mapFromGlobal(Global), Global, Qt::LeftButton, Buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(receiver, &e);
    Settle();
  };
  send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
  for (int i = 1; i <= 8; ++i)
    send(QEvent::MouseMove, grab + (drop - grab) * i / 8, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, drop, Qt::NoButton);
  Settle();
}

// A shown main window of a fixed size.
class TMainWindowFixture {
 public:
  TMainWindowFixture() {
    Main.resize(900, 600);
    Main.show();
    (void)QTest::qWaitForWindowExposed(&Main);
    Settle();
  }

  QTabWidget* Centre() const { return Main.PageControl(); }

  // The space the area takes from the centre, in the direction that can be
  // resized (width of left and right, height of bottom).
  int AreaExtent(Qt::DockWidgetArea Area) const {
    const QRect centre = Centre()->geometry();
    switch (Area) {
      case Qt::LeftDockWidgetArea: return centre.left();
      case Qt::RightDockWidgetArea: return Main.width() - centre.right() - 1;
      case Qt::BottomDockWidgetArea:
        return Main.StatusBar()->geometry().top() - centre.bottom() - 1;
      default: return -1;
    }
  }

  QApplication& App = TestApp();  // before any widget
  TVexaMainForm Main;
};

}  // namespace vexa::ide::test
