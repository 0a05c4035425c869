#include "newdata/AddNewTabOptionDlg.h"

#include "data/ControllerData.h"
#include "newdata/NewDataRules.h"

#include <QComboBox>

namespace {

const QString kNoInterface = QStringLiteral("----");

} // namespace

CAddNewTabOptionDlg::CAddNewTabOptionDlg(QWidget* parent) : CAddNewTabPage(kTemplateId, parent) {}

void CAddNewTabOptionDlg::InitPage() {
    if (QComboBox* ioType = Control<QComboBox>(kIdIoType)) {
        ioType->clear();
        ioType->addItem(kNoInterface);
    }
    RefreshFromData();
}

void CAddNewTabOptionDlg::RefreshFromData() {
    if (!IsCreated() || !data)
        return;
    QComboBox* ioType = Control<QComboBox>(kIdIoType);
    if (ioType)
        ioType->setCurrentIndex(0);
    data->interfaceInfo = kNoInterface;
    data->params().K(80) = 0;
    SetSetting(NewDataRules::kSettingIoType, ioType ? ioType->currentText() : kNoInterface);
}
