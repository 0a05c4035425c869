#include "comm/CommunicationWindow.h"

// The busy panel's inline accessors need these complete.
#include "controls/DrawnProgressBar.h"
#include <QLabel>

#include "controls/BusyPanel.h"

#include "app/VelmoraApp.h"
#include "comm/ItemOperations.h"
#include "comm/Keywords.h"
#include "comm/ReplyLines.h"
#include "data/RobotCatalogInterface.h"
#include "platform/ResourceLibrary.h"
#include "platform/UserInteraction.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QStringList>
#include <QThread>
#include <QWidget>

#include <memory>

namespace {

constexpr int kReplyTimeoutMs = 2000;
constexpr int kPanelWidth = 362;
constexpr int kPanelHeight = 100;

constexpr int kMsgCannotOpenPort = 41002;
constexpr int kMsgSearching = 41003;
constexpr int kMsgConnectionFailed = 41004;
constexpr int kMsgNoController = 41005;
constexpr int kMsgAssignmentFailed = 41008;
constexpr int kMsgClosing = 10026;
constexpr int kMsgAssignmentDone = 10083;
constexpr int kMsgReasonTimeOut = 10151;
constexpr int kMsgReasonLinkError = 10152;
constexpr int kMsgDuplicateNodes = 10154;
constexpr int kMsgReasonRefused = 10400;
constexpr int kMsgReasonBadAnswer = 10401;
constexpr int kMsgReasonSendFailed = 10402;
constexpr int kMsgReasonNotTaken = 10403;
constexpr int kFontFace = 21111;

constexpr int kLcdSettingParam = 75;

QString Text(int id) {
    return ResourceLibrary::LoadString(id);
}

// The busy panel is a widget: it is shown only in a widget application, so that the
// command-line tool can run the same search under a plain core application.
std::unique_ptr<CBusyPanel> ShowPanel(QWidget* owner, int barStyle, bool moving, bool mirrored,
                                      bool reversed, const QString& message) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    auto panel = std::make_unique<CBusyPanel>(false, barStyle, false, moving, mirrored, reversed);
    if (const CVelmoraApp* app = CVelmoraApp::instance())
        panel->SetEndIcons(app->panelIcons[0], app->panelIcons[1]);
    panel->Create(owner, kPanelWidth, kPanelHeight);
    QString face = Text(kFontFace);
    if (face.isEmpty())
        face = QStringLiteral("Tahoma");
    panel->SetMessageFont(QFont(face, 9));
    panel->SetMessage(message);
    panel->Show();
    return panel;
}

void RemovePanel(std::unique_ptr<CBusyPanel>& panel) {
    if (panel) {
        panel->Destroy();
        panel.reset();
    }
}

