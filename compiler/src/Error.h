// The parser's exception: every throw follows exactly one message line.
#pragma once

namespace vexa::vx2 {

struct Error {
  enum Code : int { PLAIN = 0, TYPE = 1, ABORT = 3 };
  int code;
};

}  // namespace vexa::vx2
