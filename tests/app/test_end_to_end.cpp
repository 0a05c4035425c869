// The program's own start-up with a simulated line of three controllers: the launcher's buttons
// run backup, restore, the alarm history and the generation through the real dialogs, then "Exit"
// ends it.
#include "alarm/DlgTransportAlarmV2.h"
#include "app/AboutDlg.h"
#include "app/DlgLauncher.h"
#include "app/VelmoraApp.h"
#include "app/WorkflowActions.h"
#include "comm/DlgSerialConnect.h"
#include "controls/ControlRegistry.h"
#include "controls/IconButton.h"
#include "data/DataStore.h"
#include "data/ParamInfoTable.h"
#include "newdata/DataAddNewDlg.h"
#include "platform/DialogWindows.h"
#include "platform/ResourceLibrary.h"
#include "platform/TemplateLoader.h"
#include "platform/UserInteraction.h"
#include "simulator/DemoControllers.h"
#include "simulator/SimulatedLine.h"
#include "transfer/DlgTransportGenerationV2.h"
#include "transfer/DlgTransportV2.h"
#include "transfer/DlgWriteReview.h"
#include "transfer/TransportDialogBase.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Answers every question with OK or Yes and hands out the scripted file paths.
class AgreeingUserInteraction : public ScriptedUserInteraction {
public:
    MsgResult ShowMessage(QObject* parent, const QString& text, MsgButtons buttons,
                          MsgIcon icon) override {
        answers = {buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok};
        return ScriptedUserInteraction::ShowMessage(parent, text, buttons, icon);
    }
};

template <typename T> T* VisibleTopLevel() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* candidate = qobject_cast<T*>(widget);
        if (candidate && candidate->isVisible())
            return candidate;
    }
    return nullptr;
}

// Plays one user: each poll looks at what is on the screen and does the next thing there.
// Clicks that open a modal dialog are posted, so that the poll itself never blocks.
class User : public QObject {
public:
    User(AgreeingUserInteraction& service, int port) : ui(service), comNumber(port) {
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, &User::Poll);
        timer.start();
    }

    // Launcher button and the file its dialog is given, in order; then "Exit".
    struct Job {
        int button;
        QString file;
    };
    QList<Job> jobs;
    QStringList log;

