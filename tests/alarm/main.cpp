#include "platform/ResourceLibrary.h"
#include "tests/support/PrivateRuntimeFolder.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    PrivateRuntimeFolder runtime;
    QApplication app(argc, argv);
    if (!ResourceLibrary::LoadFile(QStringLiteral(LANGRES_PATH)))
        return 2;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
