#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at path with bytes so that the file is either the old one
// or the complete new one: the bytes go to a temporary file in the same folder,
// which is flushed, synced and then renamed over the target. On failure the
// target is untouched, no temporary file remains, and error (if given) says why.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);
