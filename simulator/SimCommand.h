#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

// One command line as a controller reads it:
//   "@" or "@?", keyword, [number ["-" number]], ["." node], ["=" value]
struct SimCommand {
    enum class Form { Ignored, Malformed, Parsed };

    Form form = Form::Ignored; // Ignored: empty line or no "@" (nobody answers)
    bool query = false;
    bool knownKeyword = false;
    QString keyword; // as matched; for an unknown keyword the text that stood there
    bool hasNumber = false;
    int64_t number = 0;
    bool hasLast = false; // a range "first-last"
    int64_t last = 0;
    int node = 0; // 0: every controller; negative: a node no controller can have
    bool hasValue = false;
    QString value;

    // A malformed line keeps the node it seems to address, so that controller can refuse it.
    static SimCommand Parse(QStringView line);

private:
    static SimCommand ParseParts(QStringView line);
};
