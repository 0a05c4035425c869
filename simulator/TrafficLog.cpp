#include "simulator/TrafficLog.h"

#include "data/CodePage.h"

#include <QFile>

#include <chrono>

namespace {

int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

const char* kindTag(TrafficEntry::Kind kind) {
    switch (kind) {
    case TrafficEntry::Kind::Command:
        return ">";
    case TrafficEntry::Kind::Reply:
        return "<";
    case TrafficEntry::Kind::Status:
        return "~";
    case TrafficEntry::Kind::Event:
        break;
    }
    return "#";
}

} // namespace

TrafficLog::TrafficLog() : startMs(nowMs()) {}

TrafficLog::~TrafficLog() = default;

bool TrafficLog::WriteTo(const QString& path) {
    auto opened = std::make_unique<QFile>(path);
    if (!opened->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    std::lock_guard lock(mutex);
    file = std::move(opened);
    return true;
}

void TrafficLog::Add(TrafficEntry::Kind kind, const QByteArray& bytes) {
    std::lock_guard lock(mutex);
    TrafficEntry entry{kind, nowMs() - startMs, bytes};
    if (file) {
        const QString line = QStringLiteral("%1 %2 %3\n")
                                 .arg(entry.elapsedMs, 8)
                                 .arg(QLatin1String(kindTag(kind)))
                                 .arg(Escape(bytes));
        file->write(line.toUtf8());
        file->flush();
    }
    entries.append(std::move(entry));
}

void TrafficLog::Clear() {
    std::lock_guard lock(mutex);
    entries.clear();
}

QList<TrafficEntry> TrafficLog::Entries() const {
    std::lock_guard lock(mutex);
    return entries;
}

QStringList TrafficLog::Commands() const {
    QStringList commands;
    for (const TrafficEntry& entry : Entries()) {
        if (entry.kind == TrafficEntry::Kind::Command && !entry.bytes.isEmpty())
            commands << CodePage::FromAnsi(entry.bytes);
    }
    return commands;
}

QStringList TrafficLog::ReplyLines() const {
    QStringList lines;
    for (const TrafficEntry& entry : Entries()) {
        if (entry.kind != TrafficEntry::Kind::Reply)
            continue;
        QByteArray rest = entry.bytes;
        while (!rest.isEmpty()) {
            qsizetype end = rest.indexOf('\r');
            if (end < 0)
                end = rest.size();
            lines << CodePage::FromAnsi(rest.left(end));
            rest.remove(0, end + 1);
            if (rest.startsWith('\n'))
                rest.remove(0, 1);
        }
    }
    return lines;
}

QString TrafficLog::Escape(const QByteArray& bytes) {
    QString text;
    for (char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == '\r')
            text += QLatin1String("\\r");
        else if (c == '\n')
            text += QLatin1String("\\n");
        else if (c == '\\')
            text += QLatin1String("\\\\");
        else if (c < 0x20 || c >= 0x7f)
            text += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
        else
            text += QLatin1Char(static_cast<char>(c));
    }
    return text;
}
