#include "app/launch_driver_installer_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CLaunchDriverInstallerDlg::CLaunchDriverInstallerDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Zoduz Driver Install"));
    auto* text = new QLabel(QStringLiteral("  Would you like to install Zoduz Driver?"), this);
    doNotAskAgain_ = new QCheckBox(QStringLiteral("Do Not Ask Again"), this);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Install Driver"), QDialogButtonBox::AcceptRole)
        ->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(doNotAskAgain_);
    layout->addWidget(buttons);
}

bool CLaunchDriverInstallerDlg::DoNotAskAgain() const {
    return doNotAskAgain_->isChecked();
}
