#include "widgets/mainwindow/Help.h"

#include "TestApp.h"
#include "model/core/Helpers.h"

#include <QDesktopServices>
#include <QFile>
#include <QObject>

#include <gtest/gtest.h>

namespace vexa::ide {
namespace {

// Takes the addresses the desktop would open.
class TUrlRecorder : public QObject {
  Q_OBJECT

 public slots:
  void Open(const QUrl& Url) { urls << Url; }

 public:
  QList<QUrl> urls;
};

TEST(OpenHelpFile, OpensThePageBesideTheProgram) {
  test::TestApp();
  TUrlRecorder recorder;
  QDesktopServices::setUrlHandler("file", &recorder, "Open");
  OpenHelpFile("vxide.html");
  OpenHelpFile("fehlt.html");  // not reported
  QDesktopServices::unsetUrlHandler("file");
  ASSERT_EQ(recorder.urls.size(), 2);
  EXPECT_EQ(recorder.urls[0].toLocalFile(), ProgramDirectory() + "Help/vxide.html");
  EXPECT_EQ(recorder.urls[1].toLocalFile(), ProgramDirectory() + "Help/fehlt.html");
}

TEST(OpenHelpFile, ShippedPagesArePresent) {
  test::TestApp();
  for (const char* name : {"vxide.html", "v2.html", "vxbasic.html"}) {
    QFile page(HelpFileUrl(name).toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << name;
    const QString text = QString::fromUtf8(page.readAll());
    EXPECT_TRUE(text.contains("<title>")) << name;
    EXPECT_TRUE(text.contains("charset=\"utf-8\"", Qt::CaseInsensitive)) << name;
  }
}

}  // namespace
}  // namespace vexa::ide

#include "HelpTest.moc"
