// velmora-screenshots OUTDIR: renders the launcher and each workflow dialog of the real program
// offscreen, with a simulated line of three controllers, into PNG files for the README.
#include "alarm/DlgTransportAlarmV2.h"
#include "app/AboutDlg.h"
#include "app/DlgLauncher.h"
#include "app/VelmoraApp.h"
#include "app/WorkflowActions.h"
#include "comm/CommunicationWindow.h"
#include "comm/DlgSerialConnect.h"
#include "controls/ControlRegistry.h"
#include "controls/DrawnProgressBar.h"
#include "data/DataStore.h"
#include "newdata/DataAddNewDlg.h"
#include "platform/ResourceLibrary.h"
#include "platform/UserInteraction.h"
#include "simulator/DemoControllers.h"
#include "simulator/SimulatedLine.h"
#include "transfer/DlgTransportGenerationV2.h"
#include "transfer/DlgTransportV2.h"
#include "transfer/DlgWriteReview.h"
#include "transfer/LineFolderMode.h"
#include "transfer/LineProgressList.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

bool Save(QWidget& widget, const QDir& folder, const char* name) {
    widget.show();
    QCoreApplication::processEvents();
    const QString path = folder.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    widget.hide();
    return saved;
}

// Answers every question of a whole-line run with OK or Yes.
class AgreeingUserInteraction : public UserInteraction {
public:
    MsgResult ShowMessage(QObject*, const QString&, MsgButtons buttons, MsgIcon) override {
        if (onShow)
            onShow();
        return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    }
    bool ChooseFile(QObject*, const FileChoice&, QString&) override { return false; }
    std::function<void()> onShow;
};

