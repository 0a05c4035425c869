#pragma once

#include "data/ControllerData.h"
#include "transfer/TransportProcedure.h"

#include <QString>

#include <cstdint>

// Composes the new data of a generation in the record it is given (the dialogs show the new
// data dialog). True when the user confirmed; the record then holds the complete data.
class DataComposer {
public:
    virtual ~DataComposer() = default;
    virtual bool ComposeData(ControllerData& data) = 0;
};

// Initialising a controller with freshly composed robot data ("Generation"), step by step and
// without widgets: connect, pick the node, compose the data, check it against the node and
// write it. There is no file.
class CGenerationProcedure : public CTransportProcedure {
public:
    CGenerationProcedure(CControllerSession& window, NodeChooser& chooser, BusyIndicator& busy,
                         DataComposer* composer, QObject* messageParent = nullptr);
    ~CGenerationProcedure() override;

    // Not owned; null composes nothing (the attempt ends as if cancelled).
    void SetComposer(DataComposer* newComposer) { composer = newComposer; }

    // The whole attempt on one port; true after the completion message.
    bool RunTransferProcedure(const PortTarget& port);

    // The composed data against the node: controller name (refused, OK only), robot name and
    // run mode (questions), then the confirmation. False at the first refusal.
    bool CheckGenerationTarget(int comPort, const QString& controllerName, const QString& robotName,
                               int32_t runMode, int node);
    // Writes preparedData to `node`: the node's option settings (K80 to K82) are kept, an
    // EtherNet/IP node gets the network defaults; the write goes through WriteWholeData (review,
    // rollback point, read-back). True when the read and the write succeeded.
    bool WritePreparedData(CControllerSession& comm, int node);

    // The record of one attempt: created after the node answered, released before the attempt
    // ends whatever its outcome.
    ControllerDataSlot preparedData;

    // The network defaults an EtherNet/IP controller receives (8 hexadecimal digits each).
    static constexpr const char* kDefaultIpAddress = "c0a80001";  // 192.168.0.1
    static constexpr const char* kDefaultSubnetMask = "ffffff00"; // 255.255.255.0
    static constexpr const char* kDefaultGateway = "c0a800fe";    // 192.168.0.254

private:
    void ReleasePreparedData();

    DataComposer* composer;
};
