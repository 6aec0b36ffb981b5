#pragma once

// Messages of the message view: a plain one, and one that points at a line
// of a module. A compiler library's message text ("name (line) : text" per
// line) becomes messages through the functions below, in one place for
// every library wrapper and worker.

#include "model/core/VexaIntfs.h"
#include "model/libraries/LibraryKit.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vexa::ide {

// A message without a place: GetLine -1, GetModule none.
class TVexaMessage : public IVexaMessage {
 public:
  // Kind TMessageKind::Error when IsError, else TMessageKind::Information.
  TVexaMessage(Ref<IVexaProject> Source, bool IsError, QString Text);

  int GetLine() override;
  QString GetText() override;
  TMessageKind GetKind() override;
  Ref<IVexaModule> GetModule() override;
  Ref<IVexaProject> GetSource() override;

 private:
  QString text_;
  TMessageKind kind_;
  Ref<IVexaProject> source_;
};

// A message bound to a module and a line (-1: no line; Module may be none).
class TVexaModuleMessage : public TVexaMessage {
 public:
  TVexaModuleMessage(Ref<IVexaProject> Source, bool IsError, QString Text, int Line,
                     Ref<IVexaModule> Module);

  int GetLine() override;
  Ref<IVexaModule> GetModule() override;

 private:
  int line_;
  Ref<IVexaModule> module_;
};

// The number made of the decimal digits right after the first "(" of Line;
// -1 when there is no "(", no digit right after it, or the digits do not fit
// an int. "motor (12) : x" is 12, "(12a" 12, "( 12)" -1, "(0)" 0.
int MessageLineNumber(const QString& Line);

// One message per line of Text, bound to Module: an error when its line
// number is 1 or more, else an information ("motor : OK").
QList<Ref<IVexaMessage>> MakeModuleMessages(const Ref<IVexaProject>& Source,
                                            const Ref<IVexaModule>& Module, const QString& Text);
// One error per line of Text, bound to Module, with its line number (-1 when
// the line has none): a failed compile where every line is an error.
QList<Ref<IVexaMessage>> MakeModuleErrors(const Ref<IVexaProject>& Source,
                                          const Ref<IVexaModule>& Module, const QString& Text);
// One message without a place per line of Text, all of one kind.
QList<Ref<IVexaMessage>> MakeMessages(const Ref<IVexaProject>& Source, bool IsError,
                                      const QString& Text);

// Adds Messages to the message view, when there is one. Main thread.
void AddToMessageView(const QList<Ref<IVexaMessage>>& Messages);

}  // namespace vexa::ide
