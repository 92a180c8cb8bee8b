#include "list/packet_find_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "list/core/criteria_enabling.h"

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The message-type boxes by class: control 1-24, data, extended.
constexpr int kFirstData = kFirstMessageType + 24;
constexpr int kFirstExtended = kFirstData + 13;

}  // namespace

CPacketFindDlg::CPacketFindDlg(FindCriteria& criteria, const PacketStatistics* statistics,
                               QWidget* parent)
    : QDialog(parent), criteria_(criteria), statistics_(statistics) {
    setObjectName(QStringLiteral("packetFindDlg"));
    const bool filter = criteria_.mode == CriteriaMode::kFilter;
    setWindowTitle(filter ? QStringLiteral("Display Filter Settings")
                          : QStringLiteral("Find PD Messages"));

    auto* left = new QVBoxLayout;
    left->addWidget(BuildGroup("CH", kCritCc1, kCritCc2, 2));
    left->addWidget(BuildGroup("Ordered Set", kCritSop, kCritSopDoublePrimeDebug, 2));
    left->addWidget(BuildGroup("Power Role", kCritSource, kCritSink, 2));
    left->addWidget(BuildGroup("Data Role", kCritDfp, kCritUfp, 2));
    left->addWidget(BuildGroup("Error Packet", kCritInvalidPacket, kCritNoErrors, 1));

    auto* textGroup = new QGroupBox(QStringLiteral("Containing Text"), this);
    auto* textLayout = new QVBoxLayout(textGroup);
    enableText_ = new QCheckBox(QStringLiteral("Enable Text"), textGroup);
    text_ = new QLineEdit(textGroup);
    textLayout->addWidget(enableText_);
    textLayout->addWidget(text_);
    left->addWidget(textGroup);

    directionGroup_ = new QGroupBox(QStringLiteral("Find Direction"), this);
    auto* directionLayout = new QHBoxLayout(directionGroup_);
    forward_ = new QRadioButton(QStringLiteral("Forward"), directionGroup_);
    backward_ = new QRadioButton(QStringLiteral("Backward"), directionGroup_);
    directionLayout->addWidget(forward_);
    directionLayout->addWidget(backward_);
    directionGroup_->setVisible(!filter);
    left->addWidget(directionGroup_);
    left->addStretch(1);

    QGroupBox* types = new QGroupBox(QStringLiteral("Message Type"), this);
    auto* typeLayout = new QHBoxLayout(types);
    // Control, data and extended messages side by side, each class top to bottom.
    const std::array<std::pair<int, int>, 4> typeColumns = {{
        {kFirstMessageType, kFirstMessageType + 11},
        {kFirstMessageType + 12, kFirstData - 1},
        {kFirstData, kFirstExtended - 1},
        {kFirstExtended, kCritInvalidPacket - 1},
    }};
    for (const auto& [first, last] : typeColumns) {
        auto* column = new QVBoxLayout;
        for (int criterion = first; criterion <= last; ++criterion) {
            auto* box = new QCheckBox(
                ToQString(kCriterionBoxes[static_cast<size_t>(criterion)].label), types);
            boxes_[static_cast<size_t>(criterion)] = box;
            column->addWidget(box);
        }
        column->addStretch(1);
        typeLayout->addLayout(column);
    }
    checkAllTypes_ = new QPushButton(QStringLiteral("Check All Message Types"), this);
    clearAllTypes_ = new QPushButton(QStringLiteral("Clear All Message Types"), this);
    auto* typeButtons = new QHBoxLayout;
    typeButtons->addWidget(checkAllTypes_);
    typeButtons->addWidget(clearAllTypes_);
    typeButtons->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(types);
    right->addLayout(typeButtons);

    allowAll_ = new QCheckBox(QStringLiteral("Allow to change all settings"), this);
    checkAll_ = new QPushButton(QStringLiteral("Check All"), this);
    clearAll_ = new QPushButton(QStringLiteral("Clear All"), this);
    auto* okCancel = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okCancel->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    okCancel->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(allowAll_);
    bottom->addWidget(checkAll_);
    bottom->addWidget(clearAll_);
    bottom->addStretch(1);
    bottom->addWidget(okCancel);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(bottom);

    connect(okCancel, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(okCancel, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QCheckBox* box : {enableText_, allowAll_}) {
        connect(box, &QCheckBox::clicked, this, [this] {
            StoreControls();
            ApplyEnabling();
        });
    }
    ConnectCriteriaButton(checkAllTypes_, [](FindCriteria& c) { SetAllMessageTypes(c, true); });
    ConnectCriteriaButton(clearAllTypes_, [](FindCriteria& c) { SetAllMessageTypes(c, false); });
    ConnectCriteriaButton(checkAll_, [](FindCriteria& c) { SetAllCriteria(c, true); });
    ConnectCriteriaButton(clearAll_, [](FindCriteria& c) { SetAllCriteria(c, false); });

    ShowCriteria();
    ApplyEnabling();
}

QGroupBox* CPacketFindDlg::BuildGroup(std::string_view title, int first, int last, int columns) {
    auto* group = new QGroupBox(ToQString(title), this);
    auto* grid = new QGridLayout(group);
    for (int criterion = first; criterion <= last; ++criterion) {
        auto* box =
            new QCheckBox(ToQString(kCriterionBoxes[static_cast<size_t>(criterion)].label), group);
        boxes_[static_cast<size_t>(criterion)] = box;
        const int index = criterion - first;
        grid->addWidget(box, index / columns, index % columns);
    }
    return group;
}

template <typename Change>
void CPacketFindDlg::ConnectCriteriaButton(QPushButton* button, Change change) {
    connect(button, &QPushButton::clicked, this, [this, change] {
        change(criteria_);
        ShowCriteria();
    });
}

void CPacketFindDlg::ShowCriteria() {
    for (size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i]->setChecked(criteria_.on[i]);
    }
    allowAll_->setChecked(criteria_.allowAll);
    enableText_->setChecked(criteria_.textEnabled);
    text_->setText(QString::fromStdString(criteria_.text));
    forward_->setChecked(criteria_.direction == FindDirection::kForward);
    backward_->setChecked(criteria_.direction == FindDirection::kBackward);
}

void CPacketFindDlg::StoreControls() {
    for (size_t i = 0; i < boxes_.size(); ++i) {
        criteria_.on[i] = boxes_[i]->isChecked();
    }
    criteria_.allowAll = allowAll_->isChecked();
    criteria_.textEnabled = enableText_->isChecked();
    criteria_.text = text_->text().toStdString();
    criteria_.direction =
        backward_->isChecked() ? FindDirection::kBackward : FindDirection::kForward;
}

void CPacketFindDlg::ApplyEnabling() {
    if (statistics_ == nullptr) {
        return;
    }
    const CriteriaEnabling enabling = EnableCriteria(criteria_, statistics_);
    for (size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i]->setEnabled(enabling.box[i]);
    }
    text_->setEnabled(enabling.textEdit);
}

void CPacketFindDlg::accept() {
    StoreControls();
    QDialog::accept();
}
