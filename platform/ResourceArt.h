#pragma once

#include <QIcon>
#include <QPixmap>

// The resource library's icons and bitmaps for the screen they are shown on. Each picture is
// drawn for a ratio of 1 and again at twice the size; a screen at 200 % gets the second, never
// an enlarged copy of the first.
namespace ResourceArt {

// Every size the library holds of icon `id` (16, 32 and 64 pixels for the shipped icons), each
// as the picture of its pixel size, so that a 16-pixel icon at ratio 2 is the 32-pixel drawing.
// Null when the library has none.
QIcon Icon(int id);
// Icon `id` `size` logical pixels wide for a screen of `ratio` (devicePixelRatio `ratio` when
// the library holds the size it needs); `size` 0 takes the size of the plain "<id>.png".
QPixmap IconPixmap(int id, int size, qreal ratio);
// Bitmap `id`; above ratio 1 its double with devicePixelRatio 2 when the library holds one.
QPixmap Bitmap(int id, qreal ratio);

} // namespace ResourceArt
