#include "model/projects/VexaWatch.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>

namespace vexa::ide {

namespace {

template <class T>
bool SameValue(const T& A, const T& B) {
  return A == B;
}

// Doubles are the same when their bits are: 0 and -0 differ (their texts do),
// while every NaN is the same as every other.
template <>
bool SameValue(const double& A, const double& B) {
  if (std::isnan(A) || std::isnan(B)) return std::isnan(A) && std::isnan(B);
  return std::bit_cast<std::uint64_t>(A) == std::bit_cast<std::uint64_t>(B);
}

// Stores Value unless it equals the stored one; Changed tells which.
template <class T>
void SetValue(T& Stored, const T& Value, bool& HasValue, bool& Changed) {
  if (HasValue && SameValue(Stored, Value)) {
    Changed = false;
    return;
  }
  Stored = Value;
  HasValue = true;
  Changed = true;
}

// Value in Base with Count digits, upper case, leading zeros kept.
QString Digits(std::uint32_t Value, int Count, int Base) {
  return QString::number(Value, Base).toUpper().rightJustified(Count, QLatin1Char('0'));
}

}  // namespace

TVexaV2Watch::TVexaV2Watch(QString Name) : name_(std::move(Name)) {}

bool TVexaV2Watch::HasValue() { return hasValue_; }

void TVexaV2Watch::Invalidate() {
  changed_ = false;
  hasValue_ = false;
}

void TVexaV2Watch::Reset() {
  changed_ = false;
  index_ = -1;
  hasValue_ = false;
}

bool TVexaV2Watch::GetChanged() { return changed_; }
TWatchFormat TVexaV2Watch::GetFormat() { return format_; }
TWatchType TVexaV2Watch::GetType() { return watchType_; }
QString TVexaV2Watch::GetName() { return name_; }
QString TVexaV2Watch::GetTypeText() { return typeText_; }
int TVexaV2Watch::GetIndex() { return index_; }

QString TVexaV2Watch::GetValueText() {
  if (!hasValue_) return QString::fromUtf16(kNoValueText);
  if (watchType_ == TWatchType::Float) {
    // Qt's "%g" drops the sign of -0, C's keeps it.
    if (floatValue_ == 0 && std::signbit(floatValue_)) return QStringLiteral("-0");
    return QString::asprintf("%g", floatValue_);
  }
  if (watchType_ == TWatchType::String) return QLatin1Char('"') + stringValue_ + QLatin1Char('"');
  const int width = watchType_ == TWatchType::Byte ? 1 : watchType_ == TWatchType::Int ? 2 : 4;
  const std::uint32_t bits = static_cast<std::uint32_t>(intValue_);
  switch (format_) {
    case TWatchFormat::Hex: return QStringLiteral("0x") + Digits(bits, 2 * width, 16);
    case TWatchFormat::Binary: return QStringLiteral("0b") + Digits(bits, 8 * width, 2);
    default:
      if (watchType_ == TWatchType::Byte) return QString::number(bits & 0xFF);
      if (watchType_ == TWatchType::Int) return QString::number(static_cast<std::int16_t>(bits));
      return QString::number(intValue_);
  }
}

void TVexaV2Watch::SetFormat(TWatchFormat Format) { format_ = Format; }
void TVexaV2Watch::SetType(TWatchType Type) { watchType_ = Type; }

void TVexaV2Watch::SetFloatValue(double Value) {
  SetValue(floatValue_, Value, hasValue_, changed_);
}

void TVexaV2Watch::SetIntValue(std::int32_t Value) {
  if (watchType_ == TWatchType::Byte)
    Value &= 0xFF;
  else if (watchType_ == TWatchType::Int)
    Value &= 0xFFFF;
  SetValue(intValue_, Value, hasValue_, changed_);
}

void TVexaV2Watch::SetTypeText(const QString& Text) { typeText_ = Text; }
void TVexaV2Watch::SetIndex(int Index) { index_ = Index; }

void TVexaV2Watch::SetStringValue(const QString& Text) {
  SetValue(stringValue_, Text, hasValue_, changed_);
}

TVexaBASICWatch::TVexaBASICWatch(QString Name) : name_(std::move(Name)) {}

bool TVexaBASICWatch::HasValue() { return hasValue_; }

void TVexaBASICWatch::Invalidate() {
  changed_ = false;
  hasValue_ = false;
}

void TVexaBASICWatch::Reset() {
  changed_ = false;
  mapCode_ = 0;
  hasValue_ = false;
}

bool TVexaBASICWatch::GetChanged() { return changed_; }
TWatchFormat TVexaBASICWatch::GetFormat() { return format_; }
TWatchType TVexaBASICWatch::GetType() { return TWatchType::Int; }
QString TVexaBASICWatch::GetName() { return name_; }
QString TVexaBASICWatch::GetTypeText() { return typeText_; }
int TVexaBASICWatch::GetIndex() { return mapCode_; }

QString TVexaBASICWatch::GetValueText() {
  if (!hasValue_) return QString::fromUtf16(kNoValueText);
  const std::uint32_t bits = static_cast<std::uint16_t>(value_);
  switch (format_) {
    case TWatchFormat::Hex: return QStringLiteral("&H") + Digits(bits, 4, 16);
    case TWatchFormat::Binary: return QStringLiteral("&B") + Digits(bits, 16, 2);
    default: return QString::number(value_);
  }
}

void TVexaBASICWatch::SetFormat(TWatchFormat Format) { format_ = Format; }
void TVexaBASICWatch::SetType(TWatchType) {}
void TVexaBASICWatch::SetFloatValue(double) {}

void TVexaBASICWatch::SetIntValue(std::int32_t Value) {
  const std::int32_t value = static_cast<std::int16_t>(Value & 0xFFFF);
  SetValue(value_, value, hasValue_, changed_);
}

void TVexaBASICWatch::SetTypeText(const QString& Text) { typeText_ = Text; }
void TVexaBASICWatch::SetIndex(int Index) { mapCode_ = Index; }
void TVexaBASICWatch::SetStringValue(const QString&) {}

}  // namespace vexa::ide
