#pragma once
// Rules on file names and paths that the main window applies to the file list's rows.
#include <QByteArray>
#include <QString>

namespace names {

// The part of a path after its last '/'.
QByteArray baseName(const QByteArray &path);
QString baseName(const QString &path);

// From the last '.' of a name to its end, the dot included; empty when the name has no dot.
QString extension(const QString &name);

// The archive name proposed for a clicked file: the name without its extension, at most
// eight characters ("report.old.txt" gives "report.o", ".profile" gives "").
QString archiveNameProposal(const QString &fileName);

// True for names that the file list marks as programs (.exe .com .bat .pif, any case).
bool isExecutableName(const QByteArray &name);

// A key that sorts names case-insensitively for every letter, Cyrillic included. Keys compare
// byte-wise; equal keys fall back to the raw names so the order is total.
QByteArray sortKey(const QByteArray &rawName);

// The text a row shows: the name decoded as UTF-8, invalid bytes shown as replacement
// characters. The raw bytes stay the name for every operation.
QString displayName(const QByteArray &rawName);

} // namespace names
