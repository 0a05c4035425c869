#include "platform/LibraryLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <dlfcn.h>

LibraryLoader::LibraryLoader(const QString& fileName) {
    // A bare name would make dlopen search the library path: always hand it a full path.
    path_ = QFileInfo(fileName).isAbsolute() ? fileName : ProgramDirectory() + fileName;
    if (!QFileInfo(path_).isFile()) {
        error_ = QStringLiteral("%1: no such file").arg(path_);
        return;
    }
    handle_ = dlopen(QFile::encodeName(path_).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* reason = dlerror();
        error_ =
            reason ? QString::fromLocal8Bit(reason) : QStringLiteral("cannot load %1").arg(path_);
    }
}

LibraryLoader::~LibraryLoader() {
    unload();
}

void* LibraryLoader::resolve(const char* symbol) {
    if (!handle_ || !symbol)
        return nullptr;
    dlerror();
    void* address = dlsym(handle_, symbol);
    if (!address) {
        const char* reason = dlerror();
        error_ = reason
                     ? QString::fromLocal8Bit(reason)
                     : QStringLiteral("%1: no function %2").arg(path_, QString::fromLatin1(symbol));
    }
    return address;
}

void LibraryLoader::unload() {
    if (handle_) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

QString LibraryLoader::ProgramDirectory() {
    QString dir;
    if (QCoreApplication::instance())
        dir = QCoreApplication::applicationDirPath();
    else
        dir = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}
