#pragma once

#include "transfer/TransportProcedure.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class CBusyPanel;

// The node selection of the transfer dialogs: CDlgSerialConnect in its "Node Select" form with
// "Research" enabled, filled afresh from the window's last search for every round.
class CDialogNodeChooser : public NodeChooser {
public:
    explicit CDialogNodeChooser(QWidget* parent) : parent(parent) {}
    NodeChoice ChooseNode(const CCommunicationWindow& window) override;

private:
    QPointer<QWidget> parent;
};

// The busy panel of the transfer dialogs: arrow style between the application's panel icons,
// 362 x 100 over the dialog, in the dialog's font.
class CPanelBusyIndicator : public BusyIndicator {
public:
    explicit CPanelBusyIndicator(QWidget* owner);
    ~CPanelBusyIndicator() override;
    void Show(const QString& message, bool towardsPc) override;
    void Close() override;

    // The panel while shown (tests look at it); null otherwise.
    CBusyPanel* panel() const { return current.get(); }

private:
    QPointer<QWidget> owner;
    std::unique_ptr<CBusyPanel> current;
};
