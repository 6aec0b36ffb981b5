// Procedures: threads and functions, each with its intermediate code and frame.
#pragma once

#include <memory>
#include <vector>

#include "DataSymbols.h"
#include "IntermediateCodeSequence.h"

namespace vexa::vx2 {

class Procedure : public Identified {
 public:
  // Appends local data and gives it frame space (unless reached through a reference).
  void allocateLocal(const DataPtr& data);
  // The i-th temporary string of the procedure, created on first use.
  std::shared_ptr<Variable> tempString(int i);
  void detach() override;

  IntermediateCodeSequence code;
  int frameSize = 0;
  int firstWord = 0;
  int lastWord = 0;
  std::vector<DataPtr> locals;
  std::vector<std::shared_ptr<Variable>> temps;
};

class Thread : public Procedure {
 public:
  explicit Thread(int startSlice) : startSlice(startSlice) {}
  int number = 0;
  int startSlice;
};

class Function : public Procedure {
 public:
  explicit Function(bool isInline) : isInline(isInline) {}
  void addParameter(const DataPtr& data);
  // Negative addresses, the last parameter nearest to 0.
  void layoutParameters();
  void detach() override;

  bool isInline;
  TypePtr returnType;
  std::shared_ptr<Variable> cap;
  std::vector<DataPtr> parameters;
  int parameterSize = 0;
};

using ProcedurePtr = std::shared_ptr<Procedure>;

}  // namespace vexa::vx2
