#include "controls/ControlRegistry.h"
#include "controls/FixedColumnHeader.h"
#include "controls/ListCtrlEx.h"
#include "controls/NumberEdit.h"
#include "platform/TemplateLoader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const char kTemplate[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Dialog</class>
 <widget class="QDialog" name="Dialog">
  <property name="geometry"><rect><x>0</x><y>0</y><width>300</width><height>200</height></rect></property>
  <widget class="CNumberEdit" name="speed">
   <property name="geometry"><rect><x>10</x><y>10</y><width>80</width><height>22</height></rect></property>
   <property name="controlId" stdset="0"><number>1311</number></property>
  </widget>
  <widget class="CListCtrlEx" name="summary">
   <property name="geometry"><rect><x>10</x><y>40</y><width>280</width><height>150</height></rect></property>
   <property name="controlId" stdset="0"><number>1307</number></property>
  </widget>
 </widget>
</ui>
)";

} // namespace

TEST(ControlRegistry, TemplatesCreateTheProgramsControls) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("dialog.ui"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kTemplate);
    file.close();

    // Without the registry the classes are unknown.
    TemplateLoader::RegisterControlClass(QStringLiteral("CNumberEdit"), {});
    TemplateLoader::RegisterControlClass(QStringLiteral("CListCtrlEx"), {});
    {
        QWidget dialog;
        TemplateLoader loader;
        loader.LoadTemplateFile(path, &dialog);
        EXPECT_EQ(FindControl<CNumberEdit>(&dialog, 1311), nullptr);
        EXPECT_EQ(FindControl<CListCtrlEx>(&dialog, 1307), nullptr);
    }

    RegisterControlClasses();
    EXPECT_TRUE(TemplateLoader::IsControlClassRegistered(QStringLiteral("CNumberEdit")));
    EXPECT_TRUE(TemplateLoader::IsControlClassRegistered(QStringLiteral("CListCtrlEx")));
    QWidget dialog;
    TemplateLoader loader;
    ASSERT_TRUE(loader.LoadTemplateFile(path, &dialog)) << loader.lastError().toStdString();
    auto* edit = FindControl<CNumberEdit>(&dialog, 1311);
    auto* list = FindControl<CListCtrlEx>(&dialog, 1307);
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(edit->geometry(), QRect(10, 10, 80, 22));
    EXPECT_EQ(list->geometry(), QRect(10, 40, 280, 150));
    EXPECT_EQ(list->GetHeaderCtrl(), list->horizontalHeader());
}
