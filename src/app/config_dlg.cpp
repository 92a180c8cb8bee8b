#include "app/config_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "prompts/prompts.h"

CConfigDlg::CConfigDlg(SettingsStore& settings, Prompts& prompts, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      form_(RecordSettingsForm::FromSettings(settings)),
      prompts_(prompts) {
    setWindowTitle(QStringLiteral("Record Settings"));

    maxPackets_ = new QLineEdit(this);
    maxPackets_->setObjectName(QStringLiteral("maxPackets"));
    maxPackets_->setReadOnly(true);
    maxSamples_ = new QLineEdit(this);
    maxSamples_->setObjectName(QStringLiteral("maxSamples"));
    maxSamples_->setReadOnly(true);
    interval_ = new QComboBox(this);
    interval_->setObjectName(QStringLiteral("interval"));
    for (size_t i = 0; i < kSamplingIntervalsMs.size(); ++i) {
        interval_->addItem(QString::fromStdString(SamplingIntervalText(i)));
    }
    // Present but never shown: they carry the stored switches through the dialog.
    fullStop_ = new QCheckBox(QStringLiteral("Record Stop on Counter Overflow"), this);
    packetAutoRemove_ = new QCheckBox(QStringLiteral("Auto Remove Old PD Packets"), this);
    vbusAutoRemove_ = new QCheckBox(QStringLiteral("Auto Remove Old VBUS Samplings"), this);
    for (QCheckBox* box : {fullStop_, packetAutoRemove_, vbusAutoRemove_}) {
        box->setVisible(false);
    }
    auto* loadDefault = new QPushButton(QStringLiteral("Load Default"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Max Record PD Packet Count"), maxPackets_);
    fields->addRow(QStringLiteral("Max VBUS Sampling Count"), maxSamples_);
    fields->addRow(QStringLiteral("VBUS Sampling Interval"), interval_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(loadDefault);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(fullStop_);
    layout->addWidget(packetAutoRemove_);
    layout->addWidget(vbusAutoRemove_);
    layout->addLayout(bottom);

    connect(interval_, &QComboBox::currentIndexChanged, this,
            [this](int index) { form_.intervalEntry = index; });
    connect(loadDefault, &QPushButton::clicked, this, [this] {
        form_.LoadDefaults();
        ShowForm();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &CConfigDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ShowForm();
}

void CConfigDlg::ShowForm() {
    maxPackets_->setText(QString::number(form_.maxPacketCount));
    maxSamples_->setText(QString::number(form_.maxVbusCount));
    interval_->setCurrentIndex(form_.intervalEntry);
    fullStop_->setChecked(form_.captureFullStop);
    packetAutoRemove_->setChecked(form_.packetAutoRemove);
    vbusAutoRemove_->setChecked(form_.vbusAutoRemove);
}

void CConfigDlg::accept() {
    if (std::optional<std::string> problem = form_.Accept(settings_)) {
        prompts_.ShowWarning(this, windowTitle(), QString::fromStdString(*problem));
        return;
    }
    QDialog::accept();
}
