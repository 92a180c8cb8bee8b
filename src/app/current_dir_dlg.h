// "VBUS Current Direction Setting": which way through the analyzer counts as positive VBUS
// current. Two radio buttons and two picture buttons choose the same thing.
#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;
class QRadioButton;

class CVbusCurrentDirCfg : public QDialog {
    Q_OBJECT

  public:
    explicit CVbusCurrentDirCfg(QWidget* parent = nullptr);

    // false: "Plug to Receptacle" is positive; true: "Receptacle to Plug".
    void SetReverse(bool reverse);
    bool Reverse() const;
    void SetDoNotAskAgain(bool on);
    bool DoNotAskAgain() const;

    QRadioButton* PlugToReceptacle() const { return plugToReceptacle_; }
    QRadioButton* ReceptacleToPlug() const { return receptacleToPlug_; }
    QPushButton* PlugToReceptaclePicture() const { return plugPicture_; }
    QPushButton* ReceptacleToPlugPicture() const { return receptaclePicture_; }

  private:
    QRadioButton* plugToReceptacle_ = nullptr;
    QRadioButton* receptacleToPlug_ = nullptr;
    QPushButton* plugPicture_ = nullptr;
    QPushButton* receptaclePicture_ = nullptr;
    QCheckBox* doNotAskAgain_ = nullptr;  // kept with the settings, never shown
};
