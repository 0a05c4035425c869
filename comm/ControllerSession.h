#pragma once

#include "comm/CommandChannel.h"
#include "comm/SearchReplies.h"
#include "data/ControllerData.h"
#include "data/DataStore.h"
#include "porthub/PortHub.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

class BusyIndicator;
struct ParamInfoTable;

// The controllers on one port: owns the port manager, the command channel over it, the node
// table of the last search and the data store whose line parsers read controller lists. It is
// the object the port manager posts its notifications to, so every operation runs on the
// thread the session lives on; sessions on different threads share nothing. Questions and
// messages go through UI(), progress through a BusyIndicator; it creates no widget.
class CControllerSession : public QObject {
    Q_OBJECT
public:
    // Connection kind accepted by OpenPort: a serial port given by its COM number.
    static constexpr int kSerialPortKind = 2;
    static constexpr int kReplyTimeoutMs = 2000;

    CControllerSession();
    ~CControllerSession() override;
    CControllerSession(const CControllerSession&) = delete;
    CControllerSession& operator=(const CControllerSession&) = delete;

    // The object to hand to portHub.AttatchWnd().
    QObject* window() { return this; }

    // Opens COM `comPort` (kind 2). True at once when the port is already open. A port that
    // cannot be opened shows message 41002 with the port manager's reason on its own line.
    bool OpenPort(int kind, uint16_t comPort);
    // The same for a device given by its path (pseudo-terminals, adapters outside the COM
    // table), at `baudRate` (0: the default 38400).
    bool OpenDevice(const QString& devicePath, int32_t baudRate = 0);
    // Detaches from and closes the port; a command still waiting for its reply ends at once with
    // the closed port (ChannelFailure::Kind::SendFailed). Delivers no events.
    void ClosePort();

    // Searches the line and fills the node table. `busy` shows the search while it runs;
    // messages (and the duplicate-node question) go to `messageParent`. Duplicate node numbers
    // are renumbered when the user agrees, followed by a new search.
    bool SearchControllers(BusyIndicator& busy, QObject* messageParent = nullptr);

    // String `messageId` followed by the reason of the last failed command, if it has one.
    QString FailureText(int messageId) const;
    // The line broke (NG code 0x49).
    static bool IsLinkError(const ChannelFailure& failure) {
        return failure.kind == ChannelFailure::Kind::LineError;
    }
    // Two "OK.<n>" replies of the same node in a broadcast answer.
    static bool HasDuplicateNodes(const QString& answer) {
        return SearchReplies::HasDuplicateNodes(answer);
    }
    // Reads every controller's user-specified name (text item 2) into nodeUserName.
    bool ReadUserNames();

    // Whole-data transfer (ControllerTransfer.cpp).
    bool ReadControllerData(ControllerData& data, bool withPoints, bool withParams);
    bool WriteControllerData(ControllerData& newData, ControllerData& currentData,
                             bool switchRunMode);

    // The parameter tables of the restart test (not owned; null: none, so no restart noted).
    void SetParamTables(const ParamInfoTable* standard, const ParamInfoTable* pulseTrain);

    CDataStore dataStore;
    CPortHub portHub;
    CCommandChannel channel;
    std::array<bool, kNodeCount> nodePresent{};
    std::array<QString, kNodeCount> nodeModelName;
    std::array<QString, kNodeCount> nodeUserName;
    bool restartRequired = false;
    // After a whole-data write that the controller did not fully take: the items it refused,
    // named as in a data file.
    QStringList itemsNotTaken;
    // Of the last whole-data write: the items the controller acknowledged, and whether it had
    // begun (the switch to Debug Mode acknowledged, or an item sent), so that a write cut short
    // can say what it left behind.
    int itemsWritten = 0;
    bool writeBegan = false;

protected:
    bool event(QEvent* event) override;

private:
    bool openWithSettings(const commsettag& settings);
    // The search without the busy indicator: true with the node table filled.
    bool searchLine(BusyIndicator& busy, QObject* messageParent, bool& duplicate);
    bool renumberNodes(BusyIndicator& busy, QObject* messageParent);
    const ParamInfoTable* paramTableFor(const ControllerData& data) const;
    // Steps of WriteControllerData (ControllerTransfer.cpp).
    bool shouldStop() const;
    // Notes one write command of the whole-data write and its answer; returns `acknowledged`.
    bool noteWrite(bool acknowledged);
    bool writeAndVerifyK(int node, int number, ControllerData& newData,
                         const ParamInfoTable* table);
    bool writeAndVerifyH(int node, int number, ControllerData& newData,
                         const ParamInfoTable* table);
    bool readBackK(int node, int number, int32_t& slot, const ParamInfoTable* table);
    void noteRestart(const ParamInfoTable* table, int tableNumber);

    std::array<const ParamInfoTable*, 2> paramTables{};
};
