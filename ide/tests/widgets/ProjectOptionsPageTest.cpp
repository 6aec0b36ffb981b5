// The "Projekt" page: background compilation, the delay and its label, and
// the download port as far as the serial layer can open it.
#include "widgets/options/ProjectOptionsPage.h"

#include "TempSettings.h"
#include "TestApp.h"
#include "model/settings/Options.h"
#include "model/workers/V2Download.h"

#include <vexa/platform/SerialPort.h>

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QSlider>

#include <fcntl.h>
#include <unistd.h>
#include <cstdlib>
#include <optional>
#include <string>

namespace vexa::ide {
namespace {

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* Name, const std::string& Value) : name_(Name) {
    if (const char* old = std::getenv(Name)) old_ = old;
    ::setenv(Name, Value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// A pseudo-terminal whose other end stands in for a serial port.
class Pty {
 public:
  Pty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
      path_ = ::ptsname(master_);
  }
  ~Pty() {
    if (master_ >= 0) ::close(master_);
  }
  const std::string& Path() const { return path_; }

 private:
  int master_ = -1;
  std::string path_;
};

class ProjectOptionsPage : public testing::Test {
 protected:
  void SetUp() override {
    test::TestApp();
    options::ReadOptions();
  }
  void TearDown() override {
    options::ReadOptions();
    QLocale::setDefault(QLocale::c());
  }
  test::TTempSettings temp;
};

bool AllPorts(int) { return true; }

TEST_F(ProjectOptionsPage, TheDelayLoadsRoundedToTenthsAndIsStoredAsShown) {
  struct Case {
    int stored, position, written;
  } cases[] = {
      {1049, 10, 1000}, {1050, 11, 1100}, {200, 2, 200},
      {3000, 30, 3000}, {149, 2, 200},    {9999, 30, 3000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    for (bool basic : {false, true}) {
      int& delay =
          basic ? options::BackgroundCompilationDelayBASIC : options::BackgroundCompilationDelayV2;
      int& other =
          basic ? options::BackgroundCompilationDelayV2 : options::BackgroundCompilationDelayBASIC;
      delay = c.stored;
      other = 700;
      TProjectOptionsPage page(basic, nullptr, AllPorts);
      page.Load();
      EXPECT_EQ(page.tbDelay->value(), c.position);
      page.Apply();
      EXPECT_EQ(delay, c.written);
      EXPECT_EQ(other, 700) << "the other language's delay";
    }
  }
}

TEST_F(ProjectOptionsPage, CheckBoxAndPortGoToTheirLanguagesOptions) {
  options::BackgroundCompilationV2 = true;
  options::BackgroundCompilationBASIC = false;
  options::DownloadComV2 = 2;
  options::DownloadComBASIC = 7;
  TProjectOptionsPage v2(false, nullptr, AllPorts);
  TProjectOptionsPage basic(true, nullptr, AllPorts);
  v2.Load();
  basic.Load();
  EXPECT_TRUE(v2.cbBkgndCompilation->isChecked());
  EXPECT_FALSE(basic.cbBkgndCompilation->isChecked());
  EXPECT_TRUE(v2.rbCOM[1]->isChecked());
  EXPECT_TRUE(basic.rbCOM[6]->isChecked());

  v2.cbBkgndCompilation->setChecked(false);
  v2.rbCOM[3]->setChecked(true);
  v2.Apply();
  EXPECT_FALSE(options::BackgroundCompilationV2);
  EXPECT_EQ(options::DownloadComV2, 4);
  EXPECT_FALSE(options::BackgroundCompilationBASIC);
  EXPECT_EQ(options::DownloadComBASIC, 7);
  EXPECT_FALSE(v2.rbCOM[1]->isChecked()) << "one port at a time";
}

TEST_F(ProjectOptionsPage, PortCaptionsAndOnlyPortsThatOpenAreEnabled) {
  TProjectOptionsPage page(false, nullptr, [](int N) { return N % 2 == 0; });
  for (int n = 1; n <= 8; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(page.rbCOM[n - 1]->text(), QStringLiteral("COM &%1").arg(n));
    EXPECT_EQ(page.rbCOM[n - 1]->isEnabled(), n % 2 == 0);
  }
}

TEST_F(ProjectOptionsPage, AStoredPortThatDoesNotExistLeavesNoneCheckedAndOkStoresMinusOne) {
  ScopedEnv missing("VEXA_COM3", "/nonexistent/vexa-tty");
  EXPECT_FALSE(SerialPortAvailable(3));
  options::DownloadComV2 = 3;
  TProjectOptionsPage page(false);
  page.Load();
  EXPECT_FALSE(page.rbCOM[2]->isEnabled());
  for (QRadioButton* port : page.rbCOM)
    EXPECT_FALSE(port->isChecked()) << port->objectName().toStdString();
  page.Apply();
  EXPECT_EQ(options::DownloadComV2, -1);
}

TEST_F(ProjectOptionsPage, APortTheSerialLayerOpensIsOfferedAndAHeldOneIsNot) {
  Pty pty;
  ASSERT_FALSE(pty.Path().empty());
  ScopedEnv device("VEXA_COM5", pty.Path());
  EXPECT_TRUE(SerialPortAvailable(5));
  EXPECT_TRUE(SerialPortAvailable(5)) << "the probe closed the port again";
  options::DownloadComBASIC = 5;
  {
    TProjectOptionsPage page(true);
    page.Load();
    EXPECT_TRUE(page.rbCOM[4]->isEnabled());
    EXPECT_TRUE(page.rbCOM[4]->isChecked());
    page.Apply();
    EXPECT_EQ(options::DownloadComBASIC, 5);
  }
  platform::SerialPort holder;
  ASSERT_TRUE(holder.openPort(5));
  EXPECT_FALSE(SerialPortAvailable(5));
  TProjectOptionsPage page(true);
  EXPECT_FALSE(page.rbCOM[4]->isEnabled());
}

TEST_F(ProjectOptionsPage, TheLabelShowsSecondsInTheUsersLocale) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  options::BackgroundCompilationDelayV2 = 1000;
  TProjectOptionsPage page(false, nullptr, AllPorts);
  page.Load();
  EXPECT_EQ(page.lblDelay->text(), QString::fromUtf8("1,0 Sekunden"));
  page.tbDelay->setValue(25);
  EXPECT_EQ(page.lblDelay->text(), QString::fromUtf8("2,5 Sekunden"));
  page.tbDelay->setValue(2);
  EXPECT_EQ(page.lblDelay->text(), QString::fromUtf8("0,2 Sekunden"));

  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(TProjectOptionsPage::DelayText(30), "3.0 Sekunden");
}

}  // namespace
}  // namespace vexa::ide
