#include "simulator/DemoControllers.h"

#include <QStringList>

namespace {

const QStringList kModels = {"KQ-A", "KQ-C", "KQ-B", "KQ-A2", "KQ-E", "KQ-F", "KQ-B2"};

struct RobotSample {
    const char* robot;
    const char* userName;
    const char* interfaceInfo;
    const char* version;
    int strokeMm;
};

// One robot per model in kModels' order, each one the robot catalog offers for that model, so
// that new data for the controller's own robot matches it.
const RobotSample kSamples[] = {
    {"LX20-L06", "Feeder axis", "NPN", "1.20", 100},
    {"GX30-L10", "Gripper lift", "PNP", "1.05", 200},
    {"PX15-L06", "Press stage", "NPN", "2.01", 150},
    {"LX28-L10", "Label shuttle", "PNP", "1.20", 300},
    {"MX10-L02", "Pick head", "NPN", "1.31", 50},
    {"FX33-L12", "Pallet stop", "PNP", "1.10", 300},
    {"PX22-L10", "Sealer slide", "NPN", "2.03", 200},
};
static_assert(std::size(kSamples) == 7);

// Values a standard controller with two decimal places (K72 = 2) would hold for a robot of
// `strokeMm`; lengths in hundredths of a millimetre.
void fillParameters(RobotParameters& p, int node, int strokeMm, bool pulseTrain) {
    const int stroke = strokeMm * 100;
    p.K(1) = -100;        // (-) soft limit
    p.K(2) = stroke + 50; // (+) soft limit
    p.K(3) = 1;           // in-position width
    p.K(4) = 100;         // speed override
    p.K(5) = 100;
    p.K(6) = 10;
    p.K(7) = 50;
    p.K(8) = 50;
    p.K(9) = 2000; // origin speed 20.00
    p.K(10) = 30;
    p.K(11) = 1000;
    p.K(12) = 20;
    p.K(13) = 1;
    p.K(14) = 0; // origin direction CCW
    p.K(15) = 0;
    p.K(16) = 0;
    p.K(17) = 0; // deceleration stop
    p.K(18) = 1;
    p.K(19) = pulseTrain ? 0 : 1;
    p.K(20) = 0; // normal mode
    for (int k = 21; k <= 33; ++k)
        p.K(k) = k % 2;
    p.K(34) = 2; // 38400 bps
    p.K(35) = 0; // no parity
    p.K(36) = 0; // no flow control
    p.K(37) = kDelimiterCrLf;
    p.K(38) = node;
    p.K(40) = 1;
    p.K(41) = 100;
    p.K(42) = 200;
    p.K(43) = strokeMm;                    // stroke
    p.K(44) = strokeMm >= 300 ? 600 : 800; // max speed
    p.K(45) = 100;
    p.K(46) = 10;
    p.K(47) = 5;   // max payload
    p.K(48) = 300; // max acceleration
    p.K(49) = 30;  // min acceleration
    p.K(50) = 1;   // accel pattern
    p.K(51) = 100;
    p.K(52) = 100;
    p.K(53) = 50;
    p.K(54) = 10;
    p.K(55) = 1200; // accel coefficients
    p.K(56) = 800;
    p.K(57) = 400;
    p.K(58) = 100;
    p.K(59) = 8192; // encoder resolution
    p.K(60) = 3;    // motor type
    p.K(61) = 1;    // brake fitted
    p.K(62) = 10;
    p.K(63) = 20;
    p.K(64) = 5;
    p.K(65) = 380;
    p.K(66) = 0; // ORG method: torque
    p.K(67) = 0;
    p.K(68) = 20;
    p.K(69) = 0; // origin sensor normally open
    p.K(70) = 5;
    p.K(71) = 0;
    p.K(72) = 2; // decimal places
    p.K(73) = 0;
    p.K(74) = 0;
    p.K(75) = 1; // LCD enabled
    p.K(76) = 2; // payload 1
    p.K(77) = 250;
    p.K(78) = 0;
    p.K(79) = 300;
    p.K(80) = 0; // option disabled
    p.K(81) = 1;
    p.K(82) = 0;
    if (pulseTrain) {
        p.K(83) = 1;     // open collector pulse train
        p.K(84) = 20480; // E-gear
        p.K(85) = 20480;
        p.K(86) = 0;
        p.K(87) = 1;
        p.K(88) = 0;
    }
    p.K(89) = 0; // filter off
    // Servo settings: the factory values, with a tuned load ratio and a used maintenance counter.
    static constexpr int32_t kServo[] = {100, 100, 0, 0,  0,   0,   0, 100, 3000, 120, 200, 400, 90,
                                         50,  10,  0, 50, 500, 100, 0, 0,   50,   50,  0,   0,   0,
                                         30,  150, 0, 0,  0,   0,   0, 0,   0,    3,   0};
    for (int k = 100; k <= 136; ++k)
        p.K(k) = kServo[k - 100];
    p.K(138) = 1234;
    for (int h = 0; h < 8; ++h)
        p.H(h) = h == 0 ? 100 : 10 * h;
}

void fillPoints(std::vector<PointRecord>& points, int count, int strokeMm) {
    for (int i = 0; i < count; ++i) {
        PointRecord& point = points[static_cast<std::size_t>(i)];
        point.number = i + 1;
        point.runType = i % 4 == 3 ? 5 : i % 2 + 1; // ABS, INC, and now and then ABS Push
        // Absolute targets spread over the stroke in 0.5 mm steps, relative moves of 10 mm.
        point.position = i % 2 == 0 ? (strokeMm * 100 * (i + 1)) / (count + 1) / 50 * 50 : 1000;
        point.speed = 50 + 10 * (i % 6);
        point.accel = 100;
        point.decel = 100;
        point.push = point.runType == 5 ? 40 : 100;
        point.zoneMinus = i % 3 == 0 ? 500 : 0;
        point.zonePlus = i % 3 == 0 ? 1500 : 0;
        point.nearWidth = 10;
        point.jump = 0;
        point.flag = i % 5 == 4 ? 1 : 0;
        point.call = 0;
        point.timer = i % 4 == 0 ? 200 : 0;
    }
}

QList<SimAlarm> sampleAlarms(int count) {
    // Codes of the alarm table, newest first, with plausible snapshots.
    static const SimAlarm samples[] = {
        {0x8E, 1505, 12345, 2500, 3, 5, 180, 241, 0x000a, 0x0003},
        {0x42, 1310, 0, 0, 0, 0, 0, 240, 0x0001, 0x0000},
        {0x89, 980, 8050, 1200, 1, 2, 95, 238, 0x0005, 0x0001},
        {0xC1, 420, 4000, 0, 0, 1, 0, 239, 0x0000, 0x0000},
        {0x05, 61, -120, 800, -1, 0, 40, 242, 0x0010, 0x0002},
    };
    QList<SimAlarm> alarms;
    for (int i = 0; i < count && i < static_cast<int>(std::size(samples)); ++i)
        alarms.append(samples[i]);
    return alarms;
}

} // namespace

