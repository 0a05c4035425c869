// The alarm history reader over a simulated line, and the alarm history file.
#include "tests/support/FileFailures.h"
#include "tests/support/SimLineFixture.h"

#include "alarm/DlgAlarm.h"
#include "comm/ControllerSession.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <memory>

namespace {

constexpr int kNode = 3;

SimAlarm Alarm(uint8_t code, uint32_t time = 0) {
    SimAlarm alarm;
    alarm.code = code;
    alarm.time = time;
    return alarm;
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class AlarmReaderTest : public SimLineFixture {
protected:
    void SetUp() override {
        SimLineFixture::SetUp();
        data.robotParams.resize(1);
        data.controllerName = "KQ-A";
        data.robotName = "RB-10";
        data.interfaceInfo = "PNP";
        data.version = "1.05";
        data.params().K(72) = 2;
    }
    void TearDown() override {
        window.reset();
        SimLineFixture::TearDown();
    }

    void StartLine(const QList<SimAlarm>& alarms) {
        SimController controller;
        controller.setNode(kNode);
        controller.data.controllerName = "KQ-A";
        controller.alarms = alarms;
        StartSimLine({controller});
        window = std::make_unique<CControllerSession>();
        window->channel.replyTimeoutMs = kTestTimeoutMs;
        ASSERT_TRUE(window->OpenDevice(sim->LinkPath()));
    }

    QString Read() {
        return reader.ReadAlarmHistory(data, window->portHub, window->channel, kNode);
    }

    QStringList AlarmQueries() const {
        return sim->Log().Commands().filter(QRegularExpression("^@\\?REC"));
    }

    ControllerData data;
    CDlgAlarm reader;
    std::unique_ptr<CControllerSession> window;
};

} // namespace

TEST_F(AlarmReaderTest, SavedFileMatchesTheLayoutByteForByte) {
    SimAlarm first = Alarm(0x8E, 1505);
    first.position = 12345;
    first.speed = -250;
    first.runStatus = 3;
    first.runPoint = 12;
    first.current = 150;
    first.voltage = 241;
    first.input = 10;
    first.output = 0x3F;
    SimAlarm second = Alarm(0x05, 61);
    second.runStatus = static_cast<int8_t>(0xFF);
    // 0x07 is not in the alarm table: the name stays empty.
    const SimAlarm third = Alarm(0x07, 3000);
    StartLine({first, second, third});

    const QString text = Read();
    EXPECT_EQ(reader.historyText, text);
    EXPECT_TRUE(QRegularExpression("^[A-Z][a-z]{2} \\d{2}, \\d{4} \\d{2}:\\d{2}:\\d{2}$")
                    .match(reader.readTime)
                    .hasMatch())
        << reader.readTime.toStdString();
    const QString path = folder.filePath("history.alr");
    ASSERT_TRUE(reader.SaveAlarmHistory(path));

    const QByteArray expected =
        "//" + reader.readTime.toLatin1() +
        "\r\n"
        "//CONT=KQ-A\r\n"
        "//ROBOT=RB-10\r\n"
        "//IF=PNP\r\n"
        "//VER=1.05\r\n"
        "//DBVER=\r\n"
        "8E\tOVER CURRENT\t1:01:05\t123.45\t-2.50\tRunning (ABS "
        "Merge)\t12\t150\t24.1\t000a\t003f\t\r\n"
        " 5\tRUNNING\t0:01:01\t0.00\t0.00\tOrigin Search in progress\t0\t0\t0.0\t0000\t0000\t\r\n"
        " 7\t\t2:02:00\t0.00\t0.00\tHold\t0\t0\t0.0\t0000\t0000\t\r\n";
    EXPECT_EQ(ReadBytes(path), expected);
    // Reading stopped at the first empty slot.
    EXPECT_EQ(AlarmQueries(), (QStringList{"@?REC1.3", "@?REC2.3", "@?REC3.3", "@?REC4.3"}));
}

TEST_F(AlarmReaderTest, ReadingAgainStartsFromAnEmptyHistory) {
    StartLine({Alarm(0x81), Alarm(0x82)});
    Read();
    sim->UpdateControllers([](QList<SimController>& list) { list[0].alarms = {Alarm(0xF1)}; });
    const QStringList lines = Read().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines[6].startsWith("F1\tABS. BATTERY LOW\t"));
}

// ---- the file ----

class AlarmFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        reader.historyText = "//Jan 01, 2026 00:00:00\n//CONT=KQ-A\n";
    }
    QTemporaryDir folder;
    CDlgAlarm reader;
};

TEST_F(AlarmFileTest, TextIsWrittenInTheAnsiCodePageWithCrLf) {
    reader.historyText = QString::fromUtf8("//ROBOT=Gr\u00fc\u00dfe \u20ac \u4e2d\n");
    const QString path = folder.filePath("a.alr");
    ASSERT_TRUE(reader.SaveAlarmHistory(path));
    EXPECT_EQ(ReadBytes(path), QByteArray("//ROBOT=Gr\xfc\xdf"
                                          "e \x80 ?\r\n"));
}

TEST_F(AlarmFileTest, FailedWriteLeavesAnExistingFileByteForByte) {
    const QString path = folder.filePath("keep.alr");
    const QByteArray before("//an older history\r\n");
    ASSERT_TRUE(WriteBytes(path, before));
    reader.historyText = QString(2000, 'y') + "\n";
    {
        const FileSizeLimit limit(100);
        ASSERT_TRUE(limit.isActive());
        EXPECT_FALSE(reader.SaveAlarmHistory(path));
    }
    EXPECT_EQ(ReadBytes(path), before);
    // No temporary file is left behind either.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"keep.alr"});
}
