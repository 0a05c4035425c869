#include "alarm/DlgTransportAlarmV2.h"

#include "alarm/AlarmMessages.h"
#include "transfer/TransferTexts.h"

#include <QLabel>

using namespace TransferMessages;
using TransferTexts::Text;

CDlgTransportAlarmV2::CDlgTransportAlarmV2(QWidget* parent)
    : CTransportDialogBase(parent), workflow(commWindow, nodeChooser(), busyIndicator(), this) {}

CDlgTransportAlarmV2::~CDlgTransportAlarmV2() = default;

void CDlgTransportAlarmV2::InitDialog() {
    CTransportDialogBase::InitDialog();
    setWindowTitle(Text(AlarmMessages::kTitleAlarmHistory));
    if (fileLabel())
        fileLabel()->setText(Text(kSaveFileName));
}

QString CDlgTransportAlarmV2::FileExtension() const {
    return Text(kAlarmFileExtension);
}

int CDlgTransportAlarmV2::FileFilterId() const {
    return kAlarmFileFilter;
}

bool CDlgTransportAlarmV2::RunTransferProcedure(int comPort) {
    workflow.transferFileName = transferFileName;
    return workflow.RunTransferProcedure(PortTarget::Com(static_cast<uint16_t>(comPort)));
}
