// Decode and dispatch: one switch per instruction class, one short case per instruction.
#include "Instructions.h"
#include "MemoryOps.h"

namespace vexa::vx2sim {
namespace {

using vexa::isa::numberOf;
using vexa::isa::Op;
namespace mem = memory;

void plain(Machine& m, uint8_t n) {
  switch (n) {
    case numberOf(Op::Nop): break;
    case numberOf(Op::Stop): threads::stop(m); break;
    case numberOf(Op::Yield): m.endTurn(); break;
    case numberOf(Op::Sleep): threads::sleep(m); break;
    case numberOf(Op::Capture): threads::capture(m); break;
    case numberOf(Op::Release): threads::release(m); break;
    case numberOf(Op::Return): threads::returnPlain(m); break;
    case numberOf(Op::AddFrame):
      m.setTop<uint16_t>(static_cast<uint16_t>(m.top<uint16_t>() + m.frame()));
      break;
    case numberOf(Op::PushConstByteAt): mem::pushConstantAt<mem::Byte>(m); break;
    case numberOf(Op::PushConstIntAt): mem::pushConstantAt<mem::Int>(m); break;
    case numberOf(Op::PushConstLongAt): mem::pushConstantAt<mem::Long>(m); break;
    case numberOf(Op::PushConstFloatAt): mem::pushConstantAt<mem::Float>(m); break;
    case numberOf(Op::LoadByteAt): mem::loadAt<mem::Byte>(m); break;
    case numberOf(Op::LoadIntAt): mem::loadAt<mem::Int>(m); break;
    case numberOf(Op::LoadLongAt): mem::loadAt<mem::Long>(m); break;
    case numberOf(Op::LoadFloatAt): mem::loadAt<mem::Float>(m); break;
    case numberOf(Op::IncByteAt): mem::incrementAtPopped<mem::Byte>(m); break;
    case numberOf(Op::IncIntAt): mem::incrementAtPopped<mem::Int>(m); break;
    case numberOf(Op::IncLongAt): mem::incrementAtPopped<mem::Long>(m); break;
    case numberOf(Op::IncFloatAt): mem::incrementAtPopped<mem::Float>(m); break;
    case numberOf(Op::StoreByteAt): mem::storeAtPopped<mem::Byte>(m); break;
    case numberOf(Op::StoreIntAt): mem::storeAtPopped<mem::Int>(m); break;
    case numberOf(Op::StoreLongAt): mem::storeAtPopped<mem::Long>(m); break;
    case numberOf(Op::StoreFloatAt): mem::storeAtPopped<mem::Float>(m); break;
    case numberOf(Op::IntToLong): operators::intToLong(m); break;
    case numberOf(Op::IntToFloat): operators::intToFloat(m); break;
    case numberOf(Op::LongToInt): operators::longToInt(m); break;
    case numberOf(Op::LongToFloat): operators::longToFloat(m); break;
    case numberOf(Op::FloatToInt): operators::floatToInt(m); break;
    case numberOf(Op::FloatToLong): operators::floatToLong(m); break;
    case numberOf(Op::NotInt): operators::notInt(m); break;
    case numberOf(Op::NotLong): operators::notLong(m); break;
    case numberOf(Op::NotFloat): operators::notFloat(m); break;
    case numberOf(Op::NegInt): operators::negInt(m); break;
    case numberOf(Op::NegLong): operators::negLong(m); break;
    case numberOf(Op::NegFloat): operators::negFloat(m); break;
    case numberOf(Op::AbsInt): operators::absInt(m); break;
    case numberOf(Op::AbsLong): operators::absLong(m); break;
    case numberOf(Op::AbsFloat): operators::absFloat(m); break;
    case numberOf(Op::StoreIntBE): mem::storeIntBE(m); break;
    case numberOf(Op::StoreLongBE): mem::storeLongBE(m); break;
    case numberOf(Op::StoreFloatAtSum): mem::storeFloatAtSum(m); break;
    case numberOf(Op::LoadIntBE): mem::loadIntBE(m); break;
    case numberOf(Op::LoadLongBE): mem::loadLongBE(m); break;
    case numberOf(Op::LoadFloatAtSum): mem::loadFloatAtSum(m); break;
    case numberOf(Op::PortBitGet): ports::bitGet(m); break;
    case numberOf(Op::PortNibbleGet): ports::nibbleGet(m); break;
    case numberOf(Op::PortByteGet): ports::byteGet(m); break;
    case numberOf(Op::PortWordGet): ports::wordGet(m); break;
    case numberOf(Op::AdcGet): ports::adcGet(m); break;
    case numberOf(Op::PortBitSet): ports::bitSet(m); break;
    case numberOf(Op::PortNibbleSet): ports::nibbleSet(m); break;
    case numberOf(Op::PortByteSet): ports::byteSet(m); break;
    case numberOf(Op::PortWordSet): ports::wordSet(m); break;
    case numberOf(Op::PortBitDeact): ports::bitDeact(m); break;
    case numberOf(Op::PortNibbleDeact): ports::nibbleDeact(m); break;
    case numberOf(Op::PortByteDeact): ports::byteDeact(m); break;
    case numberOf(Op::PortWordDeact): ports::wordDeact(m); break;
    case numberOf(Op::PortBitToggle): ports::bitToggle(m); break;
    case numberOf(Op::PortBitPulse): ports::bitPulse(m); break;
    case numberOf(Op::CounterGet): ports::counterGet(m); break;
    case numberOf(Op::FrequencyGet): ports::frequencyGet(m); break;
    case numberOf(Op::PopTwoA):
    case numberOf(Op::PopTwoB):
      m.pop16();
      m.pop16();
      break;
    default: m.undefinedInstruction(); break;
  }
}

void withByte(Machine& m, uint8_t n, uint8_t b) {
  switch (n) {
    case numberOf(Op::Nop1): break;
    case numberOf(Op::ThreadStart): threads::start(m, b); break;
    case numberOf(Op::ThreadSetSlice): threads::setSlice(m, b); break;
    case numberOf(Op::ThreadRestoreSlice): threads::restoreSlice(m, b); break;
    case numberOf(Op::PushByte): m.push16(b); break;
    case numberOf(Op::Add): operators::group(m, Op::Add, b); break;
    case numberOf(Op::Sub): operators::group(m, Op::Sub, b); break;
    case numberOf(Op::Mul): operators::group(m, Op::Mul, b); break;
    case numberOf(Op::Div): operators::group(m, Op::Div, b); break;
    case numberOf(Op::Mod): operators::group(m, Op::Mod, b); break;
    case numberOf(Op::Equal): operators::group(m, Op::Equal, b); break;
    case numberOf(Op::NotEqual): operators::group(m, Op::NotEqual, b); break;
    case numberOf(Op::Greater): operators::group(m, Op::Greater, b); break;
    case numberOf(Op::GreaterEqual): operators::group(m, Op::GreaterEqual, b); break;
    case numberOf(Op::Less): operators::group(m, Op::Less, b); break;
    case numberOf(Op::LessEqual): operators::group(m, Op::LessEqual, b); break;
    case numberOf(Op::And): operators::group(m, Op::And, b); break;
    case numberOf(Op::Nand): operators::group(m, Op::Nand, b); break;
    case numberOf(Op::Or): operators::group(m, Op::Or, b); break;
    case numberOf(Op::Nor): operators::group(m, Op::Nor, b); break;
    case numberOf(Op::Xor): operators::group(m, Op::Xor, b); break;
    case numberOf(Op::Xnor): operators::group(m, Op::Xnor, b); break;
    case numberOf(Op::Shl): operators::group(m, Op::Shl, b); break;
    case numberOf(Op::Shr): operators::group(m, Op::Shr, b); break;
    case numberOf(Op::Sar): operators::group(m, Op::Sar, b); break;
    case numberOf(Op::Group25): operators::group(m, Op::Group25, b); break;
    case numberOf(Op::Group26): operators::group(m, Op::Group26, b); break;
    case numberOf(Op::Min): operators::group(m, Op::Min, b); break;
    case numberOf(Op::Max): operators::group(m, Op::Max, b); break;
    case numberOf(Op::MathFunc): operators::math(m, b); break;
    case numberOf(Op::DateTimeGet): modules::dateTimeGet(m, b); break;
    case numberOf(Op::TimerSet16): m.pop16(); break;
    case numberOf(Op::ClockGet): modules::clockGet(m, b); break;
    case numberOf(Op::TimerSet32): m.pop<uint32_t>(); break;
    case numberOf(Op::StringFunc): modules::string(m, b); break;
    case numberOf(Op::PlmFunc): modules::plm(m, b); break;
    case numberOf(Op::SerialFunc): modules::serial(m, b); break;
    case numberOf(Op::Device37Func): modules::device(m, Op::Device37Func, b); break;
    case numberOf(Op::Device38Func): modules::device(m, Op::Device38Func, b); break;
    case numberOf(Op::Device39Func): modules::device(m, Op::Device39Func, b); break;
    case numberOf(Op::Device40Func): modules::device(m, Op::Device40Func, b); break;
    case numberOf(Op::Device41Func): modules::device(m, Op::Device41Func, b); break;
    case numberOf(Op::LcdFunc): modules::lcd(m, b); break;
    default: m.undefinedInstruction(); break;
  }
}

void withOperand(Machine& m, uint8_t n, uint16_t o, uint16_t at) {
  switch (n) {
    case numberOf(Op::Nop2): break;
    case numberOf(Op::Call): threads::call(m, at, o); break;
    case numberOf(Op::ReturnN): threads::returnN(m, o); break;
    case numberOf(Op::AdjustSp): m.setSp(static_cast<uint16_t>(m.sp() + o)); break;
    case numberOf(Op::Jump): m.advance = static_cast<uint16_t>(m.advance + o); break;
    case numberOf(Op::JumpIfFalse):
      if (m.pop16() == 0) m.advance = static_cast<uint16_t>(m.advance + o);
      break;
    case numberOf(Op::PushInt): m.push16(o); break;
    case numberOf(Op::PushConstByte): mem::pushConstant<mem::Byte>(m, o); break;
    case numberOf(Op::PushConstInt): mem::pushConstant<mem::Int>(m, o); break;
    case numberOf(Op::PushConstLong): mem::pushConstant<mem::Long>(m, o); break;
    case numberOf(Op::PushConstFloat): mem::pushConstant<mem::Float>(m, o); break;
    case numberOf(Op::LoadByte): mem::loadFrom<mem::Byte>(m, o); break;
    case numberOf(Op::LoadInt): mem::loadFrom<mem::Int>(m, o); break;
    case numberOf(Op::LoadLong): mem::loadFrom<mem::Long>(m, o); break;
    case numberOf(Op::LoadFloat): mem::loadFrom<mem::Float>(m, o); break;
    case numberOf(Op::LoadLocalByte): mem::loadFrom<mem::Byte>(m, m.frameAddress(o)); break;
    case numberOf(Op::LoadLocalInt): mem::loadFrom<mem::Int>(m, m.frameAddress(o)); break;
    case numberOf(Op::LoadLocalLong): mem::loadFrom<mem::Long>(m, m.frameAddress(o)); break;
    case numberOf(Op::LoadLocalFloat): mem::loadFrom<mem::Float>(m, m.frameAddress(o)); break;
    case numberOf(Op::StoreByte): mem::storeTo<mem::Byte>(m, o); break;
    case numberOf(Op::StoreInt): mem::storeTo<mem::Int>(m, o); break;
    case numberOf(Op::StoreLong): mem::storeTo<mem::Long>(m, o); break;
    case numberOf(Op::StoreFloat): mem::storeTo<mem::Float>(m, o); break;
    case numberOf(Op::StoreLocalByte): mem::storeTo<mem::Byte>(m, m.frameAddress(o)); break;
    case numberOf(Op::StoreLocalInt): mem::storeTo<mem::Int>(m, m.frameAddress(o)); break;
    case numberOf(Op::StoreLocalLong): mem::storeTo<mem::Long>(m, m.frameAddress(o)); break;
    case numberOf(Op::StoreLocalFloat): mem::storeTo<mem::Float>(m, m.frameAddress(o)); break;
    case numberOf(Op::PutByte): mem::putTo<mem::Byte>(m, o); break;
    case numberOf(Op::PutInt): mem::putTo<mem::Int>(m, o); break;
    case numberOf(Op::PutLong): mem::putTo<mem::Long>(m, o); break;
    case numberOf(Op::PutFloat): mem::putTo<mem::Float>(m, o); break;
    case numberOf(Op::PutLocalByte): mem::putTo<mem::Byte>(m, m.frameAddress(o)); break;
    case numberOf(Op::PutLocalInt): mem::putTo<mem::Int>(m, m.frameAddress(o)); break;
    case numberOf(Op::PutLocalLong): mem::putTo<mem::Long>(m, m.frameAddress(o)); break;
    case numberOf(Op::PutLocalFloat): mem::putTo<mem::Float>(m, m.frameAddress(o)); break;
    case numberOf(Op::IncByte): mem::incrementAt<mem::Byte>(m, o); break;
    case numberOf(Op::IncInt): mem::incrementAt<mem::Int>(m, o); break;
    case numberOf(Op::IncLong): mem::incrementAt<mem::Long>(m, o); break;
    case numberOf(Op::IncFloat): mem::incrementAt<mem::Float>(m, o); break;
    case numberOf(Op::IncLocalByte): mem::incrementAt<mem::Byte>(m, m.frameAddress(o)); break;
    case numberOf(Op::IncLocalInt): mem::incrementAt<mem::Int>(m, m.frameAddress(o)); break;
    case numberOf(Op::IncLocalLong): mem::incrementAt<mem::Long>(m, m.frameAddress(o)); break;
    case numberOf(Op::IncLocalFloat): mem::incrementAt<mem::Float>(m, m.frameAddress(o)); break;
    default: m.undefinedInstruction(); break;
  }
}

void withByteAndOperand(Machine& m, uint8_t n, uint8_t b, uint16_t o) {
  switch (n) {
    case numberOf(Op::ReturnValue): threads::returnValue(m, b, o); break;
    case numberOf(Op::PushZeroByte):
    case numberOf(Op::PushZeroInt): m.push16(0); break;
    case numberOf(Op::PushZeroLong): m.push<uint32_t>(0); break;
    case numberOf(Op::PushZeroFloat): m.push<double>(0.0); break;
    case numberOf(Op::DropByte):
    case numberOf(Op::DropInt): m.pop16(); break;
    case numberOf(Op::DropLong): m.pop<uint32_t>(); break;
    case numberOf(Op::DropFloat): m.pop<double>(); break;
    case numberOf(Op::PopFour):
      for (int i = 0; i < 4; ++i) m.pop16();
      break;
    case numberOf(Op::Fill):
      m.haltCode = 0xFFFF;
      m.endTurn();
      break;
    default: break;  // Nop3, Nop3A, Nop3B and the numbers without an instruction do nothing
  }
}

}  // namespace

void Machine::dispatch(uint16_t w, uint16_t at) {
  using namespace vexa::isa;
  const uint8_t n = numberOf(w);
  switch (classOf(w)) {
    case kClassPlain:
      advance = 1;
      if (byteOf(w) != 0) [[unlikely]]
        undefinedInstruction();
      else
        plain(*this, n);
      break;
    case kClassByte:
      advance = 1;
      withByte(*this, n, byteOf(w));
      break;
    case kClassOperand:
      advance = 2;
      withOperand(*this, n, code[static_cast<uint16_t>(at + 1)], at);
      break;
    default:
      advance = 2;
      withByteAndOperand(*this, n, byteOf(w), code[static_cast<uint16_t>(at + 1)]);
      break;
  }
}

}  // namespace vexa::vx2sim
