#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The one place where reply text is cut into lines. A line ends at CR; an LF right after it
// belongs to that line end (a controller set to end its lines in CR alone, K37 = 0, sends none). At
// the start of every line the bytes that cannot begin a reply line are dropped: control characters
// (the LF of a line end that arrived late included) and characters from 0x7F up, which a
// half-duplex line produces at turn-around. Empty lines and lines with no letter and no digit
// carry nothing and are left out.

// What to do with text after the last CR.
enum class PartialLine {
    Keep, // a last line that is still arriving counts as a line (a whole answer)
    Drop, // only complete lines count (text still being received)
};

QStringList CutReplyLines(QStringView text, PartialLine partial = PartialLine::Keep);

// The lines joined back, each ended with CR LF: the form answers are handed on in.
QString JoinReplyLines(const QStringList& lines);
