#include "app/VelmoraApp.h"
#include "controls/ControlRegistry.h"
#include "data/ParamInfoTable.h"
#include "platform/ResourceLibrary.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The simulated lines are published in a runtime folder of this run's own.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QApplication app(argc, argv);
    if (!ResourceLibrary::Load(QCoreApplication::applicationDirPath()))
        return 2;
    // The application object as start-up leaves it: the dialogs read its tables.
    CVelmoraApp velmoraApp;
    LoadParamInfoTable(velmoraApp.paramTables[0], 0);
    LoadParamInfoTable(velmoraApp.paramTables[1], 1);
    RegisterControlClasses();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
