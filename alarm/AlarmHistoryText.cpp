#include "alarm/AlarmHistoryText.h"

#include "alarm/AlarmMessages.h"
#include "data/ControllerData.h"
#include "data/Conversions.h"
#include "platform/ResourceLibrary.h"

#include <iomanip>
#include <locale>
#include <sstream>

namespace AlarmHistoryText {
namespace {

constexpr int kRunTypeCount = 8;
constexpr int kRunStatusPulseTrainValue = 9;
constexpr int kRunStatusOriginSearchValue = -1;

// FormatScaled takes the place count as a signed byte; a value outside it prints unscaled
// rather than as a wrapped count.
int8_t placesOf(int32_t places) {
    return places < 0 || places > 127 ? int8_t{0} : static_cast<int8_t>(places);
}

QString hex(uint value, int width, bool upper, QChar pad) {
    QString text = QString::number(value, 16).rightJustified(width, pad);
    return upper ? text.toUpper() : text;
}

} // namespace

QString RunStatusText(int runStatus) {
    if (runStatus == 0)
        return ResourceLibrary::LoadString(AlarmMessages::kRunStatusHold);
    if (runStatus >= 1 && runStatus <= kRunTypeCount) {
        const QString name =
            ResourceLibrary::LoadString(AlarmMessages::kRunTypeFirst + runStatus - 1);
        QString text = ResourceLibrary::LoadString(AlarmMessages::kRunStatusRunning);
        const qsizetype at = text.indexOf(QLatin1String("%s"));
        return at < 0 ? text : text.replace(at, 2, name);
    }
    if (runStatus == kRunStatusPulseTrainValue)
        return ResourceLibrary::LoadString(AlarmMessages::kRunStatusPulseTrain);
    if (runStatus == kRunStatusOriginSearchValue)
        return ResourceLibrary::LoadString(AlarmMessages::kRunStatusOriginSearch);
    return QString();
}

QString FormatReadTime(const std::tm& when, const QString& format) {
    if (format.isEmpty())
        return QString();
    // The classic locale gives the English names; the process locale is left alone.
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::put_time(&when, format.toStdString().c_str());
    if (out.fail())
        return QString();
    const QString text = QString::fromStdString(out.str());
    return text.size() > kMaxReadTimeLength ? QString() : text;
}

QString CurrentReadTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr)
        return QString();
    return FormatReadTime(local, ResourceLibrary::LoadString(AlarmMessages::kReadTimeFormat));
}

QString FormatRecordLine(const AlarmRecord& record, int32_t places) {
    const QChar tab = QLatin1Char('\t');
    QString line;
    line += hex(record.code, 2, true, QLatin1Char(' ')) + tab;
    line += record.name + tab;
    line += FormatMinutesDhm(record.time) + tab;
    line += FormatScaled(record.position, placesOf(places)) + tab;
    line += FormatScaled(record.speed, 2) + tab;
    line += RunStatusText(record.runStatus) + tab;
    line += FormatScaled(record.runPoint, 0) + tab;
    line += FormatScaled(record.current, 0) + tab;
    line += FormatScaled(record.voltage, 1) + tab;
    line += hex(record.input, 4, false, QLatin1Char('0')) + tab;
    line += hex(record.output, 4, false, QLatin1Char('0')) + tab;
    line += QLatin1Char('\n');
    return line;
}

QString Build(const QString& readTime, const ControllerData& data,
              const QList<AlarmRecord>& records) {
    QString text = QStringLiteral("//") + readTime + QLatin1Char('\n');
    const auto identity = [&text](const char* key, const QString& value) {
        text += QStringLiteral("//") + QLatin1String(key) + QLatin1Char('=') + value +
                QLatin1Char('\n');
    };
    identity("CONT", data.controllerName);
    identity("ROBOT", data.robotName);
    identity("IF", data.interfaceInfo);
    identity("VER", data.version);
    identity("DBVER", data.dbVersion);
    const int32_t places = data.robotParams.empty() ? 0 : data.params().K(kDecimalsParam);
    for (const AlarmRecord& record : records)
        text += FormatRecordLine(record, places);
    return text;
}

} // namespace AlarmHistoryText
