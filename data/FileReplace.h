#pragma once

#include <QByteArray>
#include <QString>

// Writes `bytes` to a temporary file in the folder of `path` and renames it over `path` only
// when all of it reached the disk. On failure the temporary goes away, a previous file stays
// byte-identical, false is returned and `reason` (optional) receives the system's reason.
bool ReplaceFileContents(const QString& path, const QByteArray& bytes, QString* reason = nullptr);
