#include "app/current_dir_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/ctrl_view.h"

namespace {

QPushButton* PictureButton(DirectionPicture picture, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setIcon(QIcon(DirectionPicturePath(picture)));
    button->setIconSize(QSize(150, 60));
    button->setToolTip(caption);
    button->setAccessibleName(caption);
    return button;
}

}  // namespace

CVbusCurrentDirCfg::CVbusCurrentDirCfg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("VBUS Current Direction Setting"));
    auto* group = new QGroupBox(QStringLiteral("Select VBUS Current Positive Direction"), this);
    plugToReceptacle_ = new QRadioButton(QStringLiteral("Plug to Receptacle"), group);
    receptacleToPlug_ = new QRadioButton(QStringLiteral("Receptacle to Plug"), group);
    plugPicture_ =
        PictureButton(DirectionPicture::Positive, QStringLiteral("Plug to Receptacle"), group);
    receptaclePicture_ =
        PictureButton(DirectionPicture::Negative, QStringLiteral("Receptacle to Plug"), group);
    plugToReceptacle_->setChecked(true);
    connect(plugPicture_, &QPushButton::clicked, this, [this] { SetReverse(false); });
    connect(receptaclePicture_, &QPushButton::clicked, this, [this] { SetReverse(true); });

    auto* grid = new QGridLayout(group);
    grid->addWidget(plugPicture_, 0, 0);
    grid->addWidget(receptaclePicture_, 0, 1);
    grid->addWidget(plugToReceptacle_, 1, 0, Qt::AlignHCenter);
    grid->addWidget(receptacleToPlug_, 1, 1, Qt::AlignHCenter);

    doNotAskAgain_ = new QCheckBox(QStringLiteral("Do Not Ask Again"), this);
    doNotAskAgain_->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(doNotAskAgain_);
    layout->addWidget(buttons);
}

void CVbusCurrentDirCfg::SetReverse(bool reverse) {
    (reverse ? receptacleToPlug_ : plugToReceptacle_)->setChecked(true);
}

bool CVbusCurrentDirCfg::Reverse() const {
    return receptacleToPlug_->isChecked();
}

void CVbusCurrentDirCfg::SetDoNotAskAgain(bool on) {
    doNotAskAgain_->setChecked(on);
}

bool CVbusCurrentDirCfg::DoNotAskAgain() const {
    return doNotAskAgain_->isChecked();
}
