#include "app/VelmoraApp.h"
#include "data/ParamInfoTable.h"
#include "platform/ResourceLibrary.h"
#include "tests/support/PrivateRuntimeFolder.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    PrivateRuntimeFolder runtime;
    QApplication app(argc, argv);
    if (!ResourceLibrary::Load(QCoreApplication::applicationDirPath()))
        return 2;
    // The application object as start-up leaves it: the dialogs read its tables and icons.
    CVelmoraApp velmoraApp;
    LoadParamInfoTable(velmoraApp.paramTables[0], 0);
    LoadParamInfoTable(velmoraApp.paramTables[1], 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
