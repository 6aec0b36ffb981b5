#include "model/libraries/Vx2SimLibrary.h"

#include "model/core/TextCodec.h"

#include <QFile>

#include <array>

namespace vexa::ide {

EV2SimException EV2SimException::Failed(const char* Function) {
  return EV2SimException(FailedCallText(Function));
}

TVx2SimLibrary::TVx2SimLibrary(const QString& OutputBaseName, const TVx2SimFunctions& Functions)
    : f_(Functions) {
  try {
    machine_ = f_.createMachine(QFile::encodeName(OutputBaseName).constData());
  } catch (...) {
    machine_ = nullptr;
  }
  if (!machine_) throw EV2SimException("Internal error: " + FailedCallText("createMachine"));
}

TVx2SimLibrary::~TVx2SimLibrary() { f_.destroyMachine(machine_); }

void TVx2SimLibrary::Step(StepInfo& Info) {
  if (!f_.step(machine_, &Info)) throw EV2SimException::Failed("step");
}

void TVx2SimLibrary::Reset() {
  if (!f_.resetMachine(machine_)) throw EV2SimException::Failed("resetMachine");
}

bool TVx2SimLibrary::GetVarInfo(const QString& Name, VarInfo& Info) {
  return f_.getVarInfo(machine_, ToWindows1252(Name).constData(), &Info) != 0;
}

std::optional<std::int32_t> TVx2SimLibrary::GetIntegerValue(std::int32_t Index) {
  std::int32_t value = 0;
  if (!f_.getIntegerValue(machine_, Index, &value)) return std::nullopt;
  return value;
}

std::optional<double> TVx2SimLibrary::GetFloatValue(std::int32_t Index) {
  double value = 0;
  if (!f_.getFloatValue(machine_, Index, &value)) return std::nullopt;
  return value;
}

std::optional<QString> TVx2SimLibrary::GetStringText(std::int32_t Index) {
  std::array<char, kStringTextSize> text{};
  if (!f_.getStringText(machine_, Index, text.data())) return std::nullopt;
  return BoundedText(text.data(), text.size());
}

bool TVx2SimLibrary::SetValueAsText(std::int32_t Index, const QString& Text) {
  return f_.setValueAsText(machine_, Index, ToWindows1252(Text).constData()) != 0;
}

}  // namespace vexa::ide
