#pragma once
// Shared by the main window's suites: a message recorder and file helpers.
#include "app/Messenger.h"

#include <QByteArray>
#include <QStringList>

class RecordingMessenger : public Messenger {
public:
    void message(QWidget *, const QString &text) override { messages << text; }
    void error(QWidget *, const QString &text) override { errors << text; }
    QStringList messages;
    QStringList errors;
};

// Creates a file of the given size (bytes of 'x') at path; false on failure.
bool makeFile(const QByteArray &path, qint64 size = 0);
bool makeDir(const QByteArray &path);
// Creates dir and dir/config, and points the settings at dir/config, so that every case starts
// from a directory and settings of its own; false on failure.
bool makeCaseDir(const QByteArray &dir);
QByteArray readAll(const QByteArray &path);