// The backup and restore dialogs in their whole-line mode, each pictured while the last
// controller is read or written; the first controller refuses its backup, so the backup's list
// shows a cross and the set holds the other two.
bool SaveLineDialogs(SimulatedLine& line, QWidget& launcher, const QDir& folder) {
    QTemporaryDir set;
    AgreeingUserInteraction agree;
    UserInteraction* previous = InstallUserInteraction(&agree);
    FaultRule refuse;
    refuse.kind = FaultRule::Kind::Ng;
    refuse.pattern = QStringLiteral("@READ PNT.1");
    line.AddFault(refuse);
    bool ok = set.isValid();
    for (const bool saveToPc : {true, false}) {
        CDlgTransportV2 dialog(&launcher);
        dialog.saveToPc = saveToPc;
        dialog.show();
        dialog.lineFolderMode()->SetOn(true);
        dialog.SetFileFieldText(set.path());
        dialog.SelectConnection(line.ComNumber());
        const QString path = folder.filePath(saveToPc ? QStringLiteral("backup-line.png")
                                                      : QStringLiteral("restore-line.png"));
        bool saved = false;
        // Taken from a timer while the line is read, or as a restore asks its questions.
        const auto take = [&] {
            const CLineProgressList* list = dialog.lineFolderMode()->progressList();
            if (!saved && list->StateOf(3) == CLineProgressList::State::Busy &&
                list->busyArrows()) {
                // Let the arrows move a little first.
                for (int i = 0; i < 10; ++i)
                    list->busyArrows()->stepIt();
                // The set lives in a temporary folder; the picture shows where an engineer
                // would keep it.
                dialog.fileField()->setText(QStringLiteral("/home/engineer/backups/line1"));
                saved = dialog.grab().save(path);
            }
        };
        agree.onShow = take;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, take);
        watch.start(10);
        dialog.OnOK();
        watch.stop();
        std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
        ok &= saved;
        agree.onShow = nullptr;
        line.ClearFaults();
    }
    InstallUserInteraction(previous);
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    // The pictures show the program as it names itself.
    QCoreApplication::setApplicationName(QStringLiteral("VelmoraFree"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-screenshots OUTDIR\n");
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    if (!ResourceLibrary::Load(ProgramDirectory())) {
        std::fprintf(stderr, "%s\n", qPrintable(CVelmoraApp::LibraryLoadFailureText()));
        return 1;
    }
    CVelmoraApp app;
    RegisterControlClasses();
    LoadParamInfoTable(app.paramTables[0], 0);
    LoadParamInfoTable(app.paramTables[1], 1);

    SimulatedLine line(MakeDemoControllers(3));
    QString error;
    if (!line.Start(-1, &error)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
        return 1;
    }

    bool ok = true;
    CDlgLauncher launcher(WorkflowActions());
    ok &= Save(launcher, folder, "launcher");

    for (const bool saveToPc : {true, false}) {
        CDlgTransportV2 dialog(&launcher);
        dialog.saveToPc = saveToPc;
        dialog.transferFileName = QStringLiteral("/home/engineer/backups/node01.kqd");
        dialog.show();
        dialog.SelectConnection(line.ComNumber());
        ok &= Save(dialog, folder, saveToPc ? "backup" : "restore");
    }

    ok &= SaveLineDialogs(line, launcher, folder);

    {
        CDlgTransportAlarmV2 alarms(&launcher);
        alarms.transferFileName = QStringLiteral("/home/engineer/backups/node01.alr");
        alarms.show();
        alarms.SelectConnection(line.ComNumber());
        ok &= Save(alarms, folder, "alarm-history");
    }
    {
        CDlgTransportGenerationV2 generation(&launcher);
        generation.show();
        generation.SelectConnection(line.ComNumber());
        ok &= Save(generation, folder, "generation");
    }
    // The new data dialog as the generation opens it, for a standard and a pulse-train model.
    struct Model {
        const char* controller;
        const char* file;
    };
    for (const Model& model :
         {Model{"KQ-A", "new-data-standard"}, Model{"KQ-B", "new-data-pulse-train"}}) {
        CDataStore store;
        ControllerDataSlot record;
        store.CreateControllerData(record);
        record->controllerName = QString::fromLatin1(model.controller);
        CDataAddNewDlg compose(&launcher);
        compose.SetDisplayNameAndData(QString(), record.get());
        if (!compose.InitDialog()) {
            std::fprintf(stderr, "new data dialog for %s did not open\n", model.controller);
            ok = false;
            continue;
        }
        const QString base = QString::fromLatin1(model.file);
        for (const int kind : compose.TabKinds()) {
            compose.SelectTab(kind);
            ok &= Save(compose, folder, qPrintable(base + QStringLiteral("-tab%1").arg(kind)));
        }
    }
    {
        // The preview of a restore into node 1 from a file that differs in a few items: a
        // scaled length, a choice, a moved point, a deleted one, the address, and a link
        // setting that is never written.
        const ControllerData present = MakeDemoController(1, QStringLiteral("KQ-A")).data;
        ControllerData file = present;
        file.params().K(44) = 1250;
        file.params().K(14) = 1;
        file.params().K(35) = 1;
        file.points[0].position += 500;
        file.points[2] = PointRecord();
        file.ipAddress = QStringLiteral("c0a8000a");
        CDlgWriteReview preview(CDlgWriteReview::Kind::Preview, present, file,
                                WholeWrite::Changes(file, present), &launcher);
        ok &= Save(preview, folder, "write-preview");
    }
    {
        CAboutDlg about(&launcher);
        ok &= Save(about, folder, "about");
    }
    {
        CCommunicationWindow window;
        if (window.OpenDevice(line.LinkPath()) && window.SearchControllers(nullptr)) {
            CDlgSerialConnect nodes(&launcher);
            nodes.nodeSelectMode = true;
            nodes.CopyNodeTable(window);
            ok &= Save(nodes, folder, "node-select");
        } else {
            std::fprintf(stderr, "search on the simulated line failed\n");
            ok = false;
        }
    }
    line.Stop();
    return ok ? 0 : 1;
}
