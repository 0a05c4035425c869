#pragma once

#include <QString>
#include <QUiLoader>
#include <QWidget>

#include <functional>

// Dialog templates <id>.ui of the resource library.
//
// Each control carries its numeric id as the dynamic property "controlId" (int), written in the
// template:
//     <property name="controlId" stdset="0"><number>1365</number></property>
// FindControl() looks controls up by that id.
//
// Sizes and positions in templates are pixels. Where a dialog is described in dialog units, they
// are converted once, for an 8 pt dialog font (average character 6 x 13 px at 96 dpi):
//     x_px = x_du * 1.5      y_px = y_du * 1.625      (rounded to the nearest pixel)
// DialogUnitsToPixels() does exactly this; every template and dialog helper uses it.
//
// The program's own control classes (CNumberEdit, CListCtrlEx, CIconButton, ...) are created
// where a template names them, once their factory is registered.
class TemplateLoader : public QUiLoader {
public:
    using ControlFactory = std::function<QWidget*(QWidget* parent)>;

    explicit TemplateLoader(QObject* parent = nullptr);

    // Process-wide: later registrations of the same class name replace earlier ones; an empty
    // factory removes the class again.
    static void RegisterControlClass(const QString& className, ControlFactory factory);
    static bool IsControlClassRegistered(const QString& className);

    // Builds template `id` into `target`: the template's root properties (size, title) are
    // applied to `target` and its controls become children of `target`. False (reason in
    // lastError()) when the template is missing or unreadable; `target` is then unchanged.
    bool LoadTemplate(int id, QWidget* target);
    // The same from a template file path (tests, templates outside the library).
    bool LoadTemplateFile(const QString& path, QWidget* target);

    QString lastError() const { return lastError_; }

    QWidget* createWidget(const QString& className, QWidget* parent = nullptr,
                          const QString& name = QString()) override;

private:
    QWidget* target_ = nullptr;
    bool rootCreated_ = false;
    QString lastError_;
};

// One-call form of TemplateLoader::LoadTemplate.
bool LoadDialogTemplate(int id, QWidget* target);

// Dialog units to pixels (see above).
int DialogUnitsToPixelsX(int du);
int DialogUnitsToPixelsY(int du);
QRect DialogUnitsToPixels(const QRect& du);

// The control with dynamic property controlId == id below `root` (root itself included);
// nullptr when none, or when it is not a T.
QWidget* FindControlWidget(QWidget* root, int id);
template <typename T = QWidget> T* FindControl(QWidget* root, int id) {
    return qobject_cast<T*>(FindControlWidget(root, id));
}
// The id of a control, 0 when it has none.
int ControlId(const QObject* control);
