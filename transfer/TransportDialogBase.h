#pragma once

#include "comm/CommunicationWindow.h"
#include "transfer/TransportProcedure.h"

#include <QDialog>
#include <QString>

#include <memory>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// What the three transfer dialogs share (template 167):
//   - the window: file label 1002, file name field 1003 (path shortened in its middle),
//     "..." 1141, tree label 1152, connection tree 1151, "Comm Setting" 1329 (hidden, no
//     action), OK 1 and Cancel 2;
//   - the connection tree of free ports: root "COM port (free)" (item data 0) with one child per
//     free port (item data 2), all expanded; empty when no port is free; a port's tip tells
//     its device and what the system knows of a USB adapter; filled again when a port comes or
//     goes while the dialog is open, the selection kept;
//   - the file chooser ("...") with its refusals: "The file name is too long.", a wrong
//     extension, a folder that does not exist (save chooser), a file that does not exist (open
//     chooser); OK checks the path again before it touches the line;
//   - OK and a double click on a tree item: the file and port checks, then the five controls
//     (or four without a file) disabled for the whole attempt and RunTransferProcedure; success
//     closes the dialog with OK, failure enables the controls again;
//   - the GUI halves of the workflow interfaces: nodeChooser() shows CDlgSerialConnect in its
//     "Node Select" form with "Research" enabled, busyIndicator() shows CBusyPanel in the arrow
//     style with the application's panel icons.
// The node selection loop itself is CTransportProcedure::ConnectAndSelectNode.
//
// A derived dialog sets its texts in InitDialog (calling the base first) and implements
// RunTransferProcedure; the file-related hooks describe its file.
class CTransportDialogBase : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 167;
    static constexpr int kIdFileLabel = 1002;
    static constexpr int kIdFileName = 1003;
    static constexpr int kIdBrowse = 1141;
    static constexpr int kIdTreeLabel = 1152;
    static constexpr int kIdTree = 1151;
    static constexpr int kIdCommSetting = 1329;
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;
    // Item data of the tree (Qt::UserRole).
    static constexpr int kItemRoot = 0;
    static constexpr int kItemPort = 2;

    explicit CTransportDialogBase(QWidget* parent = nullptr);
    // The communication window closes its port with the dialog.
    ~CTransportDialogBase() override;

    // Full path of the file; empty when the dialog opens; refreshed from field 1003 on OK.
    QString transferFileName;
    // The communication window of this dialog: owns the port of every attempt.
    CCommunicationWindow commWindow;

    // Title, labels, field 1003 from transferFileName, button 1329 hidden, the tree filled.
    // Runs once, before the first showing; a derived dialog calls the base first, then sets its
    // own texts.
    virtual void InitDialog();
    // Probes COM1 up to the port manager's highest port and lists the free ones; from the first
    // call on, again whenever a port comes or goes.
    void FillConnectionTree();

    // The button handlers, public so that a caller can drive the dialog without a mouse.
    void OnBrowse();
    void OnOK();
    // Selects the tree item of COM port `comPort`, as a click would; false when it is not listed.
    bool SelectConnection(int comPort);

    // The text field 1003 holds (the full path; the label shows it shortened).
    QString FileFieldText() const;
    void SetFileFieldText(const QString& path);

    QTreeWidget* connectionTree() const { return tree; }
    QPushButton* okButton() const { return ok; }
    QPushButton* cancelButton() const { return cancel; }
    QPushButton* browseButton() const { return browse; }
    QPushButton* commSettingButton() const { return commSetting; }
    QLabel* fileLabel() const { return fileCaption; }
    QLabel* fileField() const { return fileName; }
    QLabel* treeLabel() const { return treeCaption; }

    // True from OK until RunTransferProcedure has returned.
    bool attemptInProgress() const;
    // Ignored while an attempt runs.
    void reject() override;

    // The GUI halves of the workflow interfaces, bound to this dialog.
    NodeChooser& nodeChooser();
    BusyIndicator& busyIndicator();

protected:
    // The whole attempt for one COM port; true closes the dialog with OK.
    virtual bool RunTransferProcedure(int comPort) = 0;
    // False for a dialog without a file (no file check; 1002, 1003 and 1141 hidden).
    virtual bool UsesFile() const { return true; }
    // The file's extension ("kqd"), the filter string id (520) and the chooser's kind.
    virtual QString FileExtension() const { return QString(); }
    virtual int FileFilterId() const { return 0; }
    virtual bool UseSaveChooser() const { return true; }
    // True while the dialog's path is a folder (a whole line's backup set), not a file.
    virtual bool UseFolderChooser() const { return false; }

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetControlsEnabled(bool enabled);
    // The chooser's rules for `path`; a refused path is reported here. True when refused.
    bool RefusedPath(const QString& path);
    void OnItemDoubleClicked(QTreeWidgetItem* item, int column);
    void UpdateFileFieldDisplay();

    QLabel* fileCaption = nullptr;
    QLabel* fileName = nullptr;
    QPushButton* browse = nullptr;
    QLabel* treeCaption = nullptr;
    QTreeWidget* tree = nullptr;
    QPushButton* commSetting = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QString fullPath;
    bool initialised = false;
    bool attemptRunning = false;
    std::unique_ptr<NodeChooser> chooser;
    std::unique_ptr<BusyIndicator> busy;
};
