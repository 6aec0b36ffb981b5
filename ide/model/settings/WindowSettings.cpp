#include "model/settings/WindowSettings.h"

#include "model/settings/Settings.h"

namespace vexa::ide {
namespace {

const QString kMain = QStringLiteral("Main");
const QString kMisc = QStringLiteral("Misc");

}  // namespace

TWindowSettings LoadWindowSettings() {
  TWindowSettings s;
  s.Left = settings::ReadInteger(kMain, QStringLiteral("Left"), -1);
  s.Top = settings::ReadInteger(kMain, QStringLiteral("Top"), -1);
  s.Width = settings::ReadInteger(kMain, QStringLiteral("Width"), -1);
  s.Height = settings::ReadInteger(kMain, QStringLiteral("Height"), -1);
  if (s.HasPlacement()) s.Maximized = settings::ReadBool(kMain, QStringLiteral("Maximized"), false);
  s.StatusbarVisible = settings::ReadBool(kMain, QStringLiteral("StatusbarVisible"), true);
  // Kept as base64 text so that the INI file stays plain text.
  const QString state = settings::ReadString(kMain, QStringLiteral("ToolbarState"), QString());
  auto decoded =
      QByteArray::fromBase64Encoding(state.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
  if (decoded) s.ToolbarState = *decoded;
  s.ShowTipOfTheDay = settings::ReadBool(kMisc, QStringLiteral("ShowTipOfTheDay"), true);
  s.NextTipOfTheDay = settings::ReadInteger(kMisc, QStringLiteral("NextTipOfTheDay"), 0);
  return s;
}

void SaveWindowSettings(const TWindowSettings& Settings) {
  settings::WriteInteger(kMain, QStringLiteral("Left"), Settings.Left);
  settings::WriteInteger(kMain, QStringLiteral("Top"), Settings.Top);
  settings::WriteInteger(kMain, QStringLiteral("Width"), Settings.Width);
  settings::WriteInteger(kMain, QStringLiteral("Height"), Settings.Height);
  settings::WriteBool(kMain, QStringLiteral("Maximized"), Settings.Maximized);
  settings::WriteBool(kMain, QStringLiteral("StatusbarVisible"), Settings.StatusbarVisible);
  settings::WriteString(kMain, QStringLiteral("ToolbarState"),
                        QString::fromLatin1(Settings.ToolbarState.toBase64()));
  settings::WriteBool(kMisc, QStringLiteral("ShowTipOfTheDay"), Settings.ShowTipOfTheDay);
  settings::WriteInteger(kMisc, QStringLiteral("NextTipOfTheDay"), Settings.NextTipOfTheDay);
}

}  // namespace vexa::ide
