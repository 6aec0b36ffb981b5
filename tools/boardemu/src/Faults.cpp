#include "boardemu/Faults.h"

namespace vexa::boardemu {

namespace {

struct Entry {
  FaultKind kind;
  const char* name;
};

constexpr Entry kNames[] = {
    {FaultKind::None, "none"},          {FaultKind::NoAnswer, "no-answer"},
    {FaultKind::SlowAnswer, "slow"},    {FaultKind::WrongEcho, "wrong-echo"},
    {FaultKind::DropEcho, "drop-echo"}, {FaultKind::HangUp, "hang-up"},
    {FaultKind::Chatter, "chatter"},
};

}  // namespace

std::optional<FaultKind> parseFaultKind(const std::string& name) {
  for (const Entry& entry : kNames) {
    if (name == entry.name) return entry.kind;
  }
  return std::nullopt;
}

const char* faultKindName(FaultKind kind) {
  for (const Entry& entry : kNames) {
    if (entry.kind == kind) return entry.name;
  }
  return "?";
}

}  // namespace vexa::boardemu
