#include "cli/CliFileCommands.h"

#include "data/DataStore.h"
#include "data/ItemPresentation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Every item of a record in the order of a data file; points only where either side uses one.
QStringList ItemsInFileOrder(const ControllerData& a, const ControllerData& b) {
    QStringList items{QStringLiteral("CONT"),   QStringLiteral("USER"), QStringLiteral("ROBOT"),
                      QStringLiteral("IF"),     QStringLiteral("VER"),  QStringLiteral("DBVER"),
                      QStringLiteral("IPADDR"), QStringLiteral("MASK"), QStringLiteral("GATEWAY")};
    for (int slot = 0; slot < kPointCount; ++slot) {
        if (a.points[slot].inUse() || b.points[slot].inUse())
            items << QStringLiteral("PNT%1").arg(slot + 1);
    }
    for (int k = 1; k <= kKParamCount; ++k)
        items << QStringLiteral("K%1").arg(k);
    for (int h = 0; h < kParamCount - kKParamCount; ++h)
        items << QStringLiteral("H%1").arg(h);
    return items;
}

QString Line(const ItemText& text, const QString& value) {
    QStringList parts{text.item};
    if (!text.name.isEmpty())
        parts << text.name;
    parts << value;
    if (!text.unit.isEmpty() && !value.isEmpty())
        parts << text.unit;
    return parts.join(QLatin1Char(' '));
}

void Print(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

namespace CliFileCommands {

bool Handles(const QStringList& arguments) {
    return !arguments.isEmpty() && (arguments.first() == QLatin1String("show") ||
                                    arguments.first() == QLatin1String("diff"));
}

int Run(const QStringList& arguments, FILE* out, FILE* err) {
    const bool diff = arguments.first() == QLatin1String("diff");
    QStringList files = arguments.mid(1);
    const bool json = files.removeAll(QStringLiteral("--json")) > 0;
    const qsizetype wanted = diff ? 2 : 1;
    for (const QString& file : std::as_const(files)) {
        if (file.startsWith(QLatin1String("--"))) {
            Print(err, QStringLiteral("Unknown option \"%1\".\n").arg(file));
            return 2;
        }
    }
    if (files.size() != wanted) {
        Print(err, diff ? QStringLiteral("diff needs two data files.\n")
                        : QStringLiteral("show needs one data file.\n"));
        return 2;
    }

    CDataStore store;
    ControllerDataSlot records[2];
    for (qsizetype i = 0; i < wanted; ++i) {
        QString reason;
        if (!store.CreateControllerData(records[i]) ||
            !store.LoadDataFile(files[i], *records[i], true, true, &reason)) {
            Print(err, QStringLiteral("Cannot read %1: %2\n").arg(files[i], reason));
            return 2;
        }
    }
    // A data file does not say its model: the standard table names the parameters.
    ParamInfoTableSlot table;
    LoadParamInfoTable(table, 0);

    const ControllerData& a = *records[0];
    int status = 0;
    if (diff) {
        // Raw values decide: a length reads otherwise when only the decimal places changed.
        QStringList differing;
        for (const QString& item : ItemsInFileOrder(a, *records[1])) {
            if (PresentItem(a, nullptr, item).value !=
                PresentItem(*records[1], nullptr, item).value)
                differing << item;
        }
        status = ReportDifferences(a, *records[1], table.get(), differing, json, out) ? 1 : 0;
    } else {
        QJsonArray entries;
        QString text;
        for (const QString& item : ItemsInFileOrder(a, a)) {
            const ItemText shown = PresentItem(a, table.get(), item);
            if (!item.startsWith(QLatin1String("PNT")) || !shown.value.isEmpty())
                text += Line(shown, shown.value) + QLatin1Char('\n');
            entries.append(QJsonObject{{QStringLiteral("item"), item},
                                       {QStringLiteral("name"), shown.name},
                                       {QStringLiteral("unit"), shown.unit},
                                       {QStringLiteral("value"), shown.value}});
        }
        if (json)
            std::fputs(
                QJsonDocument(QJsonObject{{QStringLiteral("items"), entries}}).toJson().constData(),
                out);
        else
            Print(out, text);
    }
    FreeParamInfoTable(table);
    return status;
}

bool ReportDifferences(const ControllerData& a, const ControllerData& b,
                       const ParamInfoTable* table, const QStringList& items, bool json,
                       FILE* out) {
    QJsonArray entries;
    QString text;
    for (const QString& item : items) {
        const ItemText left = PresentItem(a, table, item);
        const ItemText right = PresentItem(b, table, item);
        const QString unit = right.value.isEmpty() || right.unit.isEmpty()
                                 ? QString()
                                 : QLatin1Char(' ') + right.unit;
        text += QStringLiteral("%1 -> %2%3\n").arg(Line(left, left.value), right.value, unit);
        entries.append(QJsonObject{{QStringLiteral("item"), item},
                                   {QStringLiteral("name"), left.name},
                                   {QStringLiteral("unit"), left.unit},
                                   {QStringLiteral("a"), left.value},
                                   {QStringLiteral("b"), right.value}});
    }
    if (json)
        std::fputs(QJsonDocument(QJsonObject{{QStringLiteral("equal"), entries.isEmpty()},
                                             {QStringLiteral("differences"), entries}})
                       .toJson()
                       .constData(),
                   out);
    else
        Print(out, text);
    std::fflush(out);
    return !entries.isEmpty();
}

bool ReportDifferencesOfModel(const ControllerData& a, const ControllerData& b,
                              const QStringList& items, bool json, FILE* out) {
    ParamInfoTableSlot table;
    LoadParamInfoTable(table, a.isPulseTrainModel() ? 1 : 0);
    const bool any = ReportDifferences(a, b, table.get(), items, json, out);
    FreeParamInfoTable(table);
    return any;
}

} // namespace CliFileCommands
