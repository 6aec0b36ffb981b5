#pragma once

// Watched variables of a project: the name, the type and last value a
// simulation read, whether that value changed at the last reading, and the
// user's display format. TVexaV2Watch serves V2 projects, TVexaBASICWatch
// VXBasic projects. Main thread.

#include "model/core/VexaIntfs.h"

#include <QString>

#include <cstdint>

namespace vexa::ide {

// The text of a watch without a value.
inline constexpr char16_t kNoValueText[] = u"Auswertung nicht möglich";

// A V2 variable: byte, int, long, float or string (WatchType...). Integer
// values are cut to the type's width when set.
class TVexaV2Watch : public IVexaWatch {
 public:
  explicit TVexaV2Watch(QString Name);

  bool HasValue() override;
  void Invalidate() override;
  void Reset() override;
  bool GetChanged() override;
  TWatchFormat GetFormat() override;
  TWatchType GetType() override;
  QString GetName() override;
  QString GetTypeText() override;
  int GetIndex() override;
  // The value as the watches view shows it: "%g" with "." for floats, a
  // string between double quotes, integers in the display format ("0x" or
  // "0b" with every digit of the type's width).
  QString GetValueText() override;
  void SetFormat(TWatchFormat Format) override;
  void SetType(TWatchType Type) override;
  void SetFloatValue(double Value) override;
  void SetIntValue(std::int32_t Value) override;
  void SetTypeText(const QString& Text) override;
  void SetIndex(int Index) override;
  void SetStringValue(const QString& Text) override;

 private:
  bool changed_ = false;
  double floatValue_ = 0;
  QString name_;
  std::int32_t intValue_ = 0;
  QString typeText_;
  int index_ = -1;  // the simulation's variable index, -1 unknown
  QString stringValue_;
  bool hasValue_ = false;
  TWatchFormat format_ = TWatchFormat::Decimal;
  TWatchType watchType_ = TWatchType::Unknown;
};

// A VXBasic variable: always a signed 16-bit integer; the index is the
// simulation's storage address (0 unknown). Float, string and type setters
// are ignored.
class TVexaBASICWatch : public IVexaWatch {
 public:
  explicit TVexaBASICWatch(QString Name);

  bool HasValue() override;
  void Invalidate() override;
  void Reset() override;
  bool GetChanged() override;
  TWatchFormat GetFormat() override;
  TWatchType GetType() override;  // always TWatchType::Int
  QString GetName() override;
  QString GetTypeText() override;
  int GetIndex() override;
  // Decimal, "&H" with four hex digits or "&B" with sixteen binary digits.
  QString GetValueText() override;
  void SetFormat(TWatchFormat Format) override;
  void SetType(TWatchType Type) override;
  void SetFloatValue(double Value) override;
  void SetIntValue(std::int32_t Value) override;
  void SetTypeText(const QString& Text) override;
  void SetIndex(int Index) override;
  void SetStringValue(const QString& Text) override;

 private:
  bool changed_ = false;
  QString name_;
  std::int32_t value_ = 0;
  QString typeText_;
  int mapCode_ = 0;
  bool hasValue_ = false;
  TWatchFormat format_ = TWatchFormat::Decimal;
};

}  // namespace vexa::ide
