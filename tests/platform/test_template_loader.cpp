#include "platform/TemplateLoader.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class CSampleEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
};

const QString kSample = QStringLiteral(TEST_TEMPLATE_DIR "/sample.ui");

TEST(TemplateLoader, BuildsIntoTheGivenDialogWithIdsAndOwnClasses) {
    int created = 0;
    TemplateLoader::RegisterControlClass(QStringLiteral("CSampleEdit"), [&created](QWidget* p) {
        ++created;
        return new CSampleEdit(p);
    });
    QWidget owner;
    QDialog dialog(&owner);
    TemplateLoader loader;
    ASSERT_TRUE(loader.LoadTemplateFile(kSample, &dialog)) << loader.lastError().toStdString();

    // The template's root is the dialog itself: title and size applied, parent kept.
    EXPECT_EQ(dialog.windowTitle(), "Sample Title");
    EXPECT_EQ(dialog.size(), QSize(300, 200));
    EXPECT_EQ(dialog.parentWidget(), &owner);
    EXPECT_TRUE(dialog.isWindow());

    auto* edit = FindControl<QLineEdit>(&dialog, 1001);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->objectName(), "nameEdit");
    EXPECT_EQ(edit->parentWidget(), &dialog);
    EXPECT_EQ(edit->geometry(), QRect(10, 10, 120, 24));

    // Controls nested in a group are found too, and the type must match.
    auto* inner = FindControl<QPushButton>(&dialog, 1003);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->text(), "Inner");
    EXPECT_EQ(inner->parentWidget(), FindControl<QGroupBox>(&dialog, 1002));
    EXPECT_EQ(FindControl<QLabel>(&dialog, 1001), nullptr);

    // The registered class is made where the template names it; a textual id becomes an int.
    EXPECT_EQ(created, 1);
    QWidget* custom = FindControlWidget(&dialog, 1004);
    ASSERT_NE(custom, nullptr);
    EXPECT_NE(dynamic_cast<CSampleEdit*>(custom), nullptr);
    EXPECT_EQ(custom->property("controlId").typeId(), QMetaType::Int);
    EXPECT_EQ(ControlId(custom), 1004);

    // A control without an id is never found, not even by id 0.
    auto* noId = dialog.findChild<QLabel*>(QStringLiteral("noId"));
    ASSERT_NE(noId, nullptr);
    EXPECT_EQ(ControlId(noId), 0);
    EXPECT_EQ(FindControlWidget(&dialog, 0), nullptr);
    EXPECT_EQ(FindControlWidget(&dialog, 4711), nullptr);
    EXPECT_EQ(FindControlWidget(nullptr, 1001), nullptr);
}

TEST(TemplateLoader, WithoutRegistrationFallsBackToTheBaseClass) {
    TemplateLoader::RegisterControlClass(QStringLiteral("CSampleEdit"), nullptr);
    EXPECT_FALSE(TemplateLoader::IsControlClassRegistered(QStringLiteral("CSampleEdit")));
    QDialog dialog;
    TemplateLoader loader;
    ASSERT_TRUE(loader.LoadTemplateFile(kSample, &dialog));
    QWidget* custom = FindControlWidget(&dialog, 1004);
    ASSERT_NE(custom, nullptr);
    EXPECT_NE(qobject_cast<QLineEdit*>(custom), nullptr);
    EXPECT_EQ(dynamic_cast<CSampleEdit*>(custom), nullptr);
}

TEST(TemplateLoader, MissingOrBrokenTemplatesLeaveTheTargetAlone) {
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("before"));
    TemplateLoader loader;
    EXPECT_FALSE(loader.LoadTemplateFile(QStringLiteral(TEST_TEMPLATE_DIR "/none.ui"), &dialog));
    EXPECT_FALSE(loader.lastError().isEmpty());
    EXPECT_FALSE(loader.LoadTemplateFile(QStringLiteral(TEST_TEMPLATE_DIR "/broken.ui"), &dialog));
    EXPECT_FALSE(loader.LoadTemplateFile(kSample, nullptr));
    // No resource library is loaded here: every id is missing.
    EXPECT_FALSE(loader.LoadTemplate(190, &dialog));
    EXPECT_FALSE(LoadDialogTemplate(190, &dialog));
    EXPECT_EQ(dialog.windowTitle(), "before");
    EXPECT_TRUE(dialog.findChildren<QWidget*>().isEmpty());

    // The loader is reusable after a failure.
    EXPECT_TRUE(loader.LoadTemplateFile(kSample, &dialog));
    EXPECT_NE(FindControl<QLineEdit>(&dialog, 1001), nullptr);
}

TEST(TemplateLoader, DialogUnitConversion) {
    EXPECT_EQ(DialogUnitsToPixelsX(186), 279);
    EXPECT_EQ(DialogUnitsToPixelsY(171), 278); // 277.875
    EXPECT_EQ(DialogUnitsToPixelsX(7), 11);    // 10.5 rounds up
    EXPECT_EQ(DialogUnitsToPixels(QRect(4, 8, 50, 14)), QRect(6, 13, 75, 23));
}

} // namespace
