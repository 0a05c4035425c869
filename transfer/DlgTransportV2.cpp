#include "transfer/DlgTransportV2.h"

#include "transfer/LineFolderMode.h"
#include "transfer/TransferTexts.h"

#include <QCheckBox>
#include <QLabel>
#include <QTreeWidget>

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
    // The verify box first: the folder mode keeps the places it finds as the file mode's.
    SetUpWriteReview();
    AddLineFolderMode();
}

void CDlgTransportV2::SetUpWriteReview() {
    if (!saveToPc && !verifyBox)
        verifyBox = AddVerifyAfterWriteBox(*this);
    workflow.review = saveToPc ? nullptr : &reviewer;
    workflow.verifyAfterWrite = !saveToPc && verifyBox && verifyBox->isChecked();
}

void CDlgTransportV2::PlaceVerifyBox() {
    const QTreeWidget* list = connectionTree();
    if (!verifyBox || !list)
        return;
    verifyBox->move(list->x(), list->geometry().bottom() + 1 + kVerifyBoxGap);
    verifyBox->setVisible(!UseFolderChooser());
}

void CDlgTransportV2::resizeEvent(QResizeEvent* event) {
    CTransportDialogBase::resizeEvent(event);
    PlaceVerifyBox();
}

void CDlgTransportV2::AddLineFolderMode() {
    if (!lineMode)
        lineMode = new CLineFolderMode(*this, saveToPc);
}

bool CDlgTransportV2::UseFolderChooser() const {
    return lineMode && lineMode->IsOn();
}

QString CDlgTransportV2::FileExtension() const {
    return Text(kDataFileExtension);
}

int CDlgTransportV2::FileFilterId() const {
    return kDataFileFilter;
}

bool CDlgTransportV2::RunTransferProcedure(int comPort) {
    if (UseFolderChooser())
        return lineMode->Run(comPort, transferFileName);
    workflow.saveToPc = saveToPc;
    workflow.transferFileName = transferFileName;
    SetUpWriteReview();
    return workflow.RunTransferProcedure(PortTarget::Com(static_cast<uint16_t>(comPort)));
}
