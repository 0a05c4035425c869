#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// How the program's dialogs sit on a desktop's window manager.
namespace DialogWindows {

// Width a window needs for the window manager to show `title` whole: the title in the title
// bar's font, taken bold as title bars draw it, and room for the icon and the buttons.
int TitleWidth(const QString& title);

// A dialog of fixed layout: widened to TitleWidth when its title needs more (the controls of
// its right half move with the right edge, those across the middle grow), then fixed at its
// size, so that the window manager offers no maximise button and no resizing. Call it again
// after the title changes.
void FixSize(QWidget* dialog);

// From now on, when a dialog ends, the window below it (the modal window left, or else the
// dialog's parent) gets activation and keyboard focus back, whatever the window manager does.
// Once per application; later calls do nothing.
void ReactivateBelowEndingDialogs();

// Captions with access keys: each caption without one gets "&" before the first letter that no
// other caption of the set uses, word starts first. Captions with a key keep it and claim it;
// a caption with no free letter stays as it is.
QStringList WithAccessKeys(const QStringList& captions);
// The same for the push buttons of `dialog`, leaving the string table's texts as they are.
void GiveAccessKeys(QWidget* dialog);

} // namespace DialogWindows
