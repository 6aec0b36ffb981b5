// Background compilation of a V2 project with the real compiler library: the
// time from a keystroke's compile request (the delayed tick, its delay left
// out) to the changed module's fresh line flags and messages on the main
// thread. A generated project of 10 modules with 500 lines each.
#include "model/projects/V2Project.h"
#include "model/settings/Options.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

namespace {

using namespace vexa::ide;

constexpr int kModules = 10;
constexpr int kFunctionsPerModule = 100;  // five lines each

QByteArray ModuleText(int Module) {
  QByteArray text;
  for (int f = 0; f < kFunctionsPerModule; ++f) {
    const QByteArray n = QByteArray::number(f);
    text += "function f" + n + "(int v) returns int {\n";
    text += "  int w;\n";
    text += "  w = v + " + QByteArray::number(Module) + ";\n";
    text += "  return w;\n";
    text += "}\n";
  }
  return text;
}

bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs = 60000) {
  QElapsedTimer timer;
  timer.start();
  while (!Done()) {
    if (timer.elapsed() > TimeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QThread::yieldCurrentThread();
  }
  return true;
}

void BM_KeystrokeToFreshLineFlags(benchmark::State& State) {
  QTemporaryDir dir;
  if (!dir.isValid()) {
    State.SkipWithError("no temporary folder");
    return;
  }
  QDir(dir.path()).mkpath("Lib");
  QByteArray projectText;
  for (int m = 0; m < kModules; ++m) {
    const QString name = QStringLiteral("m%1.v2").arg(m);
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly)) {
      State.SkipWithError("cannot write a module");
      return;
    }
    file.write(ModuleText(m));
    projectText += name.toLatin1() + "\r\n";
  }
  for (const char* name : {"Lib/modules.txt", "robot.v2p"}) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    if (!file.open(QIODevice::WriteOnly)) {
      State.SkipWithError("cannot write a list");
      return;
    }
    file.write(QByteArray(name) == "robot.v2p" ? projectText : QByteArray("// none\r\n"));
  }
  options::SystemModulesPath = dir.filePath("Lib");
  options::UserCommonModulesPath = dir.filePath("Lib");
  options::BackgroundCompilationV2 = true;
  options::BackgroundCompilationDelayV2 = 200;

  auto project = TVexaV2Project::Create(dir.filePath("robot.v2p"));
  const Ref<IVexaModule> last = project->GetModule(kModules - 1);
  if (!PumpUntil([&] { return last && last->HasLineInfos() && !project->IsCompiling(); })) {
    State.SkipWithError("the first build did not end");
    return;
  }
  for (int m = 0; m < kModules; ++m) {
    if (project->GetModule(m)->HasErrors()) {
      State.SkipWithError("a generated module does not compile");
      return;
    }
  }
  // The middle module: it and the modules after it are compiled again.
  const Ref<IVexaModule> module = project->GetModule(kModules / 2);
  for (auto _ : State) {
    module->TextChanged();  // the keystroke: the delayed compilation is scheduled
    QElapsedTimer timer;
    timer.start();
    project->CompileNow();  // its tick, without the delay
    if (!PumpUntil([&] { return module->HasLineInfos(); })) {
      State.SkipWithError("no line infos");
      break;
    }
    State.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    // The rest of the round (the modules after it) is not part of the figure.
    PumpUntil([&] { return !project->IsCompiling(); });
  }
  project->Close();
}
BENCHMARK(BM_KeystrokeToFreshLineFlags)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
