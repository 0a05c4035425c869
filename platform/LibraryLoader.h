#pragma once

#include <QString>

// A shared library of the program directory, loaded by absolute path (never through the
// library search path) and unloaded when this object goes. Functions are looked up by name.
class LibraryLoader {
public:
    // `fileName` is a bare file name, e.g. "libRobotCatalog.so", taken from the program
    // directory; an absolute path is used as it stands.
    explicit LibraryLoader(const QString& fileName);
    ~LibraryLoader();
    LibraryLoader(const LibraryLoader&) = delete;
    LibraryLoader& operator=(const LibraryLoader&) = delete;

    bool isLoaded() const { return handle_ != nullptr; }
    // The full path tried.
    QString path() const { return path_; }
    // Why loading or the last lookup failed.
    QString errorString() const { return error_; }

    // nullptr when the library is not loaded or has no such function.
    void* resolve(const char* symbol);
    template <typename Fn> Fn function(const char* symbol) {
        return reinterpret_cast<Fn>(resolve(symbol));
    }

    void unload();

    // Directory of the running program, ending with "/".
    static QString ProgramDirectory();

private:
    void* handle_ = nullptr;
    QString path_;
    QString error_;
};
