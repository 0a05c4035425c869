#include "transfer/RollbackPoint.h"

#include "data/DataStore.h"
#include "transfer/Manifest.h"
#include "transfer/TransferTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace RollbackPoint {

namespace {

constexpr int kFolderNotCreated = 10485; // "The folder cannot be created."

// The names Save gives: the time first, so that names sort by age.
const QRegularExpression& NamePattern() {
    static const QRegularExpression pattern(QStringLiteral("^\\d{8}-\\d{6}-.+\\.kqd$"));
    return pattern;
}

} // namespace

QString Folder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("VelmoraFree/rollback"));
}

QString FileName(const QDateTime& time, const QString& line, int node, const QString& controller) {
    return time.toString(QStringLiteral("yyyyMMdd-HHmmss-")) +
           Manifest::BackupFileName(line, node, controller);
}

bool Save(const CDataStore& store, const ControllerData& present, const QString& line,
          const QString& folder, QString& path, QString* reason) {
    path.clear();
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        if (reason)
            *reason = TransferTexts::Text(kFolderNotCreated);
        return false;
    }
    const QString name = FileName(QDateTime::currentDateTime(), line,
                                  present.params().K(kNodeParam), present.controllerName);
    // Two writes within one second keep both points; the later one sorts after.
    QString candidate = dir.filePath(name);
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = dir.filePath(name.chopped(4) + QStringLiteral("_%1.kqd").arg(n));
    if (!store.SaveDataFile(candidate, present, true, true, reason))
        return false;
    path = candidate;
    Prune(folder);
    return true;
}

void Prune(const QString& folder, int keep) {
    const QDir dir(folder);
    QStringList names;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        if (NamePattern().match(name).hasMatch())
            names << name;
    }
    std::sort(names.begin(), names.end());
    for (qsizetype i = 0; i + keep < names.size(); ++i)
        QFile::remove(dir.filePath(names[i]));
}

} // namespace RollbackPoint
