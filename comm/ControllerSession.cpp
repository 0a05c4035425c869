#include "comm/ControllerSession.h"

#include "comm/BusyIndicator.h"
#include "comm/ItemOperations.h"
#include "comm/Keywords.h"
#include "data/ParamInfoTable.h"
#include "data/RobotCatalogInterface.h"
#include "platform/ResourceLibrary.h"
#include "platform/UserInteraction.h"

#include <QStringList>

namespace {

constexpr int kMsgCannotOpenPort = 41002;
constexpr int kMsgSearching = 41003;
constexpr int kMsgConnectionFailed = 41004;
constexpr int kMsgNoController = 41005;
constexpr int kMsgAssignmentFailed = 41008;
constexpr int kMsgAssignmentDone = 10083;
constexpr int kMsgReasonTimeOut = 10151;
constexpr int kMsgReasonLinkError = 10152;
constexpr int kMsgDuplicateNodes = 10154;
constexpr int kMsgReasonRefused = 10400;
constexpr int kMsgReasonBadAnswer = 10401;
constexpr int kMsgReasonSendFailed = 10402;
constexpr int kMsgReasonNotTaken = 10403;

constexpr int kLcdSettingParam = 75;

QString Text(int id) {
    return ResourceLibrary::LoadString(id);
}

// Closes the indicator on every way out of the search.
class ShownWhileSearching {
public:
    ShownWhileSearching(BusyIndicator& indicator, const QString& message) : busy(indicator) {
        busy.ShowSearch(message);
    }
    ~ShownWhileSearching() { Close(); }
    ShownWhileSearching(const ShownWhileSearching&) = delete;
    ShownWhileSearching& operator=(const ShownWhileSearching&) = delete;
    void Close() {
        if (shown)
            busy.Close();
        shown = false;
    }

private:
    BusyIndicator& busy;
    bool shown = true;
};

} // namespace

CControllerSession::CControllerSession() : channel(&portHub) {
    portHub.Initialize();
    channel.replyTimeoutMs = kReplyTimeoutMs;
    portHub.AttatchWnd(window());
}

CControllerSession::~CControllerSession() {
    ClosePort();
}

void CControllerSession::ClosePort() {
    if (!portHub.openFlag)
        return;
    // A command still waiting lies below this call on the stack: it cannot end before this
    // returns, so it ends with the closed port instead of being waited for. Nothing is
    // delivered here, which keeps this safe inside a destructor.
    channel.EndWaitForClosedPort();
    portHub.DetatchWnd();
    portHub.Close();
}

bool CControllerSession::event(QEvent* event) {
    if (DispatchPortHubEvent(event, channel))
        return true;
    return QObject::event(event);
}

void CControllerSession::SetParamTables(const ParamInfoTable* standard,
                                        const ParamInfoTable* pulseTrain) {
    paramTables = {standard, pulseTrain};
}

const ParamInfoTable* CControllerSession::paramTableFor(const ControllerData& data) const {
    return paramTables[data.modelCode.contains(QLatin1Char('B')) ? 1 : 0];
}

bool CControllerSession::OpenPort(int kind, uint16_t comPort) {
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

bool CControllerSession::OpenDevice(const QString& devicePath, int32_t baudRate) {
    if (portHub.openFlag)
        return true;
    commsettag settings;
    portHub.GetCommSet(&settings);
    settings.kind = 1;
    settings.devicePath = devicePath;
    settings.baudRate = baudRate > 0 ? baudRate : 38400;
    return openWithSettings(settings);
}

bool CControllerSession::openWithSettings(const commsettag& settings) {
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
    // The port manager turns ready as it opens; stop waiting should it close again meanwhile,
    // and give up on a port that does not turn ready within a reply time-out.
    channel.WaitFor([this] { return portHub.readyFlag != 0 || portHub.openFlag == 0; },
                    channel.replyTimeoutMs);
    if (portHub.openFlag != 0 && portHub.readyFlag == 0) {
        UI().ShowMessage(parent(), Text(kMsgCannotOpenPort));
        portHub.Close();
    }
    return portHub.openFlag != 0;
}

bool CControllerSession::searchLine(BusyIndicator& busy, QObject* messageParent, bool& duplicate) {
    ShownWhileSearching shown(busy, Text(kMsgSearching));

    QString answer;
    const bool ok = PrepareLine(portHub, channel) && QueryAllControllers(channel, answer) &&
                    ReadUserNames() && !answer.isEmpty();
    if (!ok) {
        shown.Close();
        if (IsLinkError(channel.lastFailure))
            UI().ShowMessage(messageParent, FailureText(kMsgConnectionFailed), MsgButtons::Ok,
                             MsgIcon::Error);
        else
            UI().ShowMessage(messageParent, Text(kMsgConnectionFailed));
        return false;
    }

    QList<RobotCatalogInterface::ControllerName> catalog;
    const bool listOk = RobotCatalogInterface::GetControllerList(catalog);
    QStringList knownNames;
    for (const auto& entry : catalog)
        knownNames << entry.controllerName;

    duplicate = HasDuplicateNodes(answer);
    const bool found = listOk && SearchReplies::ReadControllerBlocks(answer, knownNames,
                                                                     nodePresent, nodeModelName);
    shown.Close();
    if (!found) {
        UI().ShowMessage(messageParent, Text(kMsgNoController));
        return false;
    }
    return true;
}

bool CControllerSession::SearchControllers(BusyIndicator& busy, QObject* messageParent) {
    if (!portHub.openFlag)
        return false;
    bool duplicate = false;
    if (!searchLine(busy, messageParent, duplicate))
        return false;
    if (!duplicate)
        return true;
    return renumberNodes(busy, messageParent);
}

bool CControllerSession::renumberNodes(BusyIndicator& busy, QObject* messageParent) {
    if (UI().ShowMessage(messageParent, Text(kMsgDuplicateNodes), MsgButtons::OkCancel) !=
        MsgResult::Ok)
        return false;
    if (!portHub.openFlag) {
        UI().ShowMessage(messageParent, Text(kMsgAssignmentFailed));
        return false;
    }
    channel.SetValue(kKeyK, 0, kLcdSettingParam, 0);
    if (!AssignNodeNumbers(channel)) {
        UI().ShowMessage(messageParent, Text(kMsgAssignmentFailed));
        return false;
    }
    if (!SearchControllers(busy, messageParent))
        return false;
    QString text = Text(kMsgAssignmentDone);
    for (int n = 1; n <= kNodeCount; ++n) {
        const auto index = static_cast<std::size_t>(n - 1);
        if (nodePresent[index])
            text += QStringLiteral("%1 : %2\n")
                        .arg(n, 2, 10, QLatin1Char('0'))
                        .arg(nodeModelName[index]);
    }
    UI().ShowMessage(messageParent, text, MsgButtons::Ok, MsgIcon::Information);
    return true;
}

bool CControllerSession::ReadUserNames() {
    QString answer;
    if (!channel.QueryNumbered(kKeyComText, 0, 2, answer) || answer.isEmpty())
        return false;
    return SearchReplies::ReadUserNames(answer, nodeUserName);
}

QString CControllerSession::FailureText(int messageId) const {
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
