// Moving a whole controller record between the program and one node.
#include "comm/ControllerSession.h"

#include "comm/ItemOperations.h"
#include "comm/Keywords.h"
#include "comm/ListAnswers.h"
#include "data/ParamInfoTable.h"
#include "data/RecordCompare.h"

namespace {

constexpr int kDebugMode = 2;
constexpr int kRunModeMask = 3;
constexpr int kIpItem = 9;
constexpr int kMaskItem = 8;
constexpr int kGatewayItem = 7;

} // namespace

bool CControllerSession::ReadControllerData(ControllerData& data, bool withPoints,
                                            bool withParams) {
    if (!portHub.openFlag) {
        channel.lastFailure = {ChannelFailure::Kind::SendFailed, -1};
        return false;
    }
    const int node = data.params().K(kNodeParam);

    data.controllerName.clear();
    if (!ReadIdentityItem(channel, node, kKeyCont, data.controllerName))
        return false;
    data.modelCode.clear();
    if (!ReadIdentityItem(channel, node, kKeyType, data.modelCode))
        return false;
    data.robotName.clear();
    const bool robotOk = ReadIdentityItem(channel, node, kKeyRobot, data.robotName);
    data.params().robotName = data.robotName;
    if (!robotOk)
        return false;
    data.interfaceInfo.clear();
    if (!ReadIdentityItem(channel, node, kKeyIf, data.interfaceInfo))
        return false;
    data.version.clear();
    if (!ReadIdentityItem(channel, node, kKeyVer2, data.version))
        return false;

    data.ipAddress.clear();
    if (!ReadTextItem(channel, node, kIpItem, data.ipAddress))
        return false;
    data.subnetMask.clear();
    if (!ReadTextItem(channel, node, kMaskItem, data.subnetMask))
        return false;
    data.gateway.clear();
    if (!ReadTextItem(channel, node, kGatewayItem, data.gateway))
        return false;

    if (withPoints) {
        // The list names only what the controller holds: start from an empty table.
        for (PointRecord& point : data.points)
            point = PointRecord{};
        QString answer;
        if (!ReadPointList(channel, node, answer))
            return false;
        if (!TakePointList(dataStore, data, answer)) {
            channel.NoteBadAnswer();
            return false;
        }
    }

    if (withParams) {
        QString answer;
        if (!ReadParameterList(channel, node, answer))
            return false;
        if (!TakeKList(dataStore, data, answer)) {
            channel.NoteBadAnswer();
            return false;
        }
        answer.clear();
        if (!ReadHParameterList(channel, node, answer))
            return false;
        if (!TakeHList(dataStore, data, answer)) {
            channel.NoteBadAnswer();
            return false;
        }
    }
    return true;
}

// A time-out, a line error or a closed port ends the transfer; a refusal of a single item
// does not.
bool CControllerSession::shouldStop() const {
    return channel.lastFailure.StopsTransfer();
}

bool CControllerSession::noteWrite(bool acknowledged) {
    writeBegan = true;
    if (acknowledged)
        ++itemsWritten;
    return acknowledged;
}

void CControllerSession::noteRestart(const ParamInfoTable* table, int tableNumber) {
    if (!table)
        return;
    if (ParamInfoFor(*table, tableNumber, 0).attributes & kRestartAttribute)
        restartRequired = true;
}

// Reads K `number` back into `slot`. A refused read leaves the slot as it was rather than
// storing the refusal as a value. False when the transfer must stop.
bool CControllerSession::readBackK(int node, int number, int32_t& slot,
                                   const ParamInfoTable* table) {
    int32_t value = slot;
    const bool ok = ReadK(channel, node, number, value);
    if (!ok && shouldStop())
        return false;
    if (ok)
        slot = value;
    noteRestart(table, number);
    return true;
}

bool CControllerSession::writeAndVerifyK(int node, int number, ControllerData& newData,
                                         const ParamInfoTable* table) {
    if (!noteWrite(WriteK(channel, node, number, newData.params().K(number))) && shouldStop())
        return false;
    return readBackK(node, number, newData.params().K(number), table);
}

bool CControllerSession::writeAndVerifyH(int node, int number, ControllerData& newData,
                                         const ParamInfoTable* table) {
    int32_t& slot = newData.params().H(number);
    if (!noteWrite(WriteH(channel, node, number, slot)) && shouldStop())
        return false;
    int32_t value = slot;
    const bool ok = ReadH(channel, node, number, value);
    if (!ok && shouldStop())
        return false;
    if (ok)
        slot = value;
    noteRestart(table, kHParamIndex + 1 + number);
    return true;
}

