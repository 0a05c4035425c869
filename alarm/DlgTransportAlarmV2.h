#pragma once

#include "alarm/AlarmTransferProcedure.h"
#include "transfer/TransportDialogBase.h"

// The "Alarm History" dialog: choose an alarm history file (.alr) and a free port; OK reads
// the chosen node's alarm history and saves it. The dialog closes only after a saved file.
class CDlgTransportAlarmV2 : public CTransportDialogBase {
    Q_OBJECT
public:
    explicit CDlgTransportAlarmV2(QWidget* parent = nullptr);
    ~CDlgTransportAlarmV2() override;

    void InitDialog() override;

    CAlarmTransferProcedure& procedure() { return workflow; }

protected:
    bool RunTransferProcedure(int comPort) override;
    QString FileExtension() const override;
    int FileFilterId() const override;
    bool UseSaveChooser() const override { return true; }

private:
    CAlarmTransferProcedure workflow;
};
