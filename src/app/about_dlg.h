// "About Zoduz": the application version and what is known about the attached analyzer.
#pragma once

#include <QDialog>
#include <QString>

// What the About box shows about the analyzer; empty texts when none is attached.
struct AnalyzerIdentity {
    QString firmwareText;
    bool invalidFirmware = false;
    QString serialText;
};

// "FW Ver : <version>" (with " (Invalid FW Version)"), or "Not Connected".
QString FirmwareLine(const AnalyzerIdentity& identity);
// "Serial Number : <serial>", or "Serial Number is not assigned.".
QString SerialLine(const AnalyzerIdentity& identity);

// Firmware 0.91 and 0.92 cannot enter the update mode from here.
bool FirmwareUpdateAllowed(const QString& firmwareLine);

class Prompts;
class QPushButton;

class CAboutDlg : public QDialog {
    Q_OBJECT

  public:
    // prompts asks before the update mode is entered; it outlives the box.
    CAboutDlg(const AnalyzerIdentity& identity, Prompts& prompts, QWidget* parent = nullptr);

    QPushButton* FirmwareUpdateButton() const { return firmwareUpdate_; }

  signals:
    // "Enter FW Update Mode" was pressed and confirmed; the box closes.
    void firmwareUpdateRequested();

  private:
    QPushButton* firmwareUpdate_ = nullptr;
};
