#include "model/libraries/VxBas32Library.h"

#include "model/core/TextCodec.h"

#include <algorithm>

namespace vexa::ide {

namespace {

int DigitValue(QChar C) {
  if (C >= QLatin1Char('0') && C <= QLatin1Char('9')) return C.unicode() - '0';
  if (C >= QLatin1Char('A') && C <= QLatin1Char('F')) return C.unicode() - 'A' + 10;
  return -1;
}

}  // namespace

EVxBas32Exception EVxBas32Exception::Failed(const char* Function) {
  return EVxBas32Exception(FailedCallText(Function));
}

TVxBas32Library::TVxBas32Library(const TVxBas32Functions& Functions)
    : f_(Functions), messages_(kMessageBufferSize, '\0') {
  handle_ = f_.QuorinCreate();
  if (!handle_) throw EVxBas32Exception("Internal error: " + FailedCallText("QuorinCreate"));
}

TVxBas32Library::~TVxBas32Library() { f_.QuorinDestroy(handle_); }

TVxBas32Library::TCompileStatus TVxBas32Library::Compile(const QByteArray& Source) {
  source_ = Source;
  std::fill(messages_.begin(), messages_.end(), '\0');
  f_.QuorinSetCompilerMessageBuffer(handle_, messages_.data(), std::int32_t(kMessageBufferUsed));
  if (!f_.QuorinSetMemSourcePointer(handle_, source_.constData()))
    throw EVxBas32Exception::Failed("QuorinSetMemSourcePointer");
  const std::uint32_t r = f_.QuorinCompile(handle_, nullptr);
  TCompileStatus status;
  status.Status = int(r & 0xFFFF);
  if (status.Status == QUORIN_COMPILE_ERRORS) status.ErrorCount = int(r >> 16);
  return status;
}

QString TVxBas32Library::MessageText() const {
  return BoundedText(messages_.data(), messages_.size());
}

QByteArray TVxBas32Library::GetModuleLineInfos(int LineCount) {
  QByteArray infos(std::max(LineCount, 0), '\0');
  if (!f_.QuorinGetModuleLineInfos(handle_, reinterpret_cast<std::uint8_t*>(infos.data()),
                                   std::int32_t(infos.size())))
    throw EVxBas32Exception::Failed("QuorinGetModuleLineInfos");
  return infos;
}

int TVxBas32Library::CodeLength() { return f_.QuorinGetCodeLength(handle_); }
int TVxBas32Library::SysCodeLength() { return f_.QuorinGetSysCodeLength(handle_); }
void TVxBas32Library::ResetProgram() { f_.QuorinResetProgram(handle_); }

TVxBas32Library::TStepResult TVxBas32Library::Step() {
  const std::uint32_t r = f_.QuorinStep(handle_);
  return {int(r & 0xFFFF), int(r >> 16)};
}

void TVxBas32Library::SetInputValue(std::int16_t Value) { f_.QuorinSetInputValue(handle_, Value); }

std::uint32_t TVxBas32Library::MapSymbol(const QString& Name) {
  return f_.QuorinMapSymbol(handle_, ToWindows1252(Name).constData());
}

bool TVxBas32Library::SetValue(std::uint32_t Code, std::int16_t Value) {
  return f_.QuorinSetValue(handle_, Code, Value) != 0;
}

std::int16_t TVxBas32Library::GetValue(std::uint32_t Code) {
  return static_cast<std::int16_t>(f_.QuorinGetValue(handle_, Code));
}

std::int32_t TVxBas32Library::Download(std::int32_t PortDescriptor) {
  return f_.QuorinDownload(handle_, PortDescriptor);
}

std::optional<std::int16_t> ParseBasicInteger(const QString& Text) {
  int base = 10;
  int pos = 0;
  bool negative = false;
  if (Text.startsWith(QLatin1String("&B"))) {
    base = 2;
    pos = 2;
  } else if (Text.startsWith(QLatin1String("&H"))) {
    base = 16;
    pos = 2;
  } else if (Text.startsWith(QLatin1Char('-'))) {
    negative = true;
    pos = 1;
  }
  if (pos >= Text.size()) return std::nullopt;
  std::int32_t value = 0;
  for (; pos < Text.size(); ++pos) {
    const int digit = DigitValue(Text[pos]);
    if (digit < 0 || digit >= base) return std::nullopt;
    value = (value & 0x7FFF) * base + digit;
  }
  if (negative) value = -value;
  return static_cast<std::int16_t>(value & 0xFFFF);
}

}  // namespace vexa::ide
