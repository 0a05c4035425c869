#include "tests/support/MessageLogInteraction.h"

#include <QFile>

MsgResult MessageLogInteraction::ShowMessage(QObject*, const QString& text, MsgButtons buttons,
                                             MsgIcon icon) {
    QFile log(logPath_);
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(
            (IconName(EffectiveIcon(buttons, icon)) + u'\t' + EscapeForLog(text) + u'\n').toUtf8());
    return SafeAnswer(buttons);
}

bool MessageLogInteraction::ChooseFile(QObject*, const FileChoice&, QString&) {
    return false;
}

QString MessageLogInteraction::IconName(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QStringLiteral("information");
    case MsgIcon::Warning:
        return QStringLiteral("warning");
    case MsgIcon::Error:
        return QStringLiteral("error");
    case MsgIcon::Question:
        return QStringLiteral("question");
    case MsgIcon::Default:
        break;
    }
    return QStringLiteral("default");
}

QString MessageLogInteraction::EscapeForLog(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}
