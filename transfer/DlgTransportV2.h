#pragma once

#include "transfer/BackupRestoreProcedure.h"
#include "transfer/DlgWriteReview.h"
#include "transfer/TransportDialogBase.h"

class CLineFolderMode;
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
    // The whole-line folder mode; null before InitDialog.
    CLineFolderMode* lineFolderMode() const { return lineMode; }

protected:
    bool RunTransferProcedure(int comPort) override;
    QString FileExtension() const override;
    int FileFilterId() const override;
    bool UseSaveChooser() const override { return saveToPc; }
    bool UseFolderChooser() const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // A restore shows what it will write before it writes, and reads the controller back when
    // "Verify after writing" is checked: the check box once, the procedure's switches before
    // each attempt.
    void SetUpWriteReview();
    // The verify box stays under the connection list as the folder mode moves it, and is
    // hidden there: a whole-line run has no preview and no read-back.
    void PlaceVerifyBox();
    // The check box of the whole-line mode and its progress list.
    void AddLineFolderMode();

    CBackupRestoreProcedure workflow;
    CDialogWriteReview reviewer{this};
    QCheckBox* verifyBox = nullptr;
    CLineFolderMode* lineMode = nullptr; // a child of the dialog
};
