#pragma once

#include "tests/support/QtPrinters.h"
#include "tests/support/SimLineFixture.h"
#include "transfer/DlgTransportV2.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <ostream>

// Answers the node selection dialog whenever it is shown: picks a node, asks for "Research"
// or cancels, in script order; cancels when the script has run out.
class NodeDialogDriver : public QObject {
public:
    struct Step {
        enum class Kind { Node, Research, Cancel } kind;
        int node = 0;
    };
    static Step Node(int n) { return {Step::Kind::Node, n}; }
    static Step Research() { return {Step::Kind::Research, 0}; }
    static Step Cancel() { return {Step::Kind::Cancel, 0}; }

    NodeDialogDriver();
    QList<Step> script;
    int shown = 0;
    // The node rows ("01", "03") of every showing.
    QList<QStringList> rows;

private:
    void poll();
    QTimer timer;
};

// Answers the write preview and the verify list whenever one is shown: OK (true) or Cancel
// (false) in script order, OK when the script has run out; keeps what each showing listed.
class ReviewDialogDriver : public QObject {
public:
    struct Shown {
        QString title;
        QString summary;
        QStringList rows;            // "item | name | controller's value | other value" per row
        bool busyPanelShown = false; // a busy panel stood beside the list
    };

    ReviewDialogDriver();
    QList<bool> script;
    QList<Shown> shown;
    // Whether the transfer's busy panel is on screen; unset: not looked at.
    std::function<bool()> busyPanelShown;

private:
    void poll();
    QTimer timer;
};

// A simulated line, a backup/restore dialog on it, scripted message boxes and a folder for
// data files.
class TransferDialogTest : public SimLineFixture {
protected:
    void TearDown() override;

    void StartLine(const QList<SimController>& controllers);
    // A shown dialog in the given direction, reply time-out shortened.
    CDlgTransportV2& OpenDialog(bool saveToPc);
    // "..." with `path` handed out by the chooser.
    void ChooseFile(const QString& path);
    // Selects the tree item of the line's port.
    bool SelectLinePort();
    // Presses OK with the node dialog answering `steps`; true when the dialog closed with OK.
    bool PressOk(const QList<NodeDialogDriver::Step>& steps);
    // Backs node `node` up to `path` (every question answered OK); true on success.
    bool Backup(int node, const QString& path);
    // Restores `path` into node `node` from a controller in Normal Mode (the run mode question
    // and the confirmation answered); true on success.
    bool Restore(int node, const QString& path);

    // An empty file of that name in the folder, for an open chooser to hand out.
    QString ExistingFile(const QString& name) const;
    // What a restore's completion message ends with: the newest rollback point's file.
    static QString RollbackSentence();

    std::unique_ptr<CDlgTransportV2> dialog;
    NodeDialogDriver driver;
    ReviewDialogDriver reviews;
};
