#include "ScriptedHub.h"

#include "data/CodePage.h"

#include <QCoreApplication>

#include <algorithm>

void TestClock::SleepMs(int ms) {
    now += ms;
    for (auto& listener : listeners)
        listener(now);
}

void TestClock::WaitUntil(qint64 deadlineMs, const std::function<bool()>& arrived) {
    while (now < deadlineMs && !arrived()) {
        SleepMs(1);
        QCoreApplication::sendPostedEvents();
    }
}

ScriptedHub::ScriptedHub(TestClock& testClock) : clock(testClock) {
    clock.listeners.push_back([this](qint64 now) { tick(now); });
}

int ScriptedHub::Open() {
    openFlag = 1;
    readyFlag = 1;
    linkState = kLinkOpen;
    return 1;
}

void ScriptedHub::Close() {
    openFlag = 0;
    readyFlag = 0;
    linkState = kLinkClosed;
}

void ScriptedHub::OnLine(const QString& line, std::vector<Chunk> chunks) {
    script.insert(line, std::move(chunks));
}

void ScriptedHub::At(qint64 time, const QString& text) {
    pending.push_back({time, {0, text}});
}

void ScriptedHub::LineErrorAt(qint64 time) {
    pending.push_back({time, {0, {}, true}});
}

bool ScriptedHub::WriteToLine(const QByteArray& bytes) {
    QString line = CodePage::FromAnsi(bytes);
    if (line.endsWith(QLatin1String("\r\n")))
        line.chop(2);
    sent << line;
    if (refuseWrites)
        return false;
    const auto found = script.constFind(line);
    if (found != script.cend()) {
        for (const Chunk& chunk : *found)
            pending.push_back({clock.now + chunk.delayMs, chunk});
    }
    return true;
}

void ScriptedHub::tick(qint64 now) {
    std::stable_sort(pending.begin(), pending.end(),
                     [](const Due& a, const Due& b) { return a.time < b.time; });
    while (!pending.empty() && pending.front().time <= now) {
        const Chunk chunk = pending.front().chunk;
        pending.erase(pending.begin());
        if (chunk.lineError)
            ReportLineError();
        else
            TakeIncoming(CodePage::ToAnsi(chunk.text));
    }
}

bool ChannelForwarder::event(QEvent* event) {
    if (event->type() == CPortHubEvent::EventType())
        ++received;
    if (DispatchPortHubEvent(event, channel))
        return true;
    return QObject::event(event);
}

ScriptedLine::ScriptedLine() {
    hub.Initialize();
    hub.AttatchWnd(&window);
    hub.Open();
    channel.setClock(&clock);
    channel.replyTimeoutMs = 2000;
}

ScriptedLine::~ScriptedLine() {
    hub.DetatchWnd();
    // Drop notifications still queued for the forwarder.
    QCoreApplication::removePostedEvents(&window);
}
