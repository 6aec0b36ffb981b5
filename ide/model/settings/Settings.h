#pragma once

// The IDE's settings store: one INI file in the user's configuration folder
// ("Dornik Electronic/Vexa IDE.ini"), every value under the group "1.0".
// A section is a path such as "Editor\Print" (or "Editor/Print"). A missing
// value, or one that does not read as the asked type, gives the default.
// Booleans are written 1 or 0; any non-zero number reads true.

#include <QString>

namespace vexa::ide::settings {

QString ReadString(const QString& Section, const QString& Name, const QString& Default);
int ReadInteger(const QString& Section, const QString& Name, int Default);
bool ReadBool(const QString& Section, const QString& Name, bool Default);
void WriteString(const QString& Section, const QString& Name, const QString& Value);
void WriteInteger(const QString& Section, const QString& Name, int Value);
void WriteBool(const QString& Section, const QString& Name, bool Value);
// Removes the section with its values and subsections.
void DeleteKey(const QString& Section);
void DeleteValue(const QString& Section, const QString& Name);

// Writes pending changes to the file; false when that failed.
bool Flush();
// Flushes and closes the store (end of the process); the next call opens it again.
void ReleaseSettings();

// For tests only: keeps the store in this file instead (empty: the user's file).
void SetSettingsFile(const QString& Path);

}  // namespace vexa::ide::settings
