#include "platform/ComPortTable.h"

#include "platform/ResourceLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace ComPortTable {
namespace {

struct Range {
    int firstCom;
    const char* prefix; // device name prefix under /dev, or nullptr for the simulator
};

// Four blocks of 32 numbers each, in COM order.
constexpr Range kRanges[] = {{1, "ttyS"}, {33, "ttyUSB"}, {65, "ttyACM"}, {97, nullptr}};
constexpr int kBlockSize = 32;
constexpr int kPortItemString = 393;    // "COM%d"
constexpr int kSimulatorString = 10453; // "simulator"

QString reasonFor(int error) {
    switch (error) {
    case EBUSY:
    case EWOULDBLOCK:
        return QStringLiteral("Another program holds the port.");
    case EACCES:
    case EPERM:
        return QStringLiteral("You may not open the port: add your user to the dialout group "
                              "and log in again.");
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return QStringLiteral("The port does not exist.");
    default:
        return QString::fromLocal8Bit(strerror(error));
    }
}

} // namespace

QString SimulatorLineFolder() {
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    return runtime + QStringLiteral("/velmora-sim");
}

QString DevicePath(int comNumber) {
    if (comNumber < 1 || comNumber > kHighestPort)
        return {};
    const Range& range = kRanges[(comNumber - 1) / kBlockSize];
    const int index = comNumber - range.firstCom;
    if (!range.prefix)
        return SimulatorLineFolder() + QStringLiteral("/line%1").arg(index);
    return QStringLiteral("/dev/%1%2").arg(QLatin1String(range.prefix)).arg(index);
}

int ComNumberOf(const QString& devicePath) {
    const QFileInfo info(devicePath);
    const QString name = info.fileName();
    static const QRegularExpression pattern(QStringLiteral("^(ttyS|ttyUSB|ttyACM|line)(\\d+)$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return 0;
    const int index = match.captured(2).toInt();
    if (index >= kBlockSize)
        return 0;
    const QString prefix = match.captured(1);
    if (prefix == QLatin1String("line"))
        return info.absolutePath() == SimulatorLineFolder() ? kRanges[3].firstCom + index : 0;
    if (info.absolutePath() != QLatin1String("/dev"))
        return 0;
    for (const Range& range : kRanges) {
        if (range.prefix && prefix == QLatin1String(range.prefix))
            return range.firstCom + index;
    }
    return 0;
}

QString DisplayName(int comNumber) {
    const QString device = DevicePath(comNumber);
    if (device.isEmpty())
        return {};
    QString item = ResourceLibrary::LoadString(kPortItemString);
    // The tree reads the number back from the fourth character on, so a library without the
    // format still gets "COM" before it.
    if (!item.contains(QLatin1String("%d")))
        item = QStringLiteral("COM%d");
    item.replace(item.indexOf(QLatin1String("%d")), 2, QString::number(comNumber));
    QString name = QFileInfo(device).fileName();
    const QString simulator = ResourceLibrary::LoadString(kSimulatorString);
    if (comNumber >= kRanges[3].firstCom && !simulator.isEmpty())
        name = simulator + u' ' + name;
    return QStringLiteral("%1 (%2)").arg(item, name);
}

QString ResolvePortName(const QString& portName) {
    static const QRegularExpression com(QStringLiteral("^COM(\\d{1,3})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = com.match(portName);
    if (match.hasMatch())
        return DevicePath(match.captured(1).toInt());
    if (portName.startsWith(QLatin1Char('/')))
        return portName;
    return {};
}

bool ProbeDevice(const QString& devicePath, QString* reason) {
    const QByteArray path = QFile::encodeName(devicePath);
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (reason)
            *reason = reasonFor(errno);
        return false;
    }
    // A port held by another program (ours included) carries an exclusive lock.
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    const int lockError = errno;
    ::close(fd);
    if (locked) {
        if (reason)
            *reason = reasonFor(lockError);
        return false;
    }
    return true;
}

bool ProbePort(int comNumber, QString* reason) {
    const QString device = DevicePath(comNumber);
    if (device.isEmpty()) {
        if (reason)
            *reason = reasonFor(ENOENT);
        return false;
    }
    return ProbeDevice(device, reason);
}

} // namespace ComPortTable
