#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// The program's version information: a block of translations (a language and a code page),
// each with its string values ("ProductVersion", "LegalCopyright", ...). Here it is compiled
// into the program rather than read from the program file.
struct VersionTranslation {
    quint16 language = 0;
    quint16 codePage = 0;
    QMap<QString, QString> strings;
};

struct VersionInfo {
    QList<VersionTranslation> translations;
};

// The version information of this program: U.S. English, Unicode, with the product version
// the build was made with and the legal notice.
const VersionInfo& ProgramVersionInfo();

// The path under which `name` of `translation` is found: "\StringFileInfo\040904b0\name".
QString VersionStringPath(const VersionTranslation& translation, const QString& name);

// The value of `name` of the first translation, in stored order, that has it.
std::optional<QString> QueryVersionString(const VersionInfo& info, const QString& name);
