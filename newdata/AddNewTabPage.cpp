#include "newdata/AddNewTabPage.h"

#include <QComboBox>

CAddNewTabPage::CAddNewTabPage(int pageTemplateId, QWidget* parent)
    : QWidget(parent), templateId(pageTemplateId) {}

void CAddNewTabPage::Attach(NewDataOwner* newOwner, ControllerData* record) {
    owner = newOwner;
    data = record;
}

bool CAddNewTabPage::Create() {
    if (created)
        return true;
    if (!LoadDialogTemplate(templateId, this))
        return false;
    created = true;
    if (data)
        InitPage();
    return true;
}

void CAddNewTabPage::SetSetting(int setting, const QString& text) {
    if (owner)
        owner->SetSettingText(setting, text);
}

void CAddNewTabPage::SelectIndex(QComboBox* list, int index) {
    if (!list)
        return;
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void CAddNewTabPage::ShowControl(int id, bool show) const {
    if (QWidget* control = Control(id))
        control->setVisible(show);
}
