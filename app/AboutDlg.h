#pragma once

#include "app/VersionInfo.h"

#include <QDialog>

// The "Version Info." box (template 194): the program's icon and name, its product version and
// legal notice from the version information, and the robot catalog's database version.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 194;
    static constexpr int kIdIcon = 1376;
    static constexpr int kIdLegalNotice = 1377;
    static constexpr int kIdProductVersion = 1378;
    static constexpr int kIdDatabaseVersion = 1379;
    static constexpr int kIdName = 1380;
    static constexpr int kIdOk = 1;
    static constexpr int kProgramIcon = 128;

    // `info`: the version information to show; null takes the program's own.
    explicit CAboutDlg(QWidget* parent = nullptr, const VersionInfo* info = nullptr);

    // The text of control `id`; empty when the template has no such label.
    QString ControlText(int id) const;
};
