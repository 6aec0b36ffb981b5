#include "Procedure.h"

namespace vexa::vx2 {

void Procedure::allocateLocal(const DataPtr& data) {
  locals.push_back(data);
  auto* variable = dynamic_cast<Variable*>(data.get());
  if (!(variable && variable->linked)) {
    int size = data->size();
    if (size > 1) frameSize = (frameSize + 1) & ~1;
    data->address = frameSize;
    frameSize += size;
  }
  code.frameSize = frameSize;
}

std::shared_ptr<Variable> Procedure::tempString(int i) {
  while (static_cast<int>(temps.size()) <= i) {
    auto temp = std::make_shared<Variable>(StringType::builtin(), STORAGE_LOCAL, false, 0, nullptr);
    temps.push_back(temp);
    allocateLocal(temp);
  }
  return temps[i];
}

void Procedure::detach() {
  Identified::detach();
  // The code may refer to the procedure itself; dropping it breaks that cycle.
  code.clear();
  locals.clear();
  temps.clear();
}

void Function::addParameter(const DataPtr& data) {
  parameters.push_back(data);
  parameterSize += data->size();
}

void Function::layoutParameters() {
  int sum = 0;
  for (auto it = parameters.rbegin(); it != parameters.rend(); ++it) {
    sum -= (*it)->size();
    (*it)->address = sum;
  }
}

void Function::detach() {
  Procedure::detach();
  parameters.clear();
  cap.reset();
}

}  // namespace vexa::vx2