SimController MakeDemoController(int node, const QString& model) {
    const int modelIndex = std::max<qsizetype>(0, kModels.indexOf(model));
    const RobotSample& sample = kSamples[static_cast<std::size_t>(modelIndex)];
    const bool pulseTrain = model.contains(QLatin1Char('B'));

    SimController controller;
    ControllerData& data = controller.data;
    data.controllerName = model;
    data.modelCode = model;
    data.robotName = QString::fromLatin1(sample.robot);
    data.interfaceInfo = QString::fromLatin1(sample.interfaceInfo);
    data.version = QString::fromLatin1(sample.version);
    controller.shortVersion = data.version;
    data.params().robotName = data.robotName;
    fillParameters(data.params(), node, sample.strokeMm, pulseTrain);
    fillPoints(data.points, 12 - 3 * (modelIndex % 3), sample.strokeMm);

    controller.text(2) = QString::fromLatin1(sample.userName);
    controller.text(7) = QStringLiteral("c0a80001");
    controller.text(8) = QStringLiteral("ffffff00");
    controller.text(9) = QStringLiteral("c0a800%1").arg(10 + node, 2, 16, QLatin1Char('0'));
    controller.alarms = sampleAlarms(5 - 2 * (modelIndex % 3));
    return controller;
}

QList<SimController> MakeDemoControllers(int count) {
    QList<SimController> list;
    for (int node = 1; node <= count && node <= 16; ++node)
        list.append(MakeDemoController(node, kModels[(node - 1) % kModels.size()]));
    return list;
}
