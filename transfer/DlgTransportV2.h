#pragma once

#include "transfer/BackupRestoreProcedure.h"
#include "transfer/DlgWriteReview.h"
#include "transfer/TransportDialogBase.h"

class QCheckBox;

// The backup and restore dialog. The creator sets saveToPc before showing it: true for
// "Data Transfer [Controller to PC]", false for "Data Transfer [PC to Controller]". The dialog
// closes only after a successful transfer.
class CDlgTransportV2 : public CTransportDialogBase {
    Q_OBJECT
public:
    explicit CDlgTransportV2(QWidget* parent = nullptr);
    ~CDlgTransportV2() override;

    bool saveToPc = true;

    void InitDialog() override;

    // The workflow behind the dialog (its CompatibleModels, CheckRestoreTarget, ...).
    CBackupRestoreProcedure& procedure() { return workflow; }
    // "Verify after writing" of a restore; null in a backup.
    QCheckBox* verifyAfterWriteBox() const { return verifyBox; }

protected:
    bool RunTransferProcedure(int comPort) override;
    QString FileExtension() const override;
    int FileFilterId() const override;
    bool UseSaveChooser() const override { return saveToPc; }

private:
    // A restore shows what it will write before it writes, and reads the controller back when
    // "Verify after writing" is checked: the check box once, the procedure's switches before
    // each attempt.
    void SetUpWriteReview();

    CBackupRestoreProcedure workflow;
    CDialogWriteReview reviewer{this};
    QCheckBox* verifyBox = nullptr;
};