bool CControllerSession::WriteControllerData(ControllerData& newData, ControllerData& currentData,
                                             bool switchRunMode) {
    if (!portHub.openFlag) {
        channel.lastFailure = {ChannelFailure::Kind::SendFailed, -1};
        return false;
    }
    const int node = currentData.params().K(kNodeParam);
    const ParamInfoTable* table = paramTableFor(newData);
    RobotParameters& fresh = newData.params();
    RobotParameters& present = currentData.params();

    restartRequired = false;
    itemsNotTaken.clear();
    itemsWritten = 0;
    writeBegan = false;
    const ControllerData asked = newData;
    int32_t runMode = 0;

    // Writes are only taken in debug mode.
    if (switchRunMode) {
        if (!ReadK(channel, node, kRunModeParam, runMode) && shouldStop())
            return false;
        // Only a switch the controller acknowledged is known to have left Debug Mode behind.
        if ((runMode & kRunModeMask) != kDebugMode) {
            if (WriteK(channel, node, kRunModeParam, kDebugMode))
                writeBegan = true;
            else if (shouldStop())
                return false;
        }
    }

    // In the shared order: the decimal places first, they decide how the controller reads
    // every length after.
    for (const int k : WholeWrite::ParamOrder()) {
        if (fresh.K(k) == present.K(k))
            continue;
        if (WholeWrite::IsReadOnlyParam(k)) {
            if (!readBackK(node, k, fresh.K(k), table))
                return false;
        } else if (!writeAndVerifyK(node, k, newData, table)) {
            return false;
        }
        // The controller derives these from the one just handled: compare against its
        // fresh values from here on.
        QList<int> followUps;
        if (k == 76)
            followUps = {77};
        else if (k == 78)
            followUps = {79};
        else if (k == 89)
            followUps = {90, 91, 92};
        for (const int derived : followUps) {
            int32_t value = present.K(derived);
            const bool ok = ReadK(channel, node, derived, value);
            if (!ok && shouldStop())
                return false;
            if (ok)
                present.K(derived) = value;
        }
    }

    for (int h = 0; h < kParamCount - kKParamCount; ++h) {
        if (fresh.H(h) != present.H(h) && !writeAndVerifyH(node, h, newData, table))
            return false;
    }

    if (WholeWrite::NameWritten(newData, currentData)) {
        if (!noteWrite(WriteRobotName(channel, node, newData.robotName))) {
            if (shouldStop())
                return false;
            // Refused: the controller keeps its own name.
            newData.robotName = currentData.robotName;
        }
        restartRequired = true;
    }

    for (int slot = 0; slot < kPointCount; ++slot) {
        const PointRecord& current = currentData.points[slot];
        PointRecord& wanted = newData.points[slot];
        if (!WholeWrite::PointDeleted(wanted, current))
            continue;
        if (!noteWrite(DeletePoints(channel, node, current.number, 0)) && shouldStop())
            return false;
        PointRecord copy = wanted;
        if (!ReadPoint(channel, node, current.number, copy) && shouldStop())
            return false;
        wanted = copy;
    }

    for (int slot = 0; slot < kPointCount; ++slot) {
        const PointRecord& current = currentData.points[slot];
        PointRecord& wanted = newData.points[slot];
        if (!WholeWrite::PointChanged(wanted, current))
            continue;
        bool pointTaken = false;
        bool stop = false;
        for (int field = kKeyPointFirst; field <= kKeyPointLast && !stop; ++field) {
            if (wanted.field(field) == current.field(field))
                continue;
            writeBegan = true;
            if (WritePointField(channel, node, wanted.number, field, wanted.field(field)))
                pointTaken = true;
            else
                stop = shouldStop();
        }
        // A point counts once, however many of its fields went out.
        if (pointTaken)
            ++itemsWritten;
        if (stop)
            return false;
        // Read into an empty record: a point the controller did not create reads back unused
        // instead of passing for the one asked for.
        PointRecord copy;
        const bool ok = ReadPoint(channel, node, wanted.number, copy);
        if (!ok && shouldStop())
            return false;
        if (ok)
            wanted = copy;
    }

    // A refused address leaves the rest of the record in place; the controller keeps its own.
    const struct {
        int item;
        QString ControllerData::*field;
    } addresses[] = {{kIpItem, &ControllerData::ipAddress},
                     {kMaskItem, &ControllerData::subnetMask},
                     {kGatewayItem, &ControllerData::gateway}};
    for (const auto& address : addresses) {
        QString& wanted = newData.*address.field;
        if (wanted == currentData.*address.field)
            continue;
        if (!noteWrite(WriteTextItem(channel, node, address.item, wanted))) {
            if (shouldStop())
                return false;
            wanted = currentData.*address.field;
        }
    }

    // Back to the run mode the new record asks for.
    const int32_t target = fresh.K(kRunModeParam);
    const bool readOk = ReadK(channel, node, kRunModeParam, runMode);
    if (!readOk && shouldStop())
        return false;
    if ((!readOk || runMode != target) && !writeAndVerifyK(node, kRunModeParam, newData, table))
        return false;

    // Every item now holds what the controller answered: one that differs from what was asked
    // for was refused, and the controller does not hold the data it was given.
    itemsNotTaken = WholeWrite::ItemsNotTaken(asked, newData);
    if (!itemsNotTaken.isEmpty()) {
        channel.lastFailure = {ChannelFailure::Kind::NotTaken, -1};
        return false;
    }
    return true;
}
