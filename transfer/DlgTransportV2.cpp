#include "transfer/DlgTransportV2.h"

#include "transfer/TransferTexts.h"

#include <QCheckBox>
#include <QLabel>

using namespace TransferMessages;
using TransferTexts::Text;

CDlgTransportV2::CDlgTransportV2(QWidget* parent)
    : CTransportDialogBase(parent), workflow(commWindow, nodeChooser(), busyIndicator(), this) {}

CDlgTransportV2::~CDlgTransportV2() = default;

void CDlgTransportV2::InitDialog() {
    CTransportDialogBase::InitDialog();
    setWindowTitle(Text(saveToPc ? kTitleBackup : kTitleRestore));
    if (fileLabel())
        fileLabel()->setText(Text(saveToPc ? kSaveFileName : kFileName));
    SetUpWriteReview();
}

void CDlgTransportV2::SetUpWriteReview() {
    if (!saveToPc && !verifyBox)
        verifyBox = AddVerifyAfterWriteBox(*this);
    workflow.review = saveToPc ? nullptr : &reviewer;
    workflow.verifyAfterWrite = !saveToPc && verifyBox && verifyBox->isChecked();
}

QString CDlgTransportV2::FileExtension() const {
    return Text(kDataFileExtension);
}

int CDlgTransportV2::FileFilterId() const {
    return kDataFileFilter;
}

bool CDlgTransportV2::RunTransferProcedure(int comPort) {
    workflow.saveToPc = saveToPc;
    workflow.transferFileName = transferFileName;
    SetUpWriteReview();
    return workflow.RunTransferProcedure(PortTarget::Com(static_cast<uint16_t>(comPort)));
}