private:
    void Poll() {
        if (auto* nodes = VisibleTopLevel<CDlgSerialConnect>()) {
            for (int i = 0; i < nodes->nodeList->topLevelItemCount(); ++i) {
                QTreeWidgetItem* row = nodes->nodeList->topLevelItem(i);
                if (row->text(1) == QLatin1String("01"))
                    nodes->nodeList->setCurrentItem(row);
            }
            log << QStringLiteral("node 01");
            Post([nodes = QPointer<CDlgSerialConnect>(nodes)] {
                if (nodes)
                    FindControl<QPushButton>(nodes, CDlgSerialConnect::kIdOk)->click();
            });
            return;
        }
        if (auto* compose = VisibleTopLevel<CDataAddNewDlg>()) {
            if (compose == composing)
                return;
            composing = compose;
            log << QStringLiteral("compose");
            Post([compose = QPointer<CDataAddNewDlg>(compose)] {
                if (compose)
                    FindControl<QPushButton>(compose, CDataAddNewDlg::kIdOk)->click();
            });
            return;
        }
        if (auto* preview = VisibleTopLevel<CDlgWriteReview>()) {
            if (preview == reviewing)
                return;
            reviewing = preview;
            log << QStringLiteral("preview: ") + preview->summary()->text();
            Post([preview = QPointer<CDlgWriteReview>(preview)] {
                if (preview)
                    preview->okButton()->click();
            });
            return;
        }
        if (auto* dialog = VisibleTopLevel<CTransportDialogBase>()) {
            if (dialog == handled || dialog->attemptInProgress())
                return;
            handled = dialog;
            if (!current.file.isEmpty()) {
                ui.filePaths << current.file;
                dialog->browseButton()->click();
            }
            dialog->SelectConnection(comNumber);
            log << dialog->windowTitle();
            Post([dialog = QPointer<CTransportDialogBase>(dialog)] {
                if (dialog)
                    dialog->okButton()->click();
            });
            return;
        }
        auto* launcher = VisibleTopLevel<CDlgLauncher>();
        if (!launcher || QApplication::activeModalWidget() != launcher || busy)
            return;
        // The user's next keys, a moment after a workflow, go to the launcher.
        if (current.button != 0) {
            current = Job{};
            keysDue = true;
            return;
        }
        if (keysDue) {
            keysDue = false;
            const bool keysHere = QApplication::activeWindow() == launcher &&
                                  launcher->isAncestorOf(QApplication::focusWidget());
            log << (keysHere ? QStringLiteral("keys on the launcher")
                             : QStringLiteral("keys elsewhere"));
        }
        if (jobs.isEmpty()) {
            timer.stop();
            Post([launcher = QPointer<CDlgLauncher>(launcher)] {
                if (launcher)
                    launcher->exitButton()->click();
            });
            return;
        }
        current = jobs.takeFirst();
        busy = true;
        Post([this, launcher = QPointer<CDlgLauncher>(launcher), button = current.button] {
            if (launcher)
                launcher->workflowButton(button)->click();
            busy = false;
        });
    }

    void Post(std::function<void()> action) { QTimer::singleShot(0, this, std::move(action)); }

    AgreeingUserInteraction& ui;
    int comNumber;
    QTimer timer;
    Job current{0, QString()};
    QPointer<CTransportDialogBase> handled;
    QPointer<CDataAddNewDlg> composing;
    QPointer<CDlgWriteReview> reviewing;
    bool busy = false;
    bool keysDue = false;
};

TEST(EndToEnd, LauncherRunsEachWorkflowOnTheSimulatedLine) {
    // A runtime folder of its own: the single-instance lock and the simulator's line then belong
    // to this run alone, whatever else runs under the same account.
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QByteArray previousRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    SimulatedLine line(MakeDemoControllers(3));
    QString error;
    ASSERT_TRUE(line.Start(-1, &error)) << error.toStdString();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString dataFile = folder.filePath(QStringLiteral("node01.kqd"));
    const QString alarmFile = folder.filePath(QStringLiteral("node01.alr"));

    AgreeingUserInteraction ui;
    UserInteraction* previous = InstallUserInteraction(&ui);
    User user(ui, line.ComNumber());
    user.jobs = {{CDlgLauncher::kIdBackup, dataFile},
                 {CDlgLauncher::kIdRestore, dataFile},
                 {CDlgLauncher::kIdAlarm, alarmFile},
                 {CDlgLauncher::kIdGeneration, QString()}};

    QStringList restoreWrites;
    int commandsBeforeRestore = 0;
    CVelmoraApp app;
    app.SetMainWindowRunner([&] {
        CDlgLauncher launcher(WorkflowActions());
        // Count what the restore sends: from the restore dialog's opening to the alarm one.
        QObject::connect(
            launcher.workflowButton(CDlgLauncher::kIdRestore), &QPushButton::pressed,
            [&] { commandsBeforeRestore = static_cast<int>(line.Log().Commands().size()); });
        QObject::connect(
            launcher.workflowButton(CDlgLauncher::kIdAlarm), &QPushButton::pressed, [&] {
                const QStringList commands = line.Log().Commands().mid(commandsBeforeRestore);
                for (const QString& command : commands) {
                    if (!command.startsWith(QLatin1String("@?")) &&
                        !command.startsWith(QLatin1String("@READ")) &&
                        command != QLatin1String("@K99=0"))
                        restoreWrites << command;
                }
            });
        launcher.exec();
    });
    const bool started = app.InitInstance();
    app.ExitInstance();
    InstallUserInteraction(previous);
    line.Stop();
    qputenv("XDG_RUNTIME_DIR", previousRuntime);

    ASSERT_TRUE(started) << ui.texts().join(u'|').toStdString();
    EXPECT_TRUE(user.jobs.isEmpty());
    const QStringList texts = ui.texts();
    int completed = 0;
    for (const QString& text : texts)
        completed += text.startsWith(QLatin1String("Data transfer is completed.")) ? 1 : 0;
    EXPECT_EQ(completed, 3) << texts.join(u'|').toStdString();
    EXPECT_TRUE(QFile::exists(dataFile));
    EXPECT_TRUE(QFile::exists(alarmFile));
    EXPECT_GT(QFile(alarmFile).size(), 0);
    EXPECT_EQ(user.log.count(QStringLiteral("node 01")), 4);
    EXPECT_EQ(user.log.count(QStringLiteral("compose")), 1);
    // Both writes were previewed: the restore had nothing to change, the generation much.
    EXPECT_EQ(
        user.log.count(QStringLiteral("preview: Nothing differs; only the run mode is switched.")),
        1)
        << user.log.join(u'|').toStdString();
    EXPECT_EQ(user.log.filter(QStringLiteral("preview: Items to be written: ")).size(), 1)
        << user.log.join(u'|').toStdString();
    EXPECT_EQ(user.log.count(QStringLiteral("keys on the launcher")), 4)
        << user.log.join(u'|').toStdString();
    // The restore of the node's own backup changes nothing but the run mode and back.
    EXPECT_EQ(restoreWrites, (QStringList{"@K20.1=2", "@K20.1=0"}));
}

