#include "platform/TemplateLoader.h"

#include "platform/ResourceLibrary.h"

#include <QFile>
#include <QHash>
#include <QRect>
#include <QVariant>

#include <cmath>

namespace {

QHash<QString, TemplateLoader::ControlFactory>& registry() {
    static QHash<QString, TemplateLoader::ControlFactory> factories;
    return factories;
}

const char* const kControlId = "controlId";

// A template may have written the id as text; every control ends up with an int.
void normaliseControlIds(QWidget* root) {
    QList<QObject*> objects = root->findChildren<QObject*>();
    objects.prepend(root);
    for (QObject* object : objects) {
        const QVariant value = object->property(kControlId);
        if (!value.isValid() || value.typeId() == QMetaType::Int)
            continue;
        bool ok = false;
        const int id = value.toInt(&ok);
        object->setProperty(kControlId, ok ? QVariant(id) : QVariant());
    }
}

} // namespace

TemplateLoader::TemplateLoader(QObject* parent) : QUiLoader(parent) {
    // Controls come from the program and its registry only, never from designer plugins
    // installed elsewhere on the system.
    clearPluginPaths();
}

void TemplateLoader::RegisterControlClass(const QString& className, ControlFactory factory) {
    if (factory)
        registry().insert(className, std::move(factory));
    else
        registry().remove(className);
}

bool TemplateLoader::IsControlClassRegistered(const QString& className) {
    return registry().contains(className);
}

bool TemplateLoader::LoadTemplate(int id, QWidget* target) {
    const QString path = ResourceLibrary::TemplatePath(id);
    if (path.isEmpty()) {
        lastError_ = QStringLiteral("Dialog template %1 is missing.").arg(id);
        return false;
    }
    return LoadTemplateFile(path, target);
}

bool TemplateLoader::LoadTemplateFile(const QString& path, QWidget* target) {
    lastError_.clear();
    if (!target) {
        lastError_ = QStringLiteral("No widget to build the template into.");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        lastError_ = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    target_ = target;
    rootCreated_ = false;
    QWidget* const parentBefore = target->parentWidget();
    QWidget* root = load(&file, parentBefore);
    target_ = nullptr;
    if (root != target) {
        lastError_ = errorString().isEmpty()
                         ? QStringLiteral("%1 is not a dialog template.").arg(path)
                         : errorString();
        delete root; // never the target: it is only returned as the root
        return false;
    }
    if (target->parentWidget() != parentBefore)
        target->setParent(parentBefore, target->windowFlags());
    normaliseControlIds(target);
    return true;
}

QWidget* TemplateLoader::createWidget(const QString& className, QWidget* parent,
                                      const QString& name) {
    if (target_ && !rootCreated_) {
        // The template's root is the caller's dialog: its properties and children go there.
        rootCreated_ = true;
        if (!name.isEmpty() && target_->objectName().isEmpty())
            target_->setObjectName(name);
        return target_;
    }
    const auto found = registry().constFind(className);
    if (found != registry().constEnd() && *found) {
        QWidget* widget = (*found)(parent);
        if (widget) {
            widget->setObjectName(name);
            return widget;
        }
    }
    return QUiLoader::createWidget(className, parent, name);
}

bool LoadDialogTemplate(int id, QWidget* target) {
    TemplateLoader loader;
    return loader.LoadTemplate(id, target);
}

int DialogUnitsToPixelsX(int du) {
    return static_cast<int>(std::lround(du * 1.5));
}

int DialogUnitsToPixelsY(int du) {
    return static_cast<int>(std::lround(du * 1.625));
}

QRect DialogUnitsToPixels(const QRect& du) {
    return QRect(DialogUnitsToPixelsX(du.x()), DialogUnitsToPixelsY(du.y()),
                 DialogUnitsToPixelsX(du.width()), DialogUnitsToPixelsY(du.height()));
}

QWidget* FindControlWidget(QWidget* root, int id) {
    if (!root)
        return nullptr;
    const auto matches = [id](const QWidget* w) {
        const QVariant value = w->property(kControlId);
        return value.isValid() && value.toInt() == id;
    };
    if (matches(root))
        return root;
    const QList<QWidget*> children = root->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (matches(child))
            return child;
    }
    return nullptr;
}

int ControlId(const QObject* control) {
    if (!control)
        return 0;
    const QVariant value = control->property(kControlId);
    return value.isValid() ? value.toInt() : 0;
}
