#pragma once

#include <QDialog>

class CCommandChannel;
class CPortHub;
struct ControllerData;

// A dialog bound to a communication window's connection: it forwards the port manager's
// notifications to the channel it was given, and neither Enter nor Escape presses one of its
// buttons or closes it. None of the references is owned.
class CConnectableDialog : public QDialog {
    Q_OBJECT
public:
    // Builds template `templateId` (0: none) into the dialog; the references stay empty.
    explicit CConnectableDialog(int templateId, QWidget* parent = nullptr);
    ~CConnectableDialog() override;

    // Stores the connection and creates the dialog modeless (not shown) from the template.
    // False when the template cannot be built.
    bool CreateConnected(int templateId, QWidget* parent, ControllerData* data, CPortHub* portHub,
                         CCommandChannel* channel, int node);
    // Hides the dialog and marks it closed.
    void DestroyWindow();

    bool isOpen = false;
    ControllerData* data = nullptr;
    CPortHub* portHub = nullptr;
    CCommandChannel* channel = nullptr;
    int node = 0;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool loadTemplate(int templateId);
    void watchButtons();

    int loadedTemplate = 0;
};
