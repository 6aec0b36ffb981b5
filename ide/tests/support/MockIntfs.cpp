#include "MockIntfs.h"

namespace vexa::ide::test {

MockVexaIDE::MockVexaIDE() = default;
MockVexaIDE::~MockVexaIDE() = default;
MockVexaSourceEditor::MockVexaSourceEditor() = default;
MockVexaSourceEditor::~MockVexaSourceEditor() = default;
MockVexaSourceEditorFactory::MockVexaSourceEditorFactory() = default;
MockVexaSourceEditorFactory::~MockVexaSourceEditorFactory() = default;
MockVexaModule::MockVexaModule() = default;
MockVexaModule::~MockVexaModule() = default;
MockVexaProjectFactory::MockVexaProjectFactory() = default;
MockVexaProjectFactory::~MockVexaProjectFactory() = default;
MockVexaMessage::MockVexaMessage() = default;
MockVexaMessage::~MockVexaMessage() = default;
MockVexaWatch::MockVexaWatch() = default;
MockVexaWatch::~MockVexaWatch() = default;
MockVexaSimulator::MockVexaSimulator() = default;
MockVexaSimulator::~MockVexaSimulator() = default;
MockVexaToolWindow::MockVexaToolWindow() = default;
MockVexaToolWindow::~MockVexaToolWindow() = default;
MockMessageView::MockMessageView() = default;
MockMessageView::~MockMessageView() = default;
MockProjectEditor::MockProjectEditor() = default;
MockProjectEditor::~MockProjectEditor() = default;
MockWatchesView::MockWatchesView() = default;
MockWatchesView::~MockWatchesView() = default;
MockEditCommands::MockEditCommands() = default;
MockEditCommands::~MockEditCommands() = default;
MockFileCommands::MockFileCommands() = default;
MockFileCommands::~MockFileCommands() = default;
MockSearchCommands::MockSearchCommands() = default;
MockSearchCommands::~MockSearchCommands() = default;
MockDebugCommands::MockDebugCommands() = default;
MockDebugCommands::~MockDebugCommands() = default;
MockProjectCommands::MockProjectCommands() = default;
MockProjectCommands::~MockProjectCommands() = default;
MockV2SimulationFactory::MockV2SimulationFactory() = default;
MockV2SimulationFactory::~MockV2SimulationFactory() = default;
MockV2SimulationProject::MockV2SimulationProject() = default;
MockV2SimulationProject::~MockV2SimulationProject() = default;

template <class Base>
MockProjectOf<Base>::MockProjectOf() = default;
template <class Base>
MockProjectOf<Base>::~MockProjectOf() = default;

template class MockProjectOf<IVexaProject>;
template class MockProjectOf<IV2SimulationProject>;

}  // namespace vexa::ide::test

VEXA_MOCK_INSTANTIATIONS()
