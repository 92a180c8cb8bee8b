#include "app/about_dlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

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

CAboutDlg::CAboutDlg(const AnalyzerIdentity& identity, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Zoduz"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/zoduz/icons/zoduz.svg")).pixmap(48, 48));
    auto* version =
        new QLabel(QStringLiteral("USB Type-C Power Analyzer Zoduz Version 1.10.7"), this);
    auto* group = new QGroupBox(QStringLiteral("Zoduz Information"), this);
    auto* firmware = new QLabel(FirmwareLine(identity), group);
    firmware->setObjectName(QStringLiteral("firmwareLine"));
    auto* serial = new QLabel(SerialLine(identity), group);
    serial->setObjectName(QStringLiteral("serialLine"));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(firmware);
    groupLayout->addWidget(serial);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(version, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(group);
    layout->addWidget(buttons);
}
