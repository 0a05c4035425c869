#include "transfer/Manifest.h"

#include "transfer/TransferTexts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

constexpr int kFileMissing = 10460;
constexpr int kFileChanged = 10461;
constexpr int kManifestUnreadable = 10462;

void SetReason(QString* reason, int id, const QString& path, const QString& why = QString()) {
    if (!reason)
        return;
    *reason = TransferTexts::Format(TransferTexts::Text(id), {QDir::toNativeSeparators(path)});
    if (!why.isEmpty())
        *reason += QLatin1Char('\n') + why;
}

QString Safe(const QString& part) {
    QString out = part;
    for (QChar& c : out) {
        if (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    }
    return out;
}

QString Stamp(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace

QString Manifest::BackupFileName(const QString& line, int node, const QString& controller) {
    return Safe(QStringLiteral("%1-node%2-%3.kqd")
                    .arg(line)
                    .arg(node, 2, 10, QLatin1Char('0'))
                    .arg(controller));
}

QString Manifest::FileHash(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}

bool Manifest::Write(const QString& dir, QString* reason) const {
    QJsonArray list;
    for (const ManifestEntry& e : controllers) {
        list.append(QJsonObject{
            {QStringLiteral("line"), e.line},
            {QStringLiteral("device"), e.device},
            {QStringLiteral("node"), e.node},
            {QStringLiteral("controller"), e.controller},
            {QStringLiteral("user"), e.user},
            {QStringLiteral("robot"), e.robot},
            {QStringLiteral("file"), e.file},
            {QStringLiteral("size"), e.size},
            {QStringLiteral("sha256"), e.sha256},
            {QStringLiteral("result"), e.ok ? QStringLiteral("ok") : QStringLiteral("failed")},
            {QStringLiteral("reason"), e.reason}});
    }
    const QJsonObject root{{QStringLiteral("program"), QStringLiteral("VelmoraFree")},
                           {QStringLiteral("version"), QStringLiteral(VELMORA_PRODUCT_VERSION)},
                           {QStringLiteral("started"), Stamp(started)},
                           {QStringLiteral("finished"), Stamp(finished)},
                           {QStringLiteral("controllers"), list}};
    QSaveFile file(QDir(dir).filePath(FileName()));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(root).toJson()) < 0 ||
        !file.commit()) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return true;
}

bool Manifest::Read(const QString& dir, QString* reason) {
    QFile file(QDir(dir).filePath(FileName()));
    if (!file.open(QIODevice::ReadOnly)) {
        SetReason(reason, kManifestUnreadable, file.fileName(), file.errorString());
        return false;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (!doc.isObject()) {
        SetReason(reason, kManifestUnreadable, file.fileName(), error.errorString());
        return false;
    }
    const QJsonObject root = doc.object();
    started = QDateTime::fromString(root.value(QStringLiteral("started")).toString(), Qt::ISODate);
    finished =
        QDateTime::fromString(root.value(QStringLiteral("finished")).toString(), Qt::ISODate);
    controllers.clear();
    for (const QJsonValue& value : root.value(QStringLiteral("controllers")).toArray()) {
        const QJsonObject o = value.toObject();
        ManifestEntry e;
        e.line = o.value(QStringLiteral("line")).toString();
        e.device = o.value(QStringLiteral("device")).toString();
        e.node = o.value(QStringLiteral("node")).toInt();
        e.controller = o.value(QStringLiteral("controller")).toString();
        e.user = o.value(QStringLiteral("user")).toString();
        e.robot = o.value(QStringLiteral("robot")).toString();
        e.file = o.value(QStringLiteral("file")).toString();
        e.size = o.value(QStringLiteral("size")).toInteger();
        e.sha256 = o.value(QStringLiteral("sha256")).toString();
        e.ok = o.value(QStringLiteral("result")).toString() == QLatin1String("ok");
        e.reason = o.value(QStringLiteral("reason")).toString();
        controllers.append(e);
    }
    return true;
}

bool Manifest::CheckFiles(const QString& dir, QString* reason) const {
    for (const ManifestEntry& e : controllers) {
        if (!e.ok)
            continue;
        const QString path = QDir(dir).filePath(e.file);
        const QString hash = FileHash(path);
        if (hash.isEmpty() || hash != e.sha256) {
            SetReason(reason, hash.isEmpty() ? kFileMissing : kFileChanged, path);
            return false;
        }
    }
    return true;
}
