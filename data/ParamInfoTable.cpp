#include "data/ParamInfoTable.h"

#include "data/CodePage.h"
#include "data/Conversions.h"
#include "platform/ResourceLibrary.h"

#include <QStringView>

#include <algorithm>

ParamInfo::~ParamInfo() {
    std::unique_ptr<ParamInfo> next = std::move(nextVariant);
    while (next)
        next = std::move(next->nextVariant);
}

namespace {

constexpr int kTableIds[2] = {191, 195};

// The fields of one record, each terminated by "|"; a last field may lack its terminator.
class FieldReader {
public:
    explicit FieldReader(QStringView record) : rest(record) {}

    bool atEnd() const { return rest.isEmpty(); }

    QStringView next() {
        const qsizetype bar = rest.indexOf(u'|');
        if (bar < 0) {
            const QStringView last = rest;
            rest = {};
            return last;
        }
        const QStringView field = rest.left(bar);
        rest = rest.mid(bar + 1);
        return field;
    }

    int32_t nextInteger() { return ParseStandardInteger(next()); }

    qsizetype remainingFields() const {
        if (rest.isEmpty())
            return 0;
        return rest.count(u'|') + (rest.endsWith(u'|') ? 0 : 1);
    }

private:
    QStringView rest;
};

char kindOf(QStringView field) {
    if (field.isEmpty())
        return 0;
    return CodePage::ToAnsi(field.left(1).toString()).at(0);
}

void readItems(ParamInfo& entry, FieldReader& fields) {
    // The announced count is kept in maxValue, but room is made only for the pairs present.
    const qsizetype pairsPresent = (fields.remainingFields() + 1) / 2;
    const qsizetype count = std::clamp<qsizetype>(entry.maxValue, 0, pairsPresent);
    entry.itemLabels.resize(count);
    entry.itemValues.resize(count);
    for (qsizetype i = 0; i < count && !fields.atEnd(); ++i) {
        entry.itemLabels[i] = fields.next().toString();
        if (fields.atEnd())
            break;
        entry.itemValues[i] = fields.nextInteger();
    }
}

class TableBuilder {
public:
    explicit TableBuilder(ParamInfoTable& target) : table(target) { tails.fill(nullptr); }

    void parseRecord(QStringView record) {
        FieldReader fields(record);
        const QStringView kindField = fields.next();
        const int32_t n = fields.nextInteger();
        if (n < 1 || n > kParamTableSize)
            return;
        const std::size_t index = static_cast<std::size_t>(n - 1);
        // Held by a flag, not by `number`: the head of H0 has number 0 once filled.
        ParamInfo* entry = &table.entries[index];
        if (tails[index]) {
            tails[index]->nextVariant = std::make_unique<ParamInfo>();
            entry = tails[index]->nextVariant.get();
        }
        tails[index] = entry;

        entry->kind = kindOf(kindField);
        entry->number = static_cast<uint16_t>(n <= 138 ? n : n - 139);
        entry->variant = fields.nextInteger();
        entry->name = fields.next().toString();
        entry->description = fields.next().toString();
        entry->unit = fields.next().toString();
        entry->attributes = static_cast<uint16_t>(fields.nextInteger());
        entry->accessMask = static_cast<uint16_t>(fields.nextInteger());
        entry->valueType = static_cast<uint8_t>(fields.nextInteger());
        entry->decimals = static_cast<int8_t>(fields.nextInteger());
        entry->defaultValue = fields.nextInteger();
        entry->minValue = fields.nextInteger();
        entry->maxValue = fields.nextInteger();
        if (entry->valueType == 1)
            readItems(*entry, fields);
    }

private:
    static constexpr int kParamTableSize = 146;
    ParamInfoTable& table;
    std::array<ParamInfo*, kParamTableSize> tails;
};

} // namespace

bool LoadParamInfoTableFromBytes(ParamInfoTableSlot& slot, const QByteArray& bytes) {
    if (slot)
        return false;
    const QString text = CodePage::FromAnsi(bytes);
    if (text.isEmpty())
        return false;
    auto table = std::make_unique<ParamInfoTable>();
    TableBuilder builder(*table);
    QStringView rest(text);
    while (!rest.isEmpty()) {
        // Records end with CR LF; a bare LF is taken as well.
        const qsizetype lf = rest.indexOf(u'\n');
        QStringView line = lf < 0 ? rest : rest.left(lf);
        rest = lf < 0 ? QStringView() : rest.mid(lf + 1);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.isEmpty())
            builder.parseRecord(line);
    }
    slot = std::move(table);
    return true;
}

bool LoadParamInfoTable(ParamInfoTableSlot& slot, int which) {
    if (slot || which < 0 || which > 1)
        return false;
    return LoadParamInfoTableFromBytes(slot, ResourceLibrary::LoadCustom("TEXT", kTableIds[which]));
}

void FreeParamInfoTable(ParamInfoTableSlot& slot) {
    slot.reset();
}

const ParamInfo* FindVariant(const ParamInfo* entry, int variant) {
    for (; entry; entry = entry->nextVariant.get()) {
        if (entry->variant == variant)
            return entry;
    }
    return nullptr;
}

const ParamInfo& ParamInfoFor(const ParamInfoTable& table, int number, int variant) {
    static const ParamInfo kNone;
    if (number < 1 || number > static_cast<int>(table.entries.size()))
        return kNone;
    const ParamInfo& head = table.entries[static_cast<std::size_t>(number - 1)];
    const ParamInfo* match = FindVariant(&head, variant);
    return match ? *match : head;
}
