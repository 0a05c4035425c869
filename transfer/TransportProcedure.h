#pragma once

#include "comm/BusyIndicator.h"
#include "platform/UserInteraction.h"

#include <QString>

#include <cstdint>

class CControllerSession;
class QObject;
class WriteReview;
struct ControllerData;

// The widget-free core of every transfer workflow (backup, restore, alarm history): the steps
// they share, with the two things that differ between the dialogs and the command-line tool
// behind small interfaces:
//   NodeChooser    the dialogs show CDlgSerialConnect; the tool answers with its --node value;
//   BusyIndicator  the dialogs show CBusyPanel in the arrow style; the tool shows nothing.
// Every message goes through UI(), so the same texts reach a message box or standard error.

// The answer of one node selection round.
struct NodeChoice {
    enum class Kind { Cancel, Research, Node };
    Kind kind = Kind::Cancel;
    int node = 0; // 1..16 with Kind::Node
};

class NodeChooser {
public:
    virtual ~NodeChooser() = default;
    // Offers the nodes of the session's last search (nodePresent, nodeModelName, nodeUserName).
    virtual NodeChoice ChooseNode(const CControllerSession& session) = 0;
};

// Shows the indicator for one operation and closes it on every exit path.
class BusyScope {
public:
    BusyScope(BusyIndicator& indicator, const QString& message, bool towardsPc);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    BusyIndicator& indicator;
};

// The port an attempt runs on: a COM number of the port table (the dialogs' tree), or a
// device path at a line speed (the command-line tool). `comPort` is what confirmations show.
struct PortTarget {
    uint16_t comPort = 0;
    QString devicePath;   // empty: open `comPort`
    int32_t baudRate = 0; // 0: the default 38400; used with devicePath only

    static PortTarget Com(uint16_t comPort) { return PortTarget{comPort, QString(), 0}; }
};

// The node an attempt runs on, as the search named it and as the node itself answers.
struct NodeIdentity {
    int node = 0; // 1..16
    QString controllerName;
    QString robotName;
    int32_t runMode = 0; // K20
};

// The shared steps. Derived workflows add their own RunTransferProcedure on top.
class CTransportProcedure {
public:
    // None of the references is owned; `messageParent` (may be null) is the parent of every
    // message box. The search shows itself through `busy`, as every other step does.
    CTransportProcedure(CControllerSession& window, NodeChooser& chooser, BusyIndicator& busy,
                        QObject* messageParent = nullptr);
    virtual ~CTransportProcedure();

    // Full path of the file to write or read.
    QString transferFileName;

    // Around the whole-data write of a restore or a generation. `review` (not owned; null:
    // none) confirms the changes before and sees the verifying read-back after.
    WriteReview* review = nullptr;
    // Reads the whole controller again after the write; a difference fails the attempt.
    bool verifyAfterWrite = false;
    // Saves the controller's present data as a rollback point before anything is written.
    bool keepRollback = true;
    // The rollback point of this attempt's write; empty when none was saved.
    QString rollbackFile;
    // The review declined the write: nothing was written and the attempt ends without a
    // message.
    bool WriteDeclined() const { return writeDeclined; }

    // Steps shared by every workflow, in order: close the port and open `port` (the window
    // reports an open failure itself), search the line (the window reports its failures), then
    // the node selection loop, in which "Research" searches again. True with `node` (1..16)
    // chosen; false on any failure or Cancel.
    bool ConnectAndSelectNode(const PortTarget& port, int& node);

    // The node's robot name and run mode (K20), the port's notifications going to the window.
    // Shows "Failed to reconnect with controller." and returns false when either query fails.
    bool ReadNodeIdentity(int node, QString& robotName, int32_t& runMode);

    // ConnectAndSelectNode, then ReadNodeIdentity of the chosen node; false on any failure,
    // each step having reported its own.
    bool ConnectAndIdentify(const PortTarget& port, NodeIdentity& target);

    // The end of a data transfer: the port closed, then "Data transfer is completed." (with the
    // restart sentence when `mayNeedRestart` and the controller asks for one, and the rollback
    // point when one was saved) or the failure text with its reason; nothing more after a
    // declined write. Returns `moved`.
    bool ReportTransferEnd(bool moved, bool mayNeedRestart);

    // The last check before data moves: the CONT item of `node` must still be `controllerName`
    // (case-sensitive). Shows "Failed to reconnect with controller." or "Connection controller
    // has been changed. Cannot continue process." and returns false otherwise.
    bool ConfirmSameController(int node, const QString& controllerName);

    // "Controller: %s  (COM%d - Node No.:%02d)\n"; for a device outside the port table
    // (`comPort` 0) the attempt's device path takes the place of the COM number.
    QString ControllerLine(const QString& controllerName, int comPort, int node) const;

    // String `messageId` followed by the reason of the failure: the file's when a file could
    // not be read or written in this attempt, otherwise the communication window's.
    QString FailureMessage(int messageId) const;
    // Records why the file of this attempt could not be written (or, with `reading`, read).
    void SetFileFailure(const QString& systemReason, bool reading = false);
    // Records the reason line of a failure that is neither the file's nor the channel's.
    void SetFailureReason(const QString& reason) { fileFailure = reason; }
    // Forgets the failure and the write of an earlier transfer of the same attempt.
    void ClearFailure();

    // A message box of this workflow, over its parent.
    MsgResult ShowMessage(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                          MsgIcon icon = MsgIcon::Default) const;

    CControllerSession& window;
    NodeChooser& chooser;
    BusyIndicator& busy;
    QObject* messageParent;

    // "COM<n>", or the device's file name outside the port table.
    static QString LineName(const PortTarget& port);

protected:
    bool OpenPort(const PortTarget& port);

    // Brings `node` (present's K38) from `present`, read just before, to `wanted`: the review,
    // then the rollback point, the write and, with verifyAfterWrite, the read-back compare.
    // False when the review declined (WriteDeclined), nothing could be written or the write or
    // the compare failed; each failure leaves its reason for FailureMessage.
    bool WriteWholeData(CControllerSession& comm, ControllerData& wanted, ControllerData& present);

private:
    // After the communication reason of a failure: what an interrupted write left behind.
    QString WriteStoppedText(const CControllerSession& comm) const;
    // "To bring back its data ..., restore <rollback file>"; empty without a rollback point.
    QString RollbackText() const;

    QString fileFailure; // the reason line of a failure in this attempt; empty: none
    QString afterReason; // follows the reason: an interrupted write's state; empty: none
    QString devicePath;  // the device of this attempt when it was opened by its path
    QString lineName;    // the line of this attempt, for the rollback point's name
    bool writeDeclined = false;
};