TEST(EndToEnd, EveryDialogIsFixedInSizeAndWideEnoughForItsTitle) {
    ASSERT_TRUE(ResourceLibrary::Load(QCoreApplication::applicationDirPath()));
    CVelmoraApp app;
    RegisterControlClasses();
    LoadParamInfoTable(app.paramTables[0], 0);
    CDlgLauncher launcher(WorkflowActions());
    CAboutDlg about(&launcher);
    CDlgTransportV2 backup(&launcher);
    backup.saveToPc = true;
    CDlgTransportV2 restore(&launcher);
    restore.saveToPc = false;
    CDlgTransportAlarmV2 alarms(&launcher);
    CDlgTransportGenerationV2 generation(&launcher);
    CDlgSerialConnect nodes(&launcher);
    nodes.nodeSelectMode = true;
    CDataStore store;
    ControllerDataSlot record;
    ASSERT_TRUE(store.CreateControllerData(record));
    record->controllerName = QStringLiteral("KQ-A");
    CDataAddNewDlg compose(&launcher);
    compose.SetDisplayNameAndData(QString(), record.get());
    ASSERT_TRUE(compose.InitDialog());

    for (QDialog* dialog : std::initializer_list<QDialog*>{
             &launcher, &about, &backup, &restore, &alarms, &generation, &nodes, &compose}) {
        dialog->show();
        const QString title = dialog->windowTitle();
        EXPECT_FALSE(title.isEmpty()) << dialog->metaObject()->className();
        // Fixed size: the window manager offers neither resizing nor a maximise button.
        EXPECT_EQ(dialog->minimumSize(), dialog->size()) << title.toStdString();
        EXPECT_EQ(dialog->maximumSize(), dialog->size()) << title.toStdString();
        EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMaximizeButtonHint) << title.toStdString();
        EXPECT_GE(dialog->width(), DialogWindows::TitleWidth(title)) << title.toStdString();
        // Nothing is pushed out of the widened window.
        for (QWidget* child : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isWindow() || !child->isVisibleTo(dialog))
                continue;
            EXPECT_TRUE(dialog->rect().contains(child->geometry()))
                << title.toStdString() << " " << child->objectName().toStdString();
        }
        dialog->hide();
    }
    ResourceLibrary::Unload();
}

} // namespace
