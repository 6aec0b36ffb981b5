#include "model/libraries/Vx2CompLibrary.h"

#include "model/core/TextCodec.h"

#include <QFile>

namespace vexa::ide {

EV2DllException EV2DllException::Failed(const char* Function) {
  return EV2DllException("dll function " + FailedCallText(Function));
}

TVx2CompLibrary::TVx2CompLibrary(const QString& ProjectName, const TVx2CompFunctions& Functions)
    : f_(Functions) {
  handle_ = f_.openProject(ToWindows1252(ProjectName).constData());
  if (handle_ == 0) throw EV2DllException::Failed("openProject");
}

TVx2CompLibrary::~TVx2CompLibrary() {
  try {
    Close();
  } catch (const EV2DllException&) {
    // The project is gone for us either way.
  }
}

void TVx2CompLibrary::Check(std::int32_t Result, const char* Function) const {
  if (Result == 0) throw EV2DllException::Failed(Function);
}

void TVx2CompLibrary::Close() {
  if (handle_ == 0) return;
  const std::int32_t result = f_.closeProject(handle_);
  handle_ = 0;
  texts_.clear();
  Check(result, "closeProject");
}

bool TVx2CompLibrary::IsValidModuleName(const QString& Name) const {
  return f_.isValidModuleName(ToWindows1252(Name).constData()) != 0;
}

int TVx2CompLibrary::AddModule(const QString& Name, const QByteArray& Text) {
  const QByteArray name = ToWindows1252(Name);
  auto text = std::make_unique<const std::string>(Text.toStdString());
  const std::int32_t module =
      f_.addModule(handle_, name.constData(), text->c_str(), VX2COMP_SOURCE_TEXT);
  if (module == VX2COMP_INVALID_NAME || module == VX2COMP_DUPLICATE_NAME) {
    const char* reason = module == VX2COMP_INVALID_NAME ? " is not a valid module name"
                                                        : " is already a module of this project";
    throw EV2DllException("dll function addModule() failed - \"" + Name.toStdString() + "\"" +
                          reason);
  }
  if (module < 1) throw EV2DllException::Failed("addModule");
  texts_[module] = std::move(text);
  return module;
}

void TVx2CompLibrary::ReplaceModuleSource(int Module, const QByteArray& Text) {
  auto text = std::make_unique<const std::string>(Text.toStdString());
  Check(f_.replaceModuleSource(handle_, Module, text->c_str(), VX2COMP_SOURCE_TEXT),
        "replaceModuleSource");
  // Only now does the library read the new text instead of the old one.
  texts_[Module] = std::move(text);
}

void TVx2CompLibrary::RemoveModule(int Module) {
  Check(f_.removeModule(handle_, Module), "removeModule");
  texts_.erase(Module);
}

void TVx2CompLibrary::RemoveAll() {
  Check(f_.removeAll(handle_), "removeAll");
  texts_.clear();
}

void TVx2CompLibrary::SetMessageBuffer() {
  // A call that writes nothing must not leave the previous text readable.
  messages_[0] = '\0';
  Check(f_.setMessageBuffer(handle_, messages_.data(), kMessageBufferSize), "setMessageBuffer");
}

int TVx2CompLibrary::CompileModule(int Module) {
  SetMessageBuffer();
  const std::int32_t result = f_.compileModule(handle_, Module);
  Check(result, "compileModule");
  return result == -1 ? 0 : result;
}

std::vector<std::uint8_t> TVx2CompLibrary::GetModuleLineInfos(int Module, int LineCount) {
  if (LineCount <= 0) return {};
  std::vector<std::uint8_t> infos(std::size_t(LineCount), 0);
  Check(f_.getModuleLineInfos(handle_, Module, infos.data(), std::uint32_t(infos.size())),
        "getModuleLineInfos");
  return infos;
}

void TVx2CompLibrary::BeginBuild() { Check(f_.beginBuild(handle_), "beginBuild"); }

bool TVx2CompLibrary::FinishBuild() {
  SetMessageBuffer();
  return f_.finishBuild(handle_) != 0;
}

void TVx2CompLibrary::WriteOutputFile(const QString& BaseName) {
  Check(f_.writeOutputFile(handle_, QFile::encodeName(BaseName).constData()), "writeOutputFile");
}

std::uint32_t TVx2CompLibrary::GetRequiredVMCBufferSize() {
  return f_.getRequiredVMCBufferSize(handle_);
}

std::vector<std::uint8_t> TVx2CompLibrary::VMCImage() {
  const std::uint32_t size = GetRequiredVMCBufferSize();
  if (size == 0) return {};
  std::vector<std::uint8_t> image(size, 0);
  Check(f_.fillVMCBuffer(handle_, image.data()), "fillVMCBuffer");
  return image;
}

QString TVx2CompLibrary::MessageText() const {
  return BoundedText(messages_.data(), kMessageBufferSize);
}

QStringList TVx2CompLibrary::MessageLines() const {
  return ::vexa::ide::MessageLines(MessageText());
}

QString TVx2CompLibrary::MessageTextCRLF() const {
  QString text = MessageText();
  qsizetype first = 0, last = text.size();
  while (first < last && text[first].unicode() <= ' ') ++first;
  while (last > first && text[last - 1].unicode() <= ' ') --last;
  text = text.mid(first, last - first);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  text.replace(QLatin1String("\n"), QLatin1String("\r\n"));
  return text;
}

bool TVx2CompLibrary::GetIdentDefPos(const QString& Text, int& Module, int& Line) {
  std::int32_t module = Module, line = Line;
  if (f_.getIdentDefPos(handle_, ToWindows1252(Text).constData(), &module, &line) == 0)
    return false;
  Module = module;
  Line = line;
  return true;
}

bool TVx2CompLibrary::GetIdentCompletions(const QString& Text, int Module, int Line,
                                          QStringList& Lines) {
  std::vector<char> buffer(kCompletionBufferSize + 1, '\0');
  if (f_.getIdentCompletions(handle_, ToWindows1252(Text).constData(), Module, Line, buffer.data(),
                             kCompletionBufferSize) == 0)
    return false;
  Lines = ::vexa::ide::MessageLines(BoundedText(buffer.data(), kCompletionBufferSize));
  return true;
}

QString TVx2CompLibrary::GetIdentFullName(const QString& Text, int Module, int Line) {
  std::array<char, kFullNameBufferSize + 1> buffer{};
  if (f_.getIdentFullName(handle_, ToWindows1252(Text).constData(), Module, Line, buffer.data(),
                          kFullNameBufferSize) == 0)
    return {};
  return BoundedText(buffer.data(), kFullNameBufferSize);
}

}  // namespace vexa::ide
