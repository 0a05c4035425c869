#pragma once

#include <QDialog>

// The main window until the full launcher takes its place: template 190 with its banner,
// captions and the "Exit" button. The workflow buttons are shown disabled.
class PlainLauncher : public QDialog {
    Q_OBJECT
public:
    explicit PlainLauncher(QWidget* parent = nullptr);
};
