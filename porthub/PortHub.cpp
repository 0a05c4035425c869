#include "porthub/PortHub.h"

#include "data/CodePage.h"
#include "platform/ComPortTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QSerialPort>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <linux/tty_flags.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

const QString kBusyText = QStringLiteral("Another program holds the port.");
const QString kNoPermissionText =
    QStringLiteral("You may not open it: add your user to the dialout group and log in again.");
const QString kMissingText = QStringLiteral("It does not exist.");

QString reasonForErrno(int error) {
    switch (error) {
    case EBUSY:
    case EWOULDBLOCK:
        return kBusyText;
    case EACCES:
    case EPERM:
        return kNoPermissionText;
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR:
        return kMissingText;
    default:
        return QString::fromLocal8Bit(strerror(error));
    }
}

QSerialPort::Parity parityOf(const QString& text) {
    if (text.compare(QLatin1String("E"), Qt::CaseInsensitive) == 0)
        return QSerialPort::EvenParity;
    if (text.compare(QLatin1String("O"), Qt::CaseInsensitive) == 0)
        return QSerialPort::OddParity;
    return QSerialPort::NoParity;
}

QSerialPort::FlowControl flowOf(const QString& text) {
    if (text.compare(QLatin1String("hardware"), Qt::CaseInsensitive) == 0)
        return QSerialPort::HardwareControl;
    if (text.compare(QLatin1String("software"), Qt::CaseInsensitive) == 0)
        return QSerialPort::SoftwareControl;
    return QSerialPort::NoFlowControl;
}

QSerialPort::DataBits dataBitsOf(int bits) {
    switch (bits) {
    case 5:
        return QSerialPort::Data5;
    case 6:
        return QSerialPort::Data6;
    case 7:
        return QSerialPort::Data7;
    default:
        return QSerialPort::Data8;
    }
}

// USB adapters hold short replies back unless asked not to; a driver that refuses is fine.
void requestLowLatency(int fd) {
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    (void)::ioctl(fd, TIOCSSERIAL, &serial);
}

} // namespace

CPortHubEvent::CPortHubEvent(int notification) : QEvent(EventType()), code(notification) {}

CPortHubEvent::~CPortHubEvent() = default;

QEvent::Type CPortHubEvent::EventType() {
    static const auto type =
        static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + kPortHubMessage));
    return type;
}

CPortHub::CPortHub() = default;

CPortHub::~CPortHub() {
    releaseDevice();
}

void CPortHub::Initialize() {
    settings = commsettag{};
    openError.clear();
}

void CPortHub::AttatchWnd(QObject* window) {
    attached = window;
}

QObject* CPortHub::DetatchWnd() {
    QObject* previous = attached.data();
    // Notifications already on their way are stopped too.
    if (previous)
        QCoreApplication::removePostedEvents(previous, CPortHubEvent::EventType());
    attached = nullptr;
    return previous;
}

void CPortHub::GetCommSet(commsettag* out) const {
    if (!out)
        return;
    *out = settings;
    const QString path = devicePath();
    const int number = ComPortTable::ComNumberOf(path);
    out->displayName = number > 0 ? ComPortTable::DisplayName(number) : path;
}

void CPortHub::SetCommSet(const commsettag* in) {
    if (in)
        settings = *in;
}

QString CPortHub::devicePath() const {
    if (!settings.devicePath.isEmpty())
        return settings.devicePath;
    return ComPortTable::DevicePath(settings.comPort);
}

int CPortHub::Open() {
    if (openFlag)
        return 1;
    openError.clear();
    if (settings.kind != 1) {
        openError = QStringLiteral("it is not a serial port");
        return 0;
    }
    const QString path = devicePath();
    if (path.isEmpty()) {
        openError = kMissingText;
        return 0;
    }
    if (!openDevice(path))
        return 0;
    atOnceText.clear();
    sinceSendText.clear();
    openFlag = 1;
    readyFlag = 1;
    linkState = kLinkOpen;
    return 1;
}

