#pragma once

#include "catalog/RobotCatalogApi.h"
#include "data/DataStore.h"
#include "newdata/AddNewTabPage.h"

#include <array>
#include <cstdint>

class CNumberEdit;
class QComboBox;
class QLabel;
class QRadioButton;

// The "Controller" page: controller, model and robot from the robot catalog, stroke, payload
// and point type. Every choice goes straight into the record; picking a robot loads its initial
// parameters, its stroke table overrides and the payload acceleration.
class CAddNewTabControllerDlg : public CAddNewTabPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 183;
    static constexpr int kIdController = 1308;
    static constexpr int kIdModel = 1332;
    static constexpr int kIdModelLabel = 1405;
    static constexpr int kIdRobot = 1309;
    static constexpr int kIdStroke = 1310;
    static constexpr int kIdPayload = 1311;
    static constexpr int kIdPayloadMax = 1314;
    static constexpr int kIdJogOnly = 1403;
    static constexpr int kIdPointTypeLabel = 1257;
    static constexpr int kIdStandard = 1312;
    static constexpr int kIdCustom = 1313;
    static constexpr int kIdMaxSpeed = 1361;
    static constexpr int kIdMaxSpeedGroup = 1362;
    static constexpr int kIdMaxSpeedUnit = 1363;

    explicit CAddNewTabControllerDlg(QWidget* parent = nullptr);

    // The handlers, public so that the dialog and tests can drive the page as a user would.
    void ControllerSelected();
    void ModelSelected();
    void RobotSelected();
    void StrokeTextChanged();
    void StrokeConfirmed();
    void PayloadConfirmed();
    void MaxSpeedConfirmed();
    void PointTypeClicked();

    // The caption of "(JOG only)", for the payload row of the pulse-train models.
    QString JogOnlyCaption() const;

    const StrokeTable& strokeData() const { return strokeTable; }
    bool strokeDataValid() const { return strokeTableValid; }
    int pointType() const { return pointTypeChoice; }
    bool isInitialising() const { return initialising; }
    // Whether the record holds the catalog's initial parameters of the robot shown; without
    // them it holds zeros or another robot's values.
    bool hasCatalogRobotData() const { return catalogRobotData; }

    QComboBox* controllerList() const { return controllers; }
    QComboBox* modelList() const { return models; }
    QComboBox* robotList() const { return robots; }
    CNumberEdit* strokeEdit() const { return stroke; }
    CNumberEdit* payloadEdit() const { return payload; }
    CNumberEdit* maxSpeedEdit() const { return maxSpeed; }
    QRadioButton* standardButton() const { return standard; }
    QRadioButton* customButton() const { return custom; }

protected:
    void InitPage() override;

private:
    void FillModels(int controllerIndex);
    void FillRobots(int controllerIndex);
    void ShowPointType(int choice);
    QString PointTypeLabel() const;
    void RequestRefresh();

    CDataStore store;
    StrokeTable strokeTable{};
    bool strokeTableValid = false;
    std::array<int32_t, 7> accelInputs{};
    int pointTypeChoice = 0;
    bool initialising = false;
    bool maxSpeedReadOnly = true;
    bool catalogRobotData = false;

    QComboBox* controllers = nullptr;
    QComboBox* models = nullptr;
    QComboBox* robots = nullptr;
    CNumberEdit* stroke = nullptr;
    CNumberEdit* payload = nullptr;
    CNumberEdit* maxSpeed = nullptr;
    QLabel* payloadMax = nullptr;
    QRadioButton* standard = nullptr;
    QRadioButton* custom = nullptr;
};
