#include "controls/ControlRegistry.h"

#include "controls/IconButton.h"
#include "controls/ListCtrlEx.h"
#include "controls/NumberEdit.h"
#include "platform/TemplateLoader.h"

void RegisterControlClasses() {
    TemplateLoader::RegisterControlClass(
        QStringLiteral("CNumberEdit"),
        [](QWidget* parent) -> QWidget* { return new CNumberEdit(parent); });
    TemplateLoader::RegisterControlClass(
        QStringLiteral("CListCtrlEx"),
        [](QWidget* parent) -> QWidget* { return new CListCtrlEx(parent); });
    TemplateLoader::RegisterControlClass(
        QStringLiteral("CIconButton"),
        [](QWidget* parent) -> QWidget* { return new CIconButton(parent); });
}
