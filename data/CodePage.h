#pragma once

#include <QByteArray>
#include <QString>

// The ANSI code page of files and tables: Windows-1252. Characters it cannot hold become "?".
namespace CodePage {
QByteArray ToAnsi(const QString& text);
QString FromAnsi(const QByteArray& bytes);
QString FromAnsi(const char* bytes, qsizetype size);
} // namespace CodePage
