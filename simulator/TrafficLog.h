#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <mutex>

class QFile;

// What went over a simulated line, in order. Safe to read from any thread.
struct TrafficEntry {
    enum class Kind {
        Command, // one received line, without its line end (empty for a bare line end)
        Reply,   // the bytes sent for one command: echo, garbage and replies with their line ends
        Event,   // something that happened to the line ("hang-up", "line published ...")
        Status,  // an unsolicited status line of a streaming controller, with its line end
    };
    Kind kind = Kind::Event;
    int64_t elapsedMs = 0; // since the log was started
    QByteArray bytes;
};

class TrafficLog {
public:
    TrafficLog();
    ~TrafficLog();

    // Also writes every entry to `path` as it happens (one line each, escaped); false when the
    // file cannot be opened.
    bool WriteTo(const QString& path);
    void Add(TrafficEntry::Kind kind, const QByteArray& bytes);
    void Clear();

    QList<TrafficEntry> Entries() const;
    // The received command lines that were not empty, in order.
    QStringList Commands() const;
    // Every line sent, cut at CR (an LF after it dropped), garbage and echo included.
    QStringList ReplyLines() const;

    // "\r" and "\n" as escapes, other control and 8-bit bytes as "\xhh".
    static QString Escape(const QByteArray& bytes);

private:
    mutable std::mutex mutex;
    QList<TrafficEntry> entries;
    int64_t startMs = 0;
    std::unique_ptr<QFile> file;
};
