#include "simulator/SimController.h"

#include "data/DataStore.h"

SimController::SimController() {
    data.points.assign(kPointCount, PointRecord{});
    data.robotParams.resize(1);
    data.params().K(kDelimiterParam) = kDelimiterCrLf;
}

QByteArray SimController::lineEnd() const {
    return data.params().K(kDelimiterParam) == kDelimiterCr ? QByteArray("\r") : QByteArray("\r\n");
}

SimController SimController::FromData(const ControllerData& source) {
    SimController controller;
    CopyControllerData(controller.data, source);
    controller.data.userName = source.userName;
    // Points are kept by slot; a slot whose number disagrees with its place is not one the
    // controller could hold.
    for (int i = 0; i < kPointCount; ++i) {
        PointRecord& point = controller.data.points[static_cast<std::size_t>(i)];
        if (point.runType <= 0 || (point.number != 0 && point.number != i + 1))
            point = PointRecord{};
        else
            point.number = i + 1;
    }
    controller.text(2) = source.userName;
    controller.text(7) = source.gateway;
    controller.text(8) = source.subnetMask;
    controller.text(9) = source.ipAddress;
    if (controller.data.modelCode.isEmpty())
        controller.data.modelCode = source.controllerName;
    return controller;
}

QString FormatAlarmPayload(const SimAlarm& alarm) {
    return QStringLiteral("F%1,T%2,P%3,S%4,M%5,N%6,C%7,V%8,I%9,O%10")
        .arg(uint(alarm.code), 2, 16, QLatin1Char('0'))
        .arg(qulonglong(alarm.time))
        .arg(int(alarm.position))
        .arg(int(alarm.speed))
        .arg(int(alarm.runStatus))
        .arg(uint(alarm.runPoint))
        .arg(int(alarm.current))
        .arg(int(alarm.voltage))
        .arg(uint(alarm.input))
        .arg(uint(alarm.output))
        .toUpper();
}
