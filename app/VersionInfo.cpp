#include "app/VersionInfo.h"

#ifndef VELMORA_PRODUCT_VERSION
#error "VELMORA_PRODUCT_VERSION must come from the build"
#endif

namespace {

constexpr quint16 kUsEnglish = 0x0409;
constexpr quint16 kUnicode = 0x04b0;

} // namespace

const VersionInfo& ProgramVersionInfo() {
    static const VersionInfo info = [] {
        VersionTranslation english;
        english.language = kUsEnglish;
        english.codePage = kUnicode;
        english.strings = {
            {QStringLiteral("ProductName"), QStringLiteral("VelmoraFree")},
            {QStringLiteral("ProductVersion"), QStringLiteral(VELMORA_PRODUCT_VERSION)},
            {QStringLiteral("FileVersion"), QStringLiteral(VELMORA_PRODUCT_VERSION)},
            {QStringLiteral("LegalCopyright"),
             QStringLiteral("Copyright (C) 2026 The VelmoraFree authors")},
        };
        return VersionInfo{{english}};
    }();
    return info;
}

QString VersionStringPath(const VersionTranslation& translation, const QString& name) {
    return QStringLiteral("\\StringFileInfo\\%1%2\\%3")
        .arg(translation.language, 4, 16, QLatin1Char('0'))
        .arg(translation.codePage, 4, 16, QLatin1Char('0'))
        .arg(name);
}

std::optional<QString> QueryVersionString(const VersionInfo& info, const QString& name) {
    for (const VersionTranslation& translation : info.translations) {
        const auto found = translation.strings.constFind(name);
        if (found != translation.strings.constEnd())
            return *found;
    }
    return std::nullopt;
}
