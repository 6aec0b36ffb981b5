#include "model/libraries/VexaMessage.h"

#include "model/core/Services.h"

#include <limits>
#include <utility>

namespace vexa::ide {

TVexaMessage::TVexaMessage(Ref<IVexaProject> Source, bool IsError, QString Text)
    : text_(std::move(Text)),
      kind_(IsError ? TMessageKind::Error : TMessageKind::Information),
      source_(std::move(Source)) {}

int TVexaMessage::GetLine() { return -1; }
QString TVexaMessage::GetText() { return text_; }
TMessageKind TVexaMessage::GetKind() { return kind_; }
Ref<IVexaModule> TVexaMessage::GetModule() { return nullptr; }
Ref<IVexaProject> TVexaMessage::GetSource() { return source_; }

TVexaModuleMessage::TVexaModuleMessage(Ref<IVexaProject> Source, bool IsError, QString Text,
                                       int Line, Ref<IVexaModule> Module)
    : TVexaMessage(std::move(Source), IsError, std::move(Text)),
      line_(Line),
      module_(std::move(Module)) {}

int TVexaModuleMessage::GetLine() { return line_; }
Ref<IVexaModule> TVexaModuleMessage::GetModule() { return module_; }

int MessageLineNumber(const QString& Line) {
  const qsizetype open = Line.indexOf(QLatin1Char('('));
  if (open < 0) return -1;
  long long number = 0;
  qsizetype i = open + 1;
  for (; i < Line.size() && Line[i] >= QLatin1Char('0') && Line[i] <= QLatin1Char('9'); ++i) {
    number = number * 10 + (Line[i].unicode() - '0');
    if (number > std::numeric_limits<int>::max()) return -1;
  }
  if (i == open + 1) return -1;
  return static_cast<int>(number);
}

QList<Ref<IVexaMessage>> MakeModuleMessages(const Ref<IVexaProject>& Source,
                                            const Ref<IVexaModule>& Module, const QString& Text) {
  QList<Ref<IVexaMessage>> messages;
  for (const QString& line : MessageLines(Text)) {
    const int number = MessageLineNumber(line);
    messages << std::make_shared<TVexaModuleMessage>(Source, number >= 1, line, number, Module);
  }
  return messages;
}

QList<Ref<IVexaMessage>> MakeModuleErrors(const Ref<IVexaProject>& Source,
                                          const Ref<IVexaModule>& Module, const QString& Text) {
  QList<Ref<IVexaMessage>> messages;
  for (const QString& line : MessageLines(Text))
    messages << std::make_shared<TVexaModuleMessage>(Source, true, line, MessageLineNumber(line),
                                                     Module);
  return messages;
}

QList<Ref<IVexaMessage>> MakeMessages(const Ref<IVexaProject>& Source, bool IsError,
                                      const QString& Text) {
  QList<Ref<IVexaMessage>> messages;
  for (const QString& line : MessageLines(Text))
    messages << std::make_shared<TVexaMessage>(Source, IsError, line);
  return messages;
}

void AddToMessageView(const QList<Ref<IVexaMessage>>& Messages) {
  if (!MessageView) return;
  for (const Ref<IVexaMessage>& message : Messages) MessageView->Add(message);
}

}  // namespace vexa::ide
