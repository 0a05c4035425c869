#pragma once

#include <QString>
#include <QWidget>

struct ControllerData;
class QComboBox;

// What the pages of the new data dialog ask of the dialog that hosts them.
class NewDataOwner {
public:
    virtual ~NewDataOwner() = default;
    // Puts `text` in the "Current Settings" row of `setting` (setting 0 rebuilds the rows first).
    virtual void SetSettingText(int setting, const QString& text) = 0;
    // Runs RefreshFromData of the option, detail and pulse-train pages.
    virtual void RefreshPages() = 0;
    // Ends the dialog as cancelled (the catalog cannot be read).
    virtual void CancelDialog() = 0;
    // Whether the dialog composes data for a controller that is connected: its controller is
    // then fixed.
    virtual bool ForConnectedController() const { return true; }
};

// One page of the new data dialog: a child built from its template, bound to the dialog and to
// the record it edits. Create() loads the template and runs the page's initialisation.
class CAddNewTabPage : public QWidget {
    Q_OBJECT
public:
    CAddNewTabPage(int templateId, QWidget* parent = nullptr);

    void Attach(NewDataOwner* owner, ControllerData* data);
    // False when the template cannot be loaded; the page then stays empty and does nothing.
    bool Create();
    bool IsCreated() const { return created; }

    // Brings the page's lists and edits in line with the record and writes back what they show.
    virtual void RefreshFromData() {}

protected:
    virtual void InitPage() = 0;

    void SetSetting(int setting, const QString& text);
    // Selects `index` when the list has it, otherwise nothing.
    static void SelectIndex(QComboBox* list, int index);
    template <typename T = QWidget> T* Control(int id) const;
    void ShowControl(int id, bool show) const;

    NewDataOwner* owner = nullptr;
    ControllerData* data = nullptr;

private:
    int templateId;
    bool created = false;
};

#include "platform/TemplateLoader.h"

template <typename T> T* CAddNewTabPage::Control(int id) const {
    return FindControl<T>(const_cast<CAddNewTabPage*>(this), id);
}
