#pragma once

#include "simulator/FaultPlan.h"
#include "simulator/SimController.h"
#include "simulator/SimResponder.h"
#include "simulator/TrafficLog.h"

#include <QList>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// How the controllers of a line behave. The defaults are those of real controllers; tests that
// need a laxer line turn single rules off.
struct SimBehaviour {
    bool debugModeForWrites = true; // writes need Debug Mode (K20, K75, K99, @SETID excepted)
    bool rangeChecks = true;        // K and H values within the parameter tables' ranges
    bool followUps = true;          // K76, K78, K89 recompute K77, K79, K90..K92
    bool loadingLine = false;       // "LOADING.<node>" before list replies
    QByteArray noise;               // bytes before every reply and status line
    // K99 "Data streaming" is on at power-up (Start): until it is set to 0, a controller sends
    // a status line ("RUN.<node>", "MSG.<node>=...", "END.<node>" in turn) after every
    // `streamIntervalMs` without traffic, always between whole replies. A silence fault stops
    // them too, until a command is answered again: nothing at all comes over a silent line.
    bool streaming = true;
    int streamIntervalMs = 250;
    // Items ("K44", "H2") whose writes every controller acknowledges without keeping them: the
    // single read right after the write answers the written value, the lists and every later
    // read the old one. A fault no item-by-item read-back can see.
    QStringList ignoredWrites;
};

// A line of simulated controllers on a pseudo-terminal. The slave side is published as the
// simulator line <k> (a link in ComPortTable::SimulatorLineFolder(), COM97 + k), so the program
// opens it like any serial port; a thread of its own reads the master side and answers. The
// program may close and reopen the port at will: replies to a closed port are dropped, as on a
// real line, and whatever was left unread is flushed.
class SimulatedLine {
public:
    explicit SimulatedLine(QList<SimController> controllers = {});
    ~SimulatedLine();
    SimulatedLine(const SimulatedLine&) = delete;
    SimulatedLine& operator=(const SimulatedLine&) = delete;

    // Opens the pseudo-terminal, publishes it as line `lineIndex` (0..31; -1 takes the first
    // free one) and starts answering. False, with the reason in `error`, when a step fails.
    bool Start(int lineIndex = -1, QString* error = nullptr);
    // With range checks on, a line whose parameter tables cannot be loaded does not start.
    // Stops answering, closes the pseudo-terminal and removes the link. Idempotent.
    void Stop();
    bool IsRunning() const { return running; }

    int LineIndex() const { return lineIndex; }
    int ComNumber() const { return lineIndex < 0 ? 0 : 97 + lineIndex; }
    QString LinkPath() const;
    // The slave device now behind the link (a line error moves the link to a fresh one).
    QString DevicePath() const;

    // Paces both directions at `baud` (10 bits a byte); 0 sends and takes bytes at once.
    void SetBaudRate(int baud);
    // A pause between the end of a command and the start of its reply.
    void SetReplyDelayMs(int ms);
    void AddFault(const FaultRule& rule);
    // Replaces the random fault plan (a rate of 0 turns it off); ClearFaults removes it too.
    void SetRandomFaults(const RandomFaults& plan);
    void ClearFaults();
    // Takes effect from the next command; streaming at power-up is decided by Start.
    void SetBehaviour(const SimBehaviour& behaviour);
    SimBehaviour Behaviour() const;
    // Adds `item` ("K44", "H2") to the behaviour's ignored writes.
    void IgnoreWrite(const QString& item);

    QList<SimController> Controllers() const;
    void SetControllers(const QList<SimController>& controllers);
    // Runs `change` on the controllers while no command is being carried out.
    void UpdateControllers(const std::function<void(QList<SimController>&)>& change);
    // Sets K `k` of every controller on `node`, as if changed at its panel between two runs.
    void SetParameter(int node, int k, int32_t value);

    TrafficLog& Log() { return traffic; }
    // Non-empty command lines received so far; fault rules count commands the same way.
    int CommandCount() const { return commandCount; }
    int64_t BytesReceived() const { return bytesReceived; }
    int64_t BytesSent() const { return bytesSent; }
    // Hang-ups done by line error faults.
    int LineErrors() const { return lineErrors; }
    // Unsolicited status lines sent so far.
    int StatusLines() const { return statusLines; }

private:
    bool OpenTerminal(int& masterOut, QString& deviceOut, QString* error);
    bool Publish(QString* error);
    void CloseTerminal();
    void Run();
    void HandleBytes(const char* bytes, qsizetype size);
    void HandleLine(const QByteArray& line);
    void HangUp();
    int StreamWaitMs();
    void SendStatusLine();
    void FlushUnread();
    void Send(const QByteArray& bytes, int pieceBytes, int pauseMs);
    bool WriteAll(const QByteArray& bytes);
    void PaceWire(qsizetype bytes);
    void SleepUntil(int64_t deadlineNs);
    void SleepMs(int ms);

    mutable std::mutex stateMutex; // controllers, faults, settings, paths
    QList<SimController> controllers;
    FaultPlan faults;
    SimBehaviour behaviour;
    const SimParamRanges* ranges = nullptr; // set by Start when range checks are on
    int baudRate = 0;
    int replyDelayMs = 0;
    QString slavePath;
    QString linkPath;

    TrafficLog traffic;
    std::thread worker;
    std::atomic<bool> running{false};
    std::atomic<bool> stopping{false};
    std::atomic<int> commandCount{0};
    std::atomic<int64_t> bytesReceived{0};
    std::atomic<int64_t> bytesSent{0};
    std::atomic<int> lineErrors{0};
    std::atomic<int> statusLines{0};

    int lineIndex = -1;
    int masterFd = -1;
    int lockFd = -1;
    int wakeFds[2] = {-1, -1};

    // Worker state.
    QByteArray pending;        // received bytes not yet a whole line
    bool skipLf = false;       // the last line ended in CR; an LF right after belongs to it
    bool peerGone = false;     // the program side has closed the port
    int64_t wireFreeNs = 0;    // when the paced wire is next free
    int64_t lastTrafficNs = 0; // the last byte in or out; status lines wait for a quiet line
    int statusTurn = 0;        // which controller and which status line come next
    bool muted = false;        // a silence fault: nothing comes over the line until a reply
};
