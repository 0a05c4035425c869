#include "platform/ResourceLibrary.h"
#include "tests/support/PrivateRuntimeFolder.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    PrivateRuntimeFolder runtime;
    QCoreApplication app(argc, argv);
    if (!ResourceLibrary::LoadFile(QStringLiteral(LANGRES_PATH)))
        return 2;
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // Without a GUI application nothing else releases the library before the leak check.
    ResourceLibrary::Unload();
    return result;
}
