// "Record Settings": the document's count limits (shown, not editable), the analyzer's
// sampling interval and the switches the dialog carries through hidden.
#pragma once

#include <QDialog>
#include <functional>

#include "settings/record_settings_form.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
struct SettingsStore;

class CConfigDlg : public QDialog {
    Q_OBJECT

  public:
    using Notice = std::function<void(const QString& text)>;

    CConfigDlg(SettingsStore& settings, QWidget* parent = nullptr);

    void SetNotice(Notice notice) { notice_ = std::move(notice); }
    // The interval stored by OK, in ms (0 for an unknown entry).
    int IntervalMs() const { return form_.IntervalMs(); }
    void accept() override;

  private:
    void ShowForm();

    SettingsStore& settings_;
    RecordSettingsForm form_;
    Notice notice_;
    QLineEdit* maxPackets_ = nullptr;
    QLineEdit* maxSamples_ = nullptr;
    QComboBox* interval_ = nullptr;
    QCheckBox* fullStop_ = nullptr;
    QCheckBox* packetAutoRemove_ = nullptr;
    QCheckBox* vbusAutoRemove_ = nullptr;
};
