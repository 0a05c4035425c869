#include "tests/support/SimLineFixture.h"

MsgResult HookedUserInteraction::ShowMessage(QObject* parent, const QString& text,
                                             MsgButtons buttons, MsgIcon icon) {
    if (onShow)
        onShow(text);
    return ScriptedUserInteraction::ShowMessage(parent, text, buttons, icon);
}

void SimLineFixture::SetUp() {
    previousUi = InstallUserInteraction(&Interaction());
    ASSERT_TRUE(folder.isValid());
}

void SimLineFixture::TearDown() {
    for (auto& line : moreLines)
        line->Stop();
    moreLines.clear();
    if (sim)
        sim->Stop();
    sim.reset();
    InstallUserInteraction(previousUi);
}

void SimLineFixture::start(SimulatedLine& line) {
    QString error;
    EXPECT_TRUE(line.Start(-1, &error)) << error.toStdString();
}

SimulatedLine& SimLineFixture::StartSimLine(const QList<SimController>& controllers,
                                            const SimBehaviour* behaviour) {
    if (sim)
        sim->Stop();
    sim = std::make_unique<SimulatedLine>(controllers);
    if (behaviour)
        sim->SetBehaviour(*behaviour);
    commandsSeen = 0;
    start(*sim);
    return *sim;
}

SimulatedLine& SimLineFixture::AddSimLine(const QList<SimController>& controllers) {
    moreLines.push_back(std::make_unique<SimulatedLine>(controllers));
    start(*moreLines.back());
    return *moreLines.back();
}

QStringList SimLineFixture::TakeCommands() {
    const QStringList all = sim->Log().Commands();
    const QStringList fresh = all.mid(commandsSeen);
    commandsSeen = static_cast<int>(all.size());
    return fresh;
}

QStringList SimLineFixture::Writes(const QStringList& commands) {
    QStringList writes;
    for (const QString& command : commands) {
        if (command.startsWith(QLatin1String("@?")) || command.startsWith(QLatin1String("@READ")) ||
            command == QLatin1String("@K99=0"))
            continue;
        writes << command;
    }
    return writes;
}

SimController SimLineFixture::ControllerOnNode(int node) const {
    for (const SimController& controller : sim->Controllers()) {
        if (controller.node() == node)
            return controller;
    }
    return SimController();
}
