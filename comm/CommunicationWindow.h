#pragma once

#include "comm/CommandChannel.h"
#include "data/ControllerData.h"
#include "data/DataStore.h"
#include "porthub/PortHub.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

class QWidget;
struct ParamInfoTable;

inline constexpr int kNodeCount = 16;

// The object through which a transfer dialog talks to the controllers on one port. It is a
// hidden object that the port manager posts its notifications to; it owns the port manager,
// the command channel over it and the data store whose line parsers read controller lists.
// Every operation runs on the user-interface thread; waits pump events so that the port
// manager's notifications arrive meanwhile.
class CCommunicationWindow : public QObject {
    Q_OBJECT
public:
    // Connection kind accepted by OpenPort: a serial port given by its COM number.
    static constexpr int kSerialPortKind = 2;

    CCommunicationWindow();
    // Waits for a command still in progress, then detaches from and closes the port.
    ~CCommunicationWindow() override;
    CCommunicationWindow(const CCommunicationWindow&) = delete;
    CCommunicationWindow& operator=(const CCommunicationWindow&) = delete;

    // The object to hand to portHub.AttatchWnd().
    QObject* window() { return this; }

    // Opens COM `comPort` (kind 2). True at once when the port is already open. A port that
    // cannot be opened shows message 41002 with the port manager's reason on its own line.
    bool OpenPort(int kind, uint16_t comPort);
    // The same for a device given by its path (pseudo-terminals, adapters outside the COM
    // table), at `baudRate` (0: the default 38400).
    bool OpenDevice(const QString& devicePath, int32_t baudRate = 0);

    // Searches the line and fills the node table; shows its own messages and the busy panel
    // over `parentWindow` (which may be null: then over the active window, if any).
    bool SearchControllers(QWidget* parentWindow);

    // String `messageId` followed by the reason of the last failed command, if it has one.
    QString FailureText(int messageId) const;
    // The error code of an NG text is the line error code 0x49.
    static bool IsLinkError(const QString& errorText);
    // Two "OK.<n>" replies of the same node in a broadcast answer.
    static bool HasDuplicateNodes(const QString& answer);
    // Reads every controller's user-specified name (text item 2) into nodeUserName.
    bool ReadUserNames();

    // Whole-data transfer (ControllerTransfer.cpp).
    bool ReadControllerData(ControllerData& data, bool withPoints, bool withParams);
    bool WriteControllerData(ControllerData& newData, ControllerData& currentData,
                             bool switchRunMode);

    // The parameter tables used for the restart test: by default the application's; tests and
    // tools without an application object hand their own (not owned; null: none).
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

protected:
    bool event(QEvent* event) override;

private:
    bool openWithSettings(const commsettag& settings);
    const ParamInfoTable* paramTableFor(const ControllerData& data) const;
    // Steps of WriteControllerData (ControllerTransfer.cpp).
    bool shouldStop() const;
    bool writeAndVerifyK(int node, int number, ControllerData& newData,
                         const ParamInfoTable* table);
    bool writeAndVerifyH(int node, int number, ControllerData& newData,
                         const ParamInfoTable* table);
    bool readBackK(int node, int number, int32_t& slot, const ParamInfoTable* table);
    void noteRestart(const ParamInfoTable* table, int tableNumber);

    bool tablesOverridden = false;
    std::array<const ParamInfoTable*, 2> tableOverride{};
};
