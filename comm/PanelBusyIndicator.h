#pragma once

#include "comm/BusyIndicator.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class CBusyPanel;

// The busy panel, 362 x 100 over its owner between the application's panel icons: the arrow
// style for transfers (in the owner's font) and the search, the moving bar while the port
// closes.
class CPanelBusyIndicator : public BusyIndicator {
public:
    explicit CPanelBusyIndicator(QWidget* owner);
    ~CPanelBusyIndicator() override;
    void Show(const QString& message, bool towardsPc) override;
    void ShowSearch(const QString& message) override;
    // Delivers no events: the port closes inside a destructor.
    void ShowClosing(const QString& message);
    void Close() override;

    // The panel while shown (tests look at it); null otherwise.
    CBusyPanel* panel() const { return current.get(); }

private:
    void open(int barStyle, bool moving, bool mirrored, bool reversed, const QFont* font,
              const QString& message, bool deliverEvents = true);

    QPointer<QWidget> owner;
    std::unique_ptr<CBusyPanel> current;
};
