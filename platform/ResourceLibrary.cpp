#include "platform/ResourceLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QResource>

namespace ResourceLibrary {
namespace {

struct State {
    QMutex mutex;
    QString loadedPath;
    bool stringsParsed = false;
    QHash<int, QString> strings;
};

State& state() {
    static State s;
    return s;
}

QString unescape(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text[++i];
        switch (next.unicode()) {
        case 'n':
            out += u'\n';
            break;
        case 't':
            out += u'\t';
            break;
        case 'r':
            out += u'\r';
            break;
        case '\\':
            out += u'\\';
            break;
        default: // unknown escape: keep it as written
            out += c;
            out += next;
            break;
        }
    }
    return out;
}

// Parsed once per loaded library; a missing table leaves every id empty.
void parseStrings(State& s) {
    s.strings.clear();
    s.stringsParsed = true;
    QFile file(QString::fromLatin1(kRoot) + QStringLiteral("/strings.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        bool ok = false;
        const int id = line.left(tab).toInt(&ok);
        if (ok)
            s.strings.insert(id, unescape(line.mid(tab + 1)));
    }
}

QString existing(const QString& path) {
    return QFile::exists(path) ? path : QString();
}

} // namespace

bool Load(const QString& directory) {
    return LoadFile(QDir(directory).filePath(QString::fromLatin1(kFileName)));
}

bool LoadFile(const QString& path) {
    Unload();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo(absolute).isFile())
        return false;
    if (!QResource::registerResource(absolute, QString::fromLatin1(kRoot).mid(1)))
        return false;
    State& s = state();
    QMutexLocker lock(&s.mutex);
    s.loadedPath = absolute;
    s.stringsParsed = false;
    return true;
}

void Unload() {
    State& s = state();
    QMutexLocker lock(&s.mutex);
    if (!s.loadedPath.isEmpty())
        QResource::unregisterResource(s.loadedPath, QString::fromLatin1(kRoot).mid(1));
    s.loadedPath.clear();
    s.strings.clear();
    s.stringsParsed = false;
}

bool IsLoaded() {
    State& s = state();
    QMutexLocker lock(&s.mutex);
    return !s.loadedPath.isEmpty();
}

QString LoadedFilePath() {
    State& s = state();
    QMutexLocker lock(&s.mutex);
    return s.loadedPath;
}

QString LoadString(int id) {
    State& s = state();
    QMutexLocker lock(&s.mutex);
    if (s.loadedPath.isEmpty())
        return {};
    if (!s.stringsParsed)
        parseStrings(s);
    return s.strings.value(id);
}

namespace {

QString customPath(const char* type, int id) {
    return QStringLiteral("%1/%2/%3")
        .arg(QString::fromLatin1(kRoot), QString::fromLatin1(type))
        .arg(id);
}

} // namespace

QByteArray LoadCustom(const char* type, int id) {
    QFile file(customPath(type, id));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool HasCustom(const char* type, int id) {
    return QFile::exists(customPath(type, id));
}

QString IconPath(int id, int size) {
    const QString root = QString::fromLatin1(kRoot);
    if (size > 0) {
        const QString sized =
            existing(QStringLiteral("%1/icons/%2_%3.png").arg(root).arg(id).arg(size));
        if (!sized.isEmpty())
            return sized;
    }
    return existing(QStringLiteral("%1/icons/%2.png").arg(root).arg(id));
}

QStringList IconPaths(int id) {
    const QDir icons(QString::fromLatin1(kRoot) + QStringLiteral("/icons"));
    // "<id>.png", "<id>_16.png", "<id>@2x.png", "<id>_16@2x.png"; not "<id>0.png".
    const QRegularExpression name(QStringLiteral("^%1(_\\d+)?(@2x)?\\.png$").arg(id));
    QStringList paths;
    const QStringList candidates =
        icons.entryList({QStringLiteral("%1*.png").arg(id)}, QDir::Files, QDir::Name);
    for (const QString& file : candidates) {
        if (name.match(file).hasMatch())
            paths.append(icons.filePath(file));
    }
    return paths;
}

QString BitmapPath(int id, int ratio) {
    if (ratio != 1 && ratio != 2)
        return {};
    const QString suffix = ratio == 2 ? QStringLiteral("@2x") : QString();
    return existing(
        QStringLiteral("%1/bitmaps/%2%3.bmp").arg(QString::fromLatin1(kRoot)).arg(id).arg(suffix));
}

QString TemplatePath(int id) {
    return existing(QStringLiteral("%1/templates/%2.ui").arg(QString::fromLatin1(kRoot)).arg(id));
}

} // namespace ResourceLibrary
