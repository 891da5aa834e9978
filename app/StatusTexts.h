#pragma once
// The texts of the status bar's panels and of the clock.
#include <QDateTime>
#include <QString>

namespace status {

// Panel 0: " Файл: " and the name.
QString fileNameText(const QString &name);

// Panel 1: " Размер: ", the size in the unit (0 bytes, 1 kilobytes, 2 megabytes; fractions
// dropped at each division), a blank, the unit prefix and "байт". Sizes are 64-bit.
QString sizeText(qint64 size, int unitIndex);

// Panel 2: the last-write time in local time, "dd.mm.yyyy  hh:mm:ss". Times the DOS date can hold
// (1980 to 2107) are shown at its two-second resolution, so seconds are even; others as they are.
QString fileTimeText(qint64 mtimeSecondsSinceEpoch);

// Panel 3: the clock, "hh:mm:ss   dd.mm.yyyy".
QString clockText(const QDateTime &now);

} // namespace status