// Leading decimal number: optional white space and sign, digits up to the first non-digit.
int DecimalValue(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text.at(i).isDigit(); ++i) {
        value = value * 10 + text.at(i).digitValue();
        if (value > 0x7FFFFFFF)
            return negative ? INT32_MIN : INT32_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

CCommunicationWindow::CCommunicationWindow() : channel(&portHub) {
    portHub.Initialize();
    channel.replyTimeoutMs = kReplyTimeoutMs;
    portHub.AttatchWnd(window());
}

CCommunicationWindow::~CCommunicationWindow() {
    std::unique_ptr<CBusyPanel> panel;
    if (portHub.linkState != kLinkClosed)
        panel = ShowPanel(nullptr, 1, true, true, false, Text(kMsgClosing));
    if (portHub.openFlag) {
        // A command still running ends within its reply time-out; the bound only keeps a
        // command whose wait lies below this call on the stack from hanging the program.
        QElapsedTimer waited;
        waited.start();
        const qint64 limit = 3LL * qMax(channel.replyTimeoutMs, 1) + 1000;
        while (channel.busy && waited.elapsed() < limit) {
            CCommandChannel::PumpPendingMessages(1);
            QThread::msleep(1);
        }
        portHub.DetatchWnd();
        portHub.Close();
    }
    RemovePanel(panel);
}

bool CCommunicationWindow::event(QEvent* event) {
    if (DispatchPortHubEvent(event, channel))
        return true;
    return QObject::event(event);
}

void CCommunicationWindow::SetParamTables(const ParamInfoTable* standard,
                                          const ParamInfoTable* pulseTrain) {
    tablesOverridden = true;
    tableOverride = {standard, pulseTrain};
}

const ParamInfoTable* CCommunicationWindow::paramTableFor(const ControllerData& data) const {
    const int which = data.modelCode.contains(QLatin1Char('B')) ? 1 : 0;
    if (tablesOverridden)
        return tableOverride[which];
    if (const CVelmoraApp* app = CVelmoraApp::instance())
        return app->paramTables[which].get();
    return nullptr;
}

bool CCommunicationWindow::OpenPort(int kind, uint16_t comPort) {
    if (portHub.openFlag)
        return true;
    commsettag settings;
    portHub.GetCommSet(&settings);
    if (kind == kSerialPortKind) {
        settings.kind = 1;
        settings.comPort = comPort;
        settings.devicePath.clear();
    }
    return openWithSettings(settings);
}

bool CCommunicationWindow::OpenDevice(const QString& devicePath, int32_t baudRate) {
    if (portHub.openFlag)
        return true;
    commsettag settings;
    portHub.GetCommSet(&settings);
    settings.kind = 1;
    settings.devicePath = devicePath;
    settings.baudRate = baudRate > 0 ? baudRate : 38400;
    return openWithSettings(settings);
}

bool CCommunicationWindow::openWithSettings(const commsettag& settings) {
    portHub.SetCommSet(&settings);
    channel.portHub = &portHub;
    if (!portHub.Open()) {
        QString text = Text(kMsgCannotOpenPort);
        const QString reason = portHub.lastOpenError();
        if (!reason.isEmpty())
            text += QLatin1Char('\n') + reason;
        UI().ShowMessage(parent(), text);
        portHub.Close();
        return false;
    }
    // The port manager turns ready as it opens; stop waiting should it close again meanwhile.
    while (!portHub.readyFlag && portHub.openFlag) {
        CCommandChannel::PumpPendingMessages(1);
        QThread::msleep(1);
    }
    return portHub.openFlag != 0;
}

bool CCommunicationWindow::SearchControllers(QWidget* parentWindow) {
    if (!portHub.openFlag)
        return false;

    std::unique_ptr<CBusyPanel> panel =
        ShowPanel(parentWindow, 2, false, false, true, Text(kMsgSearching));

    QString answer;
    const bool ok = PrepareLine(portHub, channel) &&
                    QueryAllControllers(portHub, channel, answer) && ReadUserNames() &&
                    !answer.isEmpty();
    if (!ok) {
        RemovePanel(panel);
        if (IsLinkError(channel.lastError))
            UI().ShowMessage(parentWindow, FailureText(kMsgConnectionFailed), MsgButtons::Ok,
                             MsgIcon::Error);
        else
            UI().ShowMessage(parentWindow, Text(kMsgConnectionFailed));
        return false;
    }

    QList<RobotCatalogInterface::ControllerName> catalog;
    const bool listOk = RobotCatalogInterface::GetControllerList(catalog);
    QStringList knownNames;
    for (const auto& entry : catalog)
        knownNames << entry.controllerName;

    const bool duplicate = HasDuplicateNodes(answer);

    bool failed = true;
    if (listOk) {
        nodePresent.fill(false);
        for (QString& name : nodeModelName)
            name.clear();
        // One block per controller: its lines up to and including its OK line.
        const QStringList lines = CutReplyLines(answer);
        qsizetype next = 0;
        while (next < lines.size()) {
            QString entry;
            bool haveEntry = false;
            for (; next < lines.size(); ++next) {
                const QString& line = lines.at(next);
                if (line.contains(QLatin1String("OK."))) {
                    ++next;
                    break;
                }
                const qsizetype cont = line.indexOf(QLatin1String("CONT."));
                if (!haveEntry && cont >= 0) {
                    entry = line.mid(cont + 5);
                    haveEntry = true;
                }
            }
            const qsizetype equals = entry.indexOf(QLatin1Char('='));
            const QString nodeText = equals >= 0 ? entry.left(equals) : entry;
            const QString name = equals >= 0 ? entry.mid(equals + 1) : QString();

            failed = true;
            if (!haveEntry || !knownNames.contains(name, Qt::CaseSensitive))
                break;
            failed = false;
            const int node = DecimalValue(nodeText);
            if (node < 1 || node > kNodeCount) {
                failed = true;
                break;
            }
            nodePresent[node - 1] = true;
            nodeModelName[node - 1] = name;
        }
    }
    RemovePanel(panel);

    if (!listOk || failed) {
        UI().ShowMessage(parentWindow, Text(kMsgNoController));
        return false;
    }

    if (duplicate) {
        if (UI().ShowMessage(parentWindow, Text(kMsgDuplicateNodes), MsgButtons::OkCancel) !=
            MsgResult::Ok)
            return false;
        if (!portHub.openFlag) {
            UI().ShowMessage(parentWindow, Text(kMsgAssignmentFailed));
            return false;
        }
        channel.SetValue(kKeyK, 0, kLcdSettingParam, 0);
        if (!AssignNodeNumbers(portHub, channel)) {
            UI().ShowMessage(parentWindow, Text(kMsgAssignmentFailed));
            return false;
        }
        if (!SearchControllers(parentWindow))
            return false;
        QString text = Text(kMsgAssignmentDone);
        for (int n = 1; n <= kNodeCount; ++n) {
            if (nodePresent[n - 1])
                text += QStringLiteral("%1 : %2\n")
                            .arg(n, 2, 10, QLatin1Char('0'))
                            .arg(nodeModelName[n - 1]);
        }
        UI().ShowMessage(parentWindow, text, MsgButtons::Ok, MsgIcon::Information);
        return true;
    }
    return true;
}

bool CCommunicationWindow::HasDuplicateNodes(const QString& answer) {
    std::array<bool, kNodeCount> seen{};
    for (const QString& piece : CutReplyLines(answer)) {
        if (!piece.startsWith(QLatin1String("OK.")))
            continue;
        const int node = DecimalValue(QStringView(piece).mid(3));
        if (node < 1 || node > kNodeCount)
            continue;
        if (seen[node - 1])
            return true;
        seen[node - 1] = true;
    }
    return false;
}

bool CCommunicationWindow::ReadUserNames() {
    QString answer;
    if (!channel.QueryNumbered(kKeyComText, 0, 2, answer) || answer.isEmpty())
        return false;
    for (QString& name : nodeUserName)
        name.clear();
    for (const QString& piece : CutReplyLines(answer)) {
        if (piece.left(2) == QLatin1String("OK"))
            continue;
        const qsizetype dot = piece.indexOf(QLatin1Char('.'));
        const qsizetype equals = piece.indexOf(QLatin1Char('='));
        int node = 0;
        if (dot >= 0 && equals > dot)
            node = DecimalValue(QStringView(piece).mid(dot + 1, equals - dot - 1));
        if (node > kNodeCount)
            return false;
        if (node < 1)
            continue;
        nodeUserName[node - 1] = piece.mid(equals + 1);
    }
    return true;
}

bool CCommunicationWindow::IsLinkError(const QString& errorText) {
    return CCommandChannel::NgCodeOf(errorText) == kLinkErrorCode;
}

QString CCommunicationWindow::FailureText(int messageId) const {
    QString text = Text(messageId);
    const ChannelFailure& failure = channel.lastFailure;
    switch (failure.kind) {
    case ChannelFailure::Kind::None:
        break;
    case ChannelFailure::Kind::TimedOut:
        text += Text(kMsgReasonTimeOut);
        break;
    case ChannelFailure::Kind::LineError:
        text += Text(kMsgReasonLinkError);
        break;
    case ChannelFailure::Kind::Refused:
        text += Text(kMsgReasonRefused)
                    .replace(QLatin1String("%s"),
                             QStringLiteral("%1").arg(failure.ngCode, 2, 16, QLatin1Char('0')));
        break;
    case ChannelFailure::Kind::BadAnswer:
        text += Text(kMsgReasonBadAnswer);
        break;
    case ChannelFailure::Kind::SendFailed:
        text += Text(kMsgReasonSendFailed);
        break;
    case ChannelFailure::Kind::NotTaken:
        text += Text(kMsgReasonNotTaken).replace(QLatin1String("%s"), itemsNotTaken.join(u", "));
        break;
    }
    return text;
}
