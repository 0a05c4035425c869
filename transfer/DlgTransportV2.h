#pragma once

#include "transfer/BackupRestoreProcedure.h"
#include "transfer/TransportDialogBase.h"

class CLineFolderMode;

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
    // The whole-line folder mode; null before InitDialog.
    CLineFolderMode* lineFolderMode() const { return lineMode; }

protected:
    bool RunTransferProcedure(int comPort) override;
    QString FileExtension() const override;
    int FileFilterId() const override;
    bool UseSaveChooser() const override { return saveToPc; }
    bool UseFolderChooser() const override;

private:
    // The check box of the whole-line mode and its progress list.
    void AddLineFolderMode();

    CBackupRestoreProcedure workflow;
    CLineFolderMode* lineMode = nullptr; // a child of the dialog
};
