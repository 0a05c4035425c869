#include "transfer/LineRun.h"

#include "comm/ControllerSession.h"
#include "transfer/LineBackup.h"

#include <QDateTime>
#include <QDir>
#include <QThread>

#include <memory>
#include <vector>

namespace {

// A whole-line run picks its nodes itself.
class NoChooser : public NodeChooser {
public:
    NodeChoice ChooseNode(const CControllerSession&) override { return NodeChoice{}; }
};

void Configure(CControllerSession& session, const LineRun::Settings& settings) {
    if (settings.replyTimeoutMs > 0)
        session.channel.replyTimeoutMs = settings.replyTimeoutMs;
    session.SetParamTables(settings.standardTable, settings.pulseTrainTable);
}

} // namespace

namespace LineRun {

bool BackupLines(const QList<PortTarget>& ports, const QString& dir, const Settings& settings,
                 LineProgress& progress, Manifest& manifest, QString* reason) {
    if (!QDir().mkpath(dir)) {
        if (reason)
            *reason = QDir::toNativeSeparators(dir);
        return false;
    }
    manifest.started = QDateTime::currentDateTime();
    const auto count = static_cast<std::size_t>(ports.size());
    std::vector<QList<ManifestEntry>> entries(count);
    std::vector<char> done(count, 0);
    std::vector<std::unique_ptr<QThread>> threads;
    for (std::size_t i = 0; i < count; ++i) {
        threads.emplace_back(QThread::create([&, i] {
            CControllerSession session;
            Configure(session, settings);
            NoChooser chooser;
            NoBusyIndicator busy;
            CLineBackup line(session, chooser, busy, progress);
            done[i] = line.BackupLine(ports[static_cast<qsizetype>(i)], dir, entries[i]);
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

bool LoadSet(const QString& dir, Manifest& manifest, QString* reason) {
    return manifest.Read(dir, reason) && manifest.CheckFiles(dir, reason);
}

bool RestoreLine(const PortTarget& port, const QString& dir, const QList<int>& nodes,
                 const Settings& settings, LineProgress& progress, Manifest& manifest) {
    CControllerSession session;
    Configure(session, settings);
    NoChooser chooser;
    NoBusyIndicator busy;
    CLineBackup line(session, chooser, busy, progress);
    const QString name = CLineBackup::LineName(port);
    // A set of one line restores onto whichever port it is given; otherwise the line's name
    // picks its entries.
    bool oneLine = true;
    for (const ManifestEntry& entry : manifest.controllers)
        oneLine = oneLine && entry.line == manifest.controllers.first().line;
    QList<ManifestEntry> entries;
    for (const ManifestEntry& entry : manifest.controllers) {
        if (oneLine || entry.line == name)
            entries.append(entry);
    }
    const bool done = line.RestoreLine(port, dir, entries, nodes);
    session.SetParamTables(nullptr, nullptr);
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
