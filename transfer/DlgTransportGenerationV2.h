#pragma once

#include "transfer/DlgWriteReview.h"
#include "transfer/GenerationProcedure.h"
#include "transfer/TransportDialogBase.h"

class QCheckBox;
class QWidget;

// Composes the data in the new data dialog, opened modally over `parent` for the connected
// controller with an empty display name.
class CNewDataComposer : public DataComposer {
public:
    explicit CNewDataComposer(QWidget* dialog) : parent(dialog) {}
    bool ComposeData(ControllerData& data) override;

private:
    QWidget* parent;
};

// "RobotData Initialize": writes freshly composed initial data into a connected controller.
// No file; the tree of free ports, OK and a double click behave as in the other transfers.
class CDlgTransportGenerationV2 : public CTransportDialogBase {
    Q_OBJECT
public:
    explicit CDlgTransportGenerationV2(QWidget* parent = nullptr);
    ~CDlgTransportGenerationV2() override;

    void InitDialog() override;

    CGenerationProcedure& procedure() { return workflow; }
    QCheckBox* verifyAfterWriteBox() const { return verifyBox; }

protected:
    bool RunTransferProcedure(int comPort) override;
    bool UsesFile() const override { return false; }

private:
    // The write shows what it will change before it writes, and reads the controller back when
    // "Verify after writing" is checked: the check box once, the procedure's switches before
    // each attempt.
    void ApplyWriteReview();

    CNewDataComposer composer;
    CGenerationProcedure workflow;
    CDialogWriteReview reviewer{this};
    QCheckBox* verifyBox = nullptr;
};
