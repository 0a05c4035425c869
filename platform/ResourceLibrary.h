#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The resource library langresFree.rcc: every user-interface text, dialog template, icon,
// bitmap and the TEXT/ALM tables. It is registered once at start-up from the program
// directory; everything below reads from it by numeric id.
//
// Layout inside the library (resource root ":/langres"):
//   strings.tsv          one "id<TAB>text" per line, UTF-8, text with \n \t \r \\ escapes
//   templates/<id>.ui    dialog templates
//   icons/<id>.png       icons (several sizes may live in one PNG-per-size set: <id>_16.png)
//   bitmaps/<id>.bmp     bitmaps
//   <name>@2x.<ext>      an icon or bitmap drawn again at twice the size, for screens at 200 %
//   TEXT/<id>, ALM/<id>  custom resources, raw bytes in the ANSI code page
namespace ResourceLibrary {

inline constexpr const char* kFileName = "langresFree.rcc";
inline constexpr const char* kRoot = ":/langres";

// Registers the library file found in `directory`. False when it is missing or not a
// resource file. A second call while loaded unregisters the first library.
bool Load(const QString& directory);
// Registers a library file by its full path (tests use libraries of their own).
bool LoadFile(const QString& path);
void Unload();
bool IsLoaded();
QString LoadedFilePath();

// A missing id gives empty text.
QString LoadString(int id);
// Raw bytes of a custom resource ("TEXT", 191); empty when missing.
QByteArray LoadCustom(const char* type, int id);
// Whether the library holds the custom resource, empty or not.
bool HasCustom(const char* type, int id);
// Resource paths of the other kinds, for QIcon/QPixmap/QUiLoader; empty when missing.
QString IconPath(int id, int size = 0);
// Every picture of icon `id`, sizes and doubles alike, in name order; empty when none.
QStringList IconPaths(int id);
// `ratio` 2 names the bitmap drawn at twice the size ("<id>@2x.bmp"), empty when missing.
QString BitmapPath(int id, int ratio = 1);
QString TemplatePath(int id);

} // namespace ResourceLibrary
