#include "transfer/TransferTexts.h"

#include "data/Conversions.h"
#include "platform/ResourceLibrary.h"

#include <QDir>
#include <QFileInfo>

namespace TransferTexts {

QString Text(int id) {
    return ResourceLibrary::LoadString(id);
}

QString Format(const QString& format, const QStringList& args) {
    QString out;
    out.reserve(format.size() + 32);
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        if (format.at(i + 1) == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        // %[-0][width][.precision]conversion
        qsizetype j = i + 1;
        bool zero = false;
        bool left = false;
        while (j < format.size() &&
               (format.at(j) == QLatin1Char('0') || format.at(j) == QLatin1Char('-'))) {
            zero = zero || format.at(j) == QLatin1Char('0');
            left = left || format.at(j) == QLatin1Char('-');
            ++j;
        }
        int width = 0;
        while (j < format.size() && format.at(j).isDigit()) {
            width = qMin(width * 10 + format.at(j).digitValue(), 255);
            ++j;
        }
        while (j < format.size() && (format.at(j) == QLatin1Char('.') || format.at(j).isDigit()))
            ++j;
        while (j < format.size() &&
               (format.at(j) == QLatin1Char('l') || format.at(j) == QLatin1Char('h')))
            ++j;
        if (j >= format.size() || !format.at(j).isLetter()) {
            // Not a placeholder: keep the text as it stands.
            out += c;
            continue;
        }
        QString value = next < args.size() ? args.at(next) : QString();
        ++next;
        if (value.size() < width) {
            const QChar pad = zero && !left ? QLatin1Char('0') : QLatin1Char(' ');
            if (left)
                value = value.leftJustified(width, QLatin1Char(' '));
            else if (pad == QLatin1Char('0') && value.startsWith(QLatin1Char('-')))
                value = QLatin1Char('-') + value.mid(1).rightJustified(width - 1, pad);
            else
                value = value.rightJustified(width, pad);
        }
        out += value;
        i = j;
    }
    return out;
}

bool IsAcceptableFileName(const QString& path, const QString& extension) {
    if (path.isEmpty() || path.size() > kMaxPathLength)
        return false;
    return FileExtensionOf(path) == extension;
}

ChosenPathProblem CheckChosenPath(const QString& path, const QString& extension, bool mustExist) {
    if (!IsAcceptableFileName(path, extension))
        return ChosenPathProblem::BadName;
    const QFileInfo info(path);
    if (mustExist && !info.isFile())
        return ChosenPathProblem::NoSuchFile;
    if (!mustExist && !info.absoluteDir().exists())
        return ChosenPathProblem::NoSuchFolder;
    if (info.isDir())
        return ChosenPathProblem::IsFolder;
    return ChosenPathProblem::None;
}

QString ChosenPathMessage(ChosenPathProblem problem, const QString& path,
                          const QString& extension) {
    using namespace TransferMessages;
    switch (problem) {
    case ChosenPathProblem::None:
        break;
    case ChosenPathProblem::BadName:
        if (path.size() > kMaxPathLength)
            return Text(kFileNameTooLong);
        return Format(Text(kWrongExtension), {extension});
    case ChosenPathProblem::NoSuchFile:
        return Format(Text(kNoSuchFile), {path});
    case ChosenPathProblem::NoSuchFolder:
        return Format(Text(kNoSuchFolder), {QFileInfo(path).absolutePath()});
    case ChosenPathProblem::IsFolder:
        return Format(Text(kIsFolder), {path});
    }
    return QString();
}

QString ChosenFolderMessage(const QString& path) {
    constexpr int kIsFile = 10478;
    if (path.size() > kMaxPathLength)
        return Text(TransferMessages::kFileNameTooLong);
    if (QFileInfo(path).exists() && !QFileInfo(path).isDir())
        return Format(Text(kIsFile), {path});
    return QString();
}

QString FileNamePart(const QString& path) {
    const QString part = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return part.isEmpty() ? path : part;
}

} // namespace TransferTexts
