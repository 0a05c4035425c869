#include "transfer/LineRun.h"

#include "comm/ControllerSession.h"
#include "transfer/LineBackup.h"
#include "transfer/TransferTexts.h"

#include <QDateTime>
#include <QDir>
#include <QThread>

#include <memory>
#include <vector>

namespace {

constexpr int kConfirmLineBackup = 10463;
constexpr int kConfirmLineRestore = 10464;
constexpr int kNothingOfTheLine = 10465;
constexpr int kNothingOfTheNodes = 10466;
constexpr int kFolderNotMade = 10477;

// A whole-line run picks its nodes itself.
class NoChooser : public NodeChooser {
public:
    NodeChoice ChooseNode(const CControllerSession&) override { return NodeChoice{}; }
};

// One line's own session, on the calling thread, showing nothing of its own.
class LineSession {
public:
    LineSession(const LineRun::Settings& settings, LineProgress& progress)
        : line(session, chooser, busy, progress) {
        if (settings.replyTimeoutMs > 0)
            session.channel.replyTimeoutMs = settings.replyTimeoutMs;
        session.SetParamTables(settings.standardTable, settings.pulseTrainTable);
        line.messageParent = settings.messageParent;
    }
    ~LineSession() { session.SetParamTables(nullptr, nullptr); }
    LineSession(const LineSession&) = delete;
    LineSession& operator=(const LineSession&) = delete;

    CControllerSession session;
    NoChooser chooser;
    NoBusyIndicator busy;
    CLineBackup line;
};

bool BackupOneLine(const PortTarget& port, const QString& dir, const LineRun::Settings& settings,
                   LineProgress& progress, QList<ManifestEntry>& entries) {
    LineSession run(settings, progress);
    return run.line.BackupLine(port, dir, entries);
}

bool MakeFolder(const QString& dir, Manifest& manifest, QString* reason) {
    if (!QDir().mkpath(dir)) {
        if (reason)
            *reason = TransferTexts::Format(TransferTexts::Text(kFolderNotMade),
                                            {QDir::toNativeSeparators(dir)});
        return false;
    }
    manifest.started = QDateTime::currentDateTime();
    return true;
}

} // namespace

namespace LineRun {

bool BackupLines(const QList<PortTarget>& ports, const QString& dir, const Settings& settings,
                 LineProgress& progress, Manifest& manifest, QString* reason) {
    if (!MakeFolder(dir, manifest, reason))
        return false;
    const auto count = static_cast<std::size_t>(ports.size());
    std::vector<QList<ManifestEntry>> entries(count);
    std::vector<char> done(count, 0);
    std::vector<std::unique_ptr<QThread>> threads;
    for (std::size_t i = 0; i < count; ++i) {
        threads.emplace_back(QThread::create([&, i] {
            done[i] = BackupOneLine(ports[static_cast<qsizetype>(i)], dir, settings, progress,
                                    entries[i]);
        }));
        threads.back()->start();
    }
    bool all = true;
    for (std::size_t i = 0; i < count; ++i) {
        threads[i]->wait();
        all = all && done[i];
        manifest.controllers += entries[i];
    }
    manifest.finished = QDateTime::currentDateTime();
    return manifest.Write(dir, reason) && all;
}

bool BackupLine(const PortTarget& port, const QString& dir, const Settings& settings,
                LineProgress& progress, Manifest& manifest, QString* reason) {
    if (!MakeFolder(dir, manifest, reason))
        return false;
    const bool all = BackupOneLine(port, dir, settings, progress, manifest.controllers);
    manifest.finished = QDateTime::currentDateTime();
    return manifest.Write(dir, reason) && all;
}

QString BackupQuestion(const QString& dir) {
    return TransferTexts::Format(TransferTexts::Text(kConfirmLineBackup),
                                 {QDir::toNativeSeparators(dir)});
}

QString RestoreQuestion(const QString& dir, const PortTarget& port,
                        const QList<ManifestEntry>& entries) {
    using TransferTexts::Format;
    using TransferTexts::Text;
    QString text = Format(Text(kConfirmLineRestore), {QDir::toNativeSeparators(dir)});
    text += QStringLiteral("\n\n");
    const QString line = CLineBackup::LineName(port);
    for (const ManifestEntry& entry : entries) {
        text += Format(Text(TransferMessages::kControllerLineDevice),
                       {entry.controller, line, QString::number(entry.node)});
    }
    return text.trimmed();
}

bool LoadSet(const QString& dir, Manifest& manifest, QString* reason) {
    return manifest.Read(dir, reason) && manifest.CheckFiles(dir, reason);
}

bool LoadEntries(const QString& dir, const PortTarget& port, const QList<int>& nodes,
                 Manifest& manifest, QList<ManifestEntry>& entries, QString* reason) {
    entries.clear();
    if (!LoadSet(dir, manifest, reason))
        return false;
    entries = EntriesFor(manifest, port, nodes);
    if (!entries.isEmpty())
        return true;
    if (reason)
        *reason = TransferTexts::Format(
            TransferTexts::Text(nodes.isEmpty() ? kNothingOfTheLine : kNothingOfTheNodes),
            {QDir::toNativeSeparators(dir), CTransportProcedure::LineName(port)});
    return false;
}

QList<ManifestEntry> EntriesFor(const Manifest& manifest, const PortTarget& port,
                                const QList<int>& nodes) {
    const QString name = CLineBackup::LineName(port);
    // A set of one line restores onto whichever port it is given; otherwise the line's name
    // picks its entries.
    bool oneLine = true;
    for (const ManifestEntry& entry : manifest.controllers)
        oneLine = oneLine && entry.line == manifest.controllers.first().line;
    QList<ManifestEntry> entries;
    for (const ManifestEntry& entry : manifest.controllers) {
        if (entry.ok && (oneLine || entry.line == name) &&
            (nodes.isEmpty() || nodes.contains(entry.node)))
            entries.append(entry);
    }
    return entries;
}

bool RestoreLine(const PortTarget& port, const QString& dir, const QList<int>& nodes,
                 const Settings& settings, LineProgress& progress, Manifest& manifest) {
    QList<ManifestEntry> entries = EntriesFor(manifest, port, nodes);
    bool done = false;
    {
        LineSession run(settings, progress);
        done = run.line.RestoreLine(port, dir, entries, nodes);
    }
    // Results back into the manifest's entries.
    for (ManifestEntry& entry : manifest.controllers) {
        for (const ManifestEntry& restored : entries) {
            if (restored.line == entry.line && restored.node == entry.node &&
                restored.file == entry.file)
                entry = restored;
        }
    }
    return done;
}

} // namespace LineRun
