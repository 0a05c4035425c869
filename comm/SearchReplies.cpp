#include "comm/SearchReplies.h"

#include "comm/ReplyLines.h"
#include "data/Conversions.h"

#include <cstdint>

namespace SearchReplies {

bool ReadControllerBlocks(const QString& answer, const QStringList& knownNames,
                          std::array<bool, kNodeCount>& present,
                          std::array<QString, kNodeCount>& modelName) {
    present.fill(false);
    for (QString& name : modelName)
        name.clear();
    const QStringList lines = CutReplyLines(answer);
    qsizetype next = 0;
    bool failed = true;
    while (next < lines.size()) {
        QString entry;
        bool haveEntry = false;
        for (; next < lines.size(); ++next) {
            const QString& line = lines.at(next);
            if (line.contains(QLatin1String("OK."))) {
                ++next;
                break;
            }
            const qsizetype cont = line.indexOf(QLatin1String("CONT."));
            if (!haveEntry && cont >= 0) {
                entry = line.mid(cont + 5);
                haveEntry = true;
            }
        }
        const qsizetype equals = entry.indexOf(QLatin1Char('='));
        const QString nodeText = equals >= 0 ? entry.left(equals) : entry;
        const QString name = equals >= 0 ? entry.mid(equals + 1) : QString();

        failed = true;
        if (!haveEntry || !knownNames.contains(name, Qt::CaseSensitive))
            break;
        const int node = ParseStandardInteger(nodeText);
        if (node < 1 || node > kNodeCount)
            break;
        failed = false;
        present[static_cast<std::size_t>(node - 1)] = true;
        modelName[static_cast<std::size_t>(node - 1)] = name;
    }
    return !failed;
}

bool HasDuplicateNodes(const QString& answer) {
    std::array<bool, kNodeCount> seen{};
    for (const QString& piece : CutReplyLines(answer)) {
        if (!piece.startsWith(QLatin1String("OK.")))
            continue;
        const int node = ParseStandardInteger(QStringView(piece).mid(3));
        if (node < 1 || node > kNodeCount)
            continue;
        if (seen[static_cast<std::size_t>(node - 1)])
            return true;
        seen[static_cast<std::size_t>(node - 1)] = true;
    }
    return false;
}

bool ReadUserNames(const QString& answer, std::array<QString, kNodeCount>& userName) {
    for (QString& name : userName)
        name.clear();
    for (const QString& piece : CutReplyLines(answer)) {
        if (piece.left(2) == QLatin1String("OK"))
            continue;
        const qsizetype dot = piece.indexOf(QLatin1Char('.'));
        const qsizetype equals = piece.indexOf(QLatin1Char('='));
        int node = 0;
        if (dot >= 0 && equals > dot)
            node = ParseStandardInteger(QStringView(piece).mid(dot + 1, equals - dot - 1));
        if (node > kNodeCount)
            return false;
        if (node < 1)
            continue;
        userName[static_cast<std::size_t>(node - 1)] = piece.mid(equals + 1);
    }
    return true;
}

} // namespace SearchReplies