bool CPortHub::openDevice(const QString& path) {
    // Our own descriptor tells why a device cannot be opened, and its lock marks the port as
    // held for every prober, while QSerialPort does the line work.
    const QByteArray encoded = QFile::encodeName(path);
    const int fd = ::open(encoded.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        openError = reasonForErrno(errno);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        openError = reasonForErrno(errno);
        ::close(fd);
        return false;
    }
    lockedFd = fd;

    port = std::make_unique<QSerialPort>();
    port->setPortName(path);
    port->setBaudRate(settings.baudRate > 0 ? settings.baudRate : 38400);
    port->setDataBits(dataBitsOf(settings.dataBits));
    port->setParity(parityOf(settings.parity));
    port->setStopBits(settings.stopBits == QLatin1String("2") ? QSerialPort::TwoStop
                                                              : QSerialPort::OneStop);
    port->setFlowControl(flowOf(settings.flowControl));
    if (!port->open(QIODevice::ReadWrite)) {
        switch (port->error()) {
        case QSerialPort::PermissionError:
            // We could open the device ourselves, so someone else holds its lock file.
            openError = kBusyText;
            break;
        case QSerialPort::DeviceNotFoundError:
            openError = kMissingText;
            break;
        default:
            openError = port->errorString();
            break;
        }
        releaseDevice();
        return false;
    }
    const int handle = static_cast<int>(port->handle());
    (void)::ioctl(handle, TIOCEXCL);
    requestLowLatency(handle);
    // Errors raised while opening (a pseudo-terminal answers no modem-line ioctl) are not
    // line errors; only those from now on count.
    port->clearError();
    QObject::connect(port.get(), &QSerialPort::readyRead, port.get(), [this] { onReadyRead(); });
    QObject::connect(port.get(), &QSerialPort::errorOccurred, port.get(),
                     [this](QSerialPort::SerialPortError error) { onError(error); });
    return true;
}

void CPortHub::releaseDevice() {
    if (port) {
        port->disconnect();
        if (port->isOpen())
            port->close();
        port.reset();
    }
    if (lockedFd >= 0) {
        ::close(lockedFd);
        lockedFd = -1;
    }
}

void CPortHub::Close() {
    releaseDevice();
    openFlag = 0;
    readyFlag = 0;
    linkState = kLinkClosed;
}

int CPortHub::SendData(const QString& text) {
    if (!openFlag)
        return 0;
    sinceSendText.clear();
    if (linkState == kLinkBroken) {
        // The line is gone: the command waiting for this line ends with a line error.
        Notify(kNotifyLineError);
        return 1;
    }
    return WriteToLine(CodePage::ToAnsi(text)) ? 1 : 0;
}

bool CPortHub::WriteToLine(const QByteArray& bytes) {
    if (!port || !port->isOpen())
        return false;
    if (port->write(bytes) != bytes.size())
        return false;
    port->flush();
    return true;
}

QString CPortHub::GetInBuffAtOnce() {
    QString text;
    text.swap(atOnceText);
    return text;
}

QString CPortHub::GetInBuff() {
    return sinceSendText;
}

void CPortHub::TakeIncoming(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    // Windows-1252 is single-byte, so a chunk boundary never splits a character.
    const QString text = CodePage::FromAnsi(bytes);
    atOnceText += text;
    sinceSendText += text;
    Notify(kNotifyTextReceived);
}

void CPortHub::ReportLineError() {
    if (linkState != kLinkClosed)
        linkState = kLinkBroken;
    Notify(kNotifyLineError);
}

void CPortHub::Notify(int code) {
    if (attached)
        QCoreApplication::postEvent(attached.data(), new CPortHubEvent(code));
}

void CPortHub::onReadyRead() {
    if (port)
        TakeIncoming(port->readAll());
}

void CPortHub::onError(int error) {
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
    // Modem-line ioctls a pseudo-terminal cannot answer.
    case QSerialPort::UnsupportedOperationError:
        return;
    default:
        break;
    }
    if (linkState == kLinkBroken)
        return;
    ReportLineError();
    // A hung-up device (pseudo-terminal master closed, USB adapter pulled) reads as end of
    // file for ever, which QSerialPort reports as a read error at every poll. Stop listening
    // once the event loop is back, outside this signal.
    QTimer::singleShot(0, port.get(), [this] {
        if (port && port->isOpen()) {
            port->disconnect();
            port->close();
        }
    });
}
