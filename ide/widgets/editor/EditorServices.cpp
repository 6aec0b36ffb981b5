#include "widgets/editor/EditorServices.h"

#include "widgets/editor/SearchController.h"
#include "widgets/editor/SourceEditor.h"
#include "widgets/editor/SourceEditorForm.h"
#include "widgets/editor/SourcePrinter.h"
#include "widgets/editor/VexaEditControl.h"
#include "widgets/editor/VexaLexer.h"

#include <QObject>

#include <map>
#include <memory>

namespace vexa::ide {
namespace {

// One search controller per control: it keeps the control's search-from-caret
// state and its replace question between runs. Dropped with the control.
TSearchController& SearchOf(TSourceEditor& Editor) {
  static std::map<const QObject*, std::unique_ptr<TSearchController>> controllers;
  TVexaEditControl* control = Editor.Control();
  auto found = controllers.find(control);
  if (found == controllers.end()) {
    found = controllers
                .emplace(control, std::make_unique<TSearchController>(
                                      control, static_cast<QWidget*>(Editor.Form())))
                .first;
    QObject::connect(control, &QObject::destroyed, [control] { controllers.erase(control); });
  }
  return *found->second;
}

}  // namespace

void InstallSourceEditorHooks() {
  TSourceEditorHooks& hooks = SourceEditorHooks();
  hooks.CreateLexer = [](TFileKind Kind, TVexaEditControl* Control) -> QsciLexer* {
    return CreateLexerFor(Kind, Control);
  };
  hooks.Find = [](TSourceEditor& Editor) { SearchOf(Editor).Find(); };
  hooks.FindNext = [](TSourceEditor& Editor) { SearchOf(Editor).FindNext(); };
  hooks.FindPrev = [](TSourceEditor& Editor) { SearchOf(Editor).FindPrev(); };
  hooks.Replace = [](TSourceEditor& Editor) { SearchOf(Editor).Replace(); };
  hooks.Print = [](TSourceEditor& Editor) {
    TVexaEditControl* control = Editor.Control();
    // The header names the file with its directory; an untitled text by its display name.
    const QString fileName = Editor.GetFileName();
    PrintSource(control, fileName.isEmpty() ? Editor.GetDisplayName() : fileName, control->lexer(),
                static_cast<QWidget*>(Editor.Form()));
  };
}

}  // namespace vexa::ide
