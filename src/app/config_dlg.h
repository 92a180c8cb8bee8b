// "Record Settings": the document's count limits (shown, not editable), the analyzer's
// sampling interval and the switches the dialog carries through hidden.
#pragma once

#include <QDialog>

#include "settings/record_settings_form.h"

class Prompts;
class QCheckBox;
class QComboBox;
class QLineEdit;
struct SettingsStore;

class CConfigDlg : public QDialog {
    Q_OBJECT

  public:
    // prompts tells why OK was refused; it outlives the dialog.
    CConfigDlg(SettingsStore& settings, Prompts& prompts, QWidget* parent = nullptr);

    // The interval stored by OK, in ms (0 for an unknown entry).
    int IntervalMs() const { return form_.IntervalMs(); }
    void accept() override;

  private:
    void ShowForm();

    SettingsStore& settings_;
    RecordSettingsForm form_;
    Prompts& prompts_;
    QLineEdit* maxPackets_ = nullptr;
    QLineEdit* maxSamples_ = nullptr;
    QComboBox* interval_ = nullptr;
    QCheckBox* fullStop_ = nullptr;
    QCheckBox* packetAutoRemove_ = nullptr;
    QCheckBox* vbusAutoRemove_ = nullptr;
};
