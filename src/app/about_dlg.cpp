#include "app/about_dlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "prompts/prompts.h"

namespace {

constexpr const char* kFirmwareUpdateQuestion =
    "The analyzer leaves the USB bus and waits for new firmware: capturing stops until its "
    "firmware is updated or it is plugged in again.\n\nEnter FW Update Mode?";

}  // namespace

QString FirmwareLine(const AnalyzerIdentity& identity) {
    if (identity.firmwareText.isEmpty()) {
        return QStringLiteral("Not Connected");
    }
    QString line = QStringLiteral("FW Ver : ") + identity.firmwareText;
    if (identity.invalidFirmware) {
        line += QStringLiteral(" (Invalid FW Version)");
    }
    return line;
}

QString SerialLine(const AnalyzerIdentity& identity) {
    if (identity.serialText.isEmpty()) {
        return QStringLiteral("Serial Number is not assigned.");
    }
    return QStringLiteral("Serial Number : ") + identity.serialText;
}

bool FirmwareUpdateAllowed(const QString& firmwareLine) {
    return !firmwareLine.contains(QLatin1String("0.91")) &&
           !firmwareLine.contains(QLatin1String("0.92"));
}

CAboutDlg::CAboutDlg(const AnalyzerIdentity& identity, Prompts& prompts, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Zoduz"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/zoduz/icons/zoduz.svg")).pixmap(48, 48));
    auto* version =
        new QLabel(QStringLiteral("USB Type-C Power Analyzer Zoduz Version 1.10.7"), this);
    auto* group = new QGroupBox(QStringLiteral("Zoduz Information"), this);
    const QString firmwareLine = FirmwareLine(identity);
    auto* firmware = new QLabel(firmwareLine, group);
    firmware->setObjectName(QStringLiteral("firmwareLine"));
    auto* serial = new QLabel(SerialLine(identity), group);
    serial->setObjectName(QStringLiteral("serialLine"));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(firmware);
    groupLayout->addWidget(serial);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    firmwareUpdate_ =
        buttons->addButton(QStringLiteral("Enter FW Update Mode"), QDialogButtonBox::ActionRole);
    firmwareUpdate_->setEnabled(FirmwareUpdateAllowed(firmwareLine));
    // The update mode takes the analyzer off the USB bus: one click beside OK must not do it.
    connect(firmwareUpdate_, &QPushButton::clicked, this, [this, prompts = &prompts] {
        if (!prompts->Confirm(this, windowTitle(), QString::fromLatin1(kFirmwareUpdateQuestion))) {
            return;
        }
        emit firmwareUpdateRequested();
        accept();
    });

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(version, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(group);
    layout->addWidget(buttons);
}
