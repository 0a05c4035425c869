#include "transfer/DlgTransportGenerationV2.h"

#include "newdata/DataAddNewDlg.h"
#include "transfer/TransferTexts.h"

#include <QCheckBox>
#include <QLabel>

using namespace TransferMessages;
using TransferTexts::Text;

namespace {

constexpr int kTitleGeneration = 926;

} // namespace

bool CNewDataComposer::ComposeData(ControllerData& data) {
    CDataAddNewDlg dialog(parent);
    dialog.SetDisplayNameAndData(QString(), &data, true);
    return dialog.exec() == QDialog::Accepted;
}

CDlgTransportGenerationV2::CDlgTransportGenerationV2(QWidget* parent)
    : CTransportDialogBase(parent), composer(this),
      workflow(commWindow, nodeChooser(), busyIndicator(), &composer, this) {}

CDlgTransportGenerationV2::~CDlgTransportGenerationV2() = default;

void CDlgTransportGenerationV2::InitDialog() {
    CTransportDialogBase::InitDialog();
    setWindowTitle(Text(kTitleGeneration));
    if (treeLabel())
        treeLabel()->setText(Text(kSelectConnection));
    ApplyWriteReview();
}

void CDlgTransportGenerationV2::ApplyWriteReview() {
    if (!verifyBox)
        verifyBox = AddVerifyAfterWriteBox(*this);
    workflow.review = &reviewer;
    workflow.verifyAfterWrite = verifyBox && verifyBox->isChecked();
}

bool CDlgTransportGenerationV2::RunTransferProcedure(int comPort) {
    ApplyWriteReview();
    return workflow.RunTransferProcedure(PortTarget::Com(static_cast<uint16_t>(comPort)));
}
