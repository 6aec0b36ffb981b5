#pragma once

// The tips file of the tip of the day: plain text, one tip per line. Inside a
// line "\n" stands for a line break and "\\" for one backslash.

#include <QString>
#include <QStringList>

namespace vexa::ide {

// "TipsOfTheDay.txt" in the program's directory.
QString DefaultTipsFileName();

// The lines of the file (LF, CR LF or CR; a final line break starts no
// line). UTF-8, or Latin-1 when the file is not valid UTF-8. False, with
// Lines empty, when the file cannot be read.
bool ReadTipsFile(const QString& FileName, QStringList& Lines);

// The text a line shows. The escapes are read in one pass from left to
// right, so the "n" after an escaped backslash stays a letter; a backslash
// before any other character stays as it is.
QString DecodeTip(const QString& Line);

// The tip at TipIndex, decoded; TipIndex then addresses the following line.
// An index outside the lines starts again at the first one. False when there
// are no lines: Tip stays as it is and TipIndex becomes 0.
bool NextTip(const QStringList& Lines, int& TipIndex, QString& Tip);

}  // namespace vexa::ide
