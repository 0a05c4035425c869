#include "platform/ResourceLibrary.h"
#include "tests/support/PrivateRuntimeFolder.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    PrivateRuntimeFolder runtime;
    QCoreApplication app(argc, argv);
    if (!ResourceLibrary::Load(QCoreApplication::applicationDirPath()))
        return 2;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
