#include "platform/LibraryLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

const char* const kPlugin = "libvelmora_test_plugin.so";

bool loadedInProcess(const QString& path) {
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

TEST(LibraryLoader, ProgramDirectoryEndsWithASlash) {
    const QString dir = LibraryLoader::ProgramDirectory();
    EXPECT_TRUE(dir.endsWith('/'));
    EXPECT_EQ(QDir(dir), QDir(QCoreApplication::applicationDirPath()));
}

TEST(LibraryLoader, LoadsFromTheProgramDirectoryResolvesAndUnloads) {
    const QString expectedPath = LibraryLoader::ProgramDirectory() + kPlugin;
    {
        LibraryLoader library(QString::fromLatin1(kPlugin));
        ASSERT_TRUE(library.isLoaded()) << library.errorString().toStdString();
        EXPECT_EQ(library.path(), expectedPath);
        auto answer = library.function<int (*)(int)>("velmora_test_answer");
        ASSERT_NE(answer, nullptr);
        EXPECT_EQ(answer(20), 41);
        EXPECT_EQ(library.resolve("velmora_no_such_function"), nullptr);
        EXPECT_FALSE(library.errorString().isEmpty());
        EXPECT_TRUE(loadedInProcess(expectedPath));
    }
    EXPECT_FALSE(loadedInProcess(expectedPath));
}

TEST(LibraryLoader, NeverUsesTheLibrarySearchPath) {
    // Present on the search path, absent from the program directory.
    LibraryLoader library(QStringLiteral("libc.so.6"));
    EXPECT_FALSE(library.isLoaded());
    EXPECT_FALSE(library.errorString().isEmpty());
    EXPECT_EQ(library.resolve("printf"), nullptr);
}

TEST(LibraryLoader, RefusesAFileThatIsNoLibrary) {
    LibraryLoader library(QString::fromLatin1(TEST_TEMPLATE_DIR "/broken.ui"));
    EXPECT_FALSE(library.isLoaded());
    EXPECT_FALSE(library.errorString().isEmpty());
}

} // namespace
