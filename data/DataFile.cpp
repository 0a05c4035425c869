#include "data/CodePage.h"
#include "data/Conversions.h"
#include "data/DataStore.h"
#include "data/FileReplace.h"
#include "platform/ResourceLibrary.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace {

const QLatin1String kLineEnd("\r\n");
constexpr int kNotARegularFile = 10424;

// A key value is one line: a line break inside it would turn the rest into lines of their own
// (a user name could otherwise carry a K38 line into the file).
QString singleLine(QString text) {
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QString ipLineValue(const QString& hex) {
    QString dotted;
    // Only a whole address of 8 hexadecimal digits is written; anything else as an empty value.
    if (hex.size() != 8 || IpHexToText(hex, dotted) != 0)
        return {};
    return dotted;
}

void appendKeyLine(QString& text, const char* key, const QString& value) {
    text += QLatin1String(key);
    text += QLatin1Char('=');
    text += singleLine(value);
    text += kLineEnd;
}

QString ipFromLine(const QString& dotted) {
    QString hex;
    return IpTextToHex(dotted, hex) == 0 ? hex : QString();
}

} // namespace

QString FormatPointLine(const PointRecord& point) {
    QString line = QStringLiteral("PNT%1=").arg(point.number);
    for (int index = 1; index < kPointFieldCount; ++index) {
        if (index > 1)
            line += QLatin1Char(',');
        line += QLatin1String(kPointFieldTags[index]);
        line += QString::number(point.field(index));
    }
    return line;
}

QString FormatKLine(int n, int32_t value) {
    return QStringLiteral("K%1=%2").arg(n).arg(value);
}

QString FormatHLine(int n, int32_t value) {
    return QStringLiteral("H%1=%2").arg(n).arg(value);
}

QString FormatDataFileText(const ControllerData& data, bool withPoints, bool withParams) {
    QString text;
    appendKeyLine(text, "CONT", data.controllerName);
    appendKeyLine(text, "USER", data.userName);
    appendKeyLine(text, "ROBOT", data.robotName);
    appendKeyLine(text, "IF", data.interfaceInfo);
    appendKeyLine(text, "VER", data.version);
    appendKeyLine(text, "DBVER", data.dbVersion);
    appendKeyLine(text, "IPADDR", ipLineValue(data.ipAddress));
    appendKeyLine(text, "MASK", ipLineValue(data.subnetMask));
    appendKeyLine(text, "GATEWAY", ipLineValue(data.gateway));
    if (withPoints) {
        for (const PointRecord& point : data.points) {
            if (!point.inUse())
                continue;
            text += FormatPointLine(point);
            text += kLineEnd;
        }
    }
    if (withParams && !data.robotParams.empty()) {
        const RobotParameters& block = data.params();
        for (int n = 1; n <= kKParamCount; ++n) {
            text += FormatKLine(n, block.K(n));
            text += kLineEnd;
        }
        for (int n = 0; n < kParamCount - kHParamIndex; ++n) {
            text += FormatHLine(n, block.H(n));
            text += kLineEnd;
        }
    }
    return text;
}

bool CDataStore::SaveDataFile(const QString& path, const ControllerData& data, bool withPoints,
                              bool withParams, QString* reason) const {
    const QByteArray bytes = CodePage::ToAnsi(FormatDataFileText(data, withPoints, withParams));
    return ReplaceFileContents(path, bytes, reason);
}

bool CDataStore::LoadDataFile(const QString& path, ControllerData& data, bool withPoints,
                              bool withParams, QString* reason) const {
    const QFileInfo info(path);
    // Only regular files: a FIFO or a device would block or never end.
    if (info.exists() && !info.isFile()) {
        if (reason) {
            *reason = info.isDir() ? QString::fromLocal8Bit(std::strerror(EISDIR))
                                   : ResourceLibrary::LoadString(kNotARegularFile);
        }
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    LoadDataBytes(bytes, data, withPoints, withParams);
    return true;
}

namespace {

struct LineReader {
    const CDataStore& store;
    ControllerData& data;
    bool withPoints;
    bool withParams;

    static QString valueOf(QByteArrayView line) {
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            return {};
        return CodePage::FromAnsi(line.data() + equals + 1, line.size() - equals - 1);
    }

    void apply(QByteArrayView line) {
        if (line.startsWith("CONT")) {
            data.controllerName = valueOf(line);
        } else if (line.startsWith("USER")) {
            data.userName = valueOf(line);
        } else if (line.startsWith("ROBOT")) {
            data.robotName = valueOf(line);
            if (!data.robotParams.empty())
                data.params().robotName = data.robotName;
        } else if (line.startsWith("IF")) {
            data.interfaceInfo = valueOf(line);
        } else if (line.startsWith("VER")) {
            data.version = valueOf(line);
        } else if (line.startsWith("DBVER")) {
            data.dbVersion = valueOf(line);
        } else if (line.startsWith("IPADDR")) {
            data.ipAddress = ipFromLine(valueOf(line));
        } else if (line.startsWith("MASK")) {
            data.subnetMask = ipFromLine(valueOf(line));
        } else if (line.startsWith("GATEWAY")) {
            data.gateway = ipFromLine(valueOf(line));
        } else if (line.startsWith("PNT")) {
            if (withPoints)
                store.ParsePointLine(data, CodePage::FromAnsi(line.data(), line.size()));
        } else if (line.startsWith("K")) {
            if (withParams)
                store.ParseKLine(data, CodePage::FromAnsi(line.data(), line.size()));
        } else if (line.startsWith("H")) {
            if (withParams)
                store.ParseHLine(data, CodePage::FromAnsi(line.data(), line.size()));
        }
    }
};

} // namespace

void CDataStore::LoadDataBytes(const QByteArray& bytes, ControllerData& data, bool withPoints,
                               bool withParams) const {
    LineReader reader{*this, data, withPoints, withParams};
    const QByteArrayView all(bytes);
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = all.indexOf('\n', start);
        qsizetype next = end + 1;
        if (end < 0) {
            end = all.size();
            next = all.size();
        } else if (end > start && all[end - 1] == '\r') {
            --end; // CR LF
        }
        reader.apply(all.sliced(start, end - start));
        start = next;
    }
}
