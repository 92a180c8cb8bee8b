#include "tools/qt/export_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <limits>

#include "prompts/prompts.h"
#include "tools/csv_format.h"
#include "tools/export_job.h"
#include "tools/export_naming.h"
#include "tools/qt/job_runner.h"

namespace {

constexpr const char* kValueLabels[kValueOptionCount] = {
    "VBUS Voltage", "VBUS Current", "VBUS Wattage", "CC1 Voltage",
    "CC1 Current",  "CC2 Voltage",  "CC2 Current",
};

// The edit boxes take unsigned integers; more digits than 32 bits hold saturate.
uint32_t EditNumber(const QLineEdit* edit) {
    bool ok = false;
    const qulonglong value = edit->text().toULongLong(&ok);
    if (!ok) {
        return 0;
    }
    return static_cast<uint32_t>(std::min<qulonglong>(value, std::numeric_limits<uint32_t>::max()));
}

QRadioButton* AddRadio(QButtonGroup* group, QWidget* parent, const char* text, int id,
                       const QString& name) {
    auto* radio = new QRadioButton(QString::fromLatin1(text), parent);
    radio->setObjectName(name + QString::number(id));
    group->addButton(radio, id);
    return radio;
}

}  // namespace

CExportDlg::CExportDlg(Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), runner_(new CJobRunner(this)) {
    setWindowTitle(QStringLiteral("Export"));
    BuildControls();
    connect(runner_, &CJobRunner::Tick, this, &CExportDlg::OnTick);
    connect(runner_, &CJobRunner::Finished, this, &CExportDlg::OnFinished);
}

CExportDlg::~CExportDlg() = default;

void CExportDlg::BuildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* fileBox = new QGroupBox(QStringLiteral("Export File Name"), this);
    auto* fileRow = new QHBoxLayout(fileBox);
    fileLabel_ = new QLabel(fileBox);
    fileLabel_->setObjectName(QStringLiteral("fileName"));
    fileLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fileButton_ = new QPushButton(QStringLiteral("File"), fileBox);
    fileButton_->setObjectName(QStringLiteral("file"));
    fileRow->addWidget(fileLabel_, 1);
    fileRow->addWidget(fileButton_);
    layout->addWidget(fileBox);

    auto* choices = new QGridLayout;
    auto* typeBox = new QGroupBox(QStringLiteral("Export Type"), this);
    auto* typeColumn = new QVBoxLayout(typeBox);
    typeGroup_ = new QButtonGroup(this);
    typeColumn->addWidget(AddRadio(typeGroup_, typeBox, "CSV", 0, QStringLiteral("type")));
    typeColumn->addWidget(AddRadio(typeGroup_, typeBox, "ZAZ", 1, QStringLiteral("type")));
    typeColumn->addWidget(
        AddRadio(typeGroup_, typeBox, "pcapng (Wireshark)", 2, QStringLiteral("type")));
    choices->addWidget(typeBox, 0, 0);

    auto* itemsBox = new QGroupBox(QStringLiteral("Export Items"), this);
    auto* itemsColumn = new QVBoxLayout(itemsBox);
    itemsGroup_ = new QButtonGroup(this);
    itemsColumn->addWidget(AddRadio(itemsGroup_, itemsBox, "PD Messages", 0, "items"));
    itemsColumn->addWidget(AddRadio(itemsGroup_, itemsBox, "Voltage / Current", 1, "items"));
    itemsColumn->addWidget(AddRadio(itemsGroup_, itemsBox, "Both", 2, "items"));
    choices->addWidget(itemsBox, 0, 1);

    auto* valuesBox = new QGroupBox(QStringLiteral("Voltage / Current Options"), this);
    auto* valuesGrid = new QGridLayout(valuesBox);
    for (int option = 0; option < kValueOptionCount; ++option) {
        valueBoxes_[option] = new QCheckBox(QString::fromLatin1(kValueLabels[option]), valuesBox);
        valueBoxes_[option]->setObjectName(QStringLiteral("value%1").arg(option));
        valuesGrid->addWidget(valueBoxes_[option], option < 3 ? option : option - 3,
                              option < 3 ? 0 : 1);
    }
    choices->addWidget(valuesBox, 1, 0);

    auto* packetBox = new QGroupBox(QStringLiteral("PD Message Options"), this);
    auto* packetColumn = new QVBoxLayout(packetBox);
    visibleColumnsBox_ = new QCheckBox(QStringLiteral("Visible Columns Only"), packetBox);
    visibleColumnsBox_->setObjectName(QStringLiteral("visibleColumnsOnly"));
    packetColumn->addWidget(visibleColumnsBox_);
    packetColumn->addStretch();
    choices->addWidget(packetBox, 1, 1);

    auto addRange = [this, choices](const char* title, const char* edgeText, const QString& name,
                                    QButtonGroup*& group, QLineEdit*& edit, QComboBox*& combo,
                                    int column) {
        auto* box = new QGroupBox(QString::fromLatin1(title), this);
        auto* grid = new QGridLayout(box);
        group = new QButtonGroup(this);
        grid->addWidget(AddRadio(group, box, edgeText, 0, name + QStringLiteral("Kind")), 0, 0);
        grid->addWidget(AddRadio(group, box, "Packet Number", 1, name + QStringLiteral("Kind")), 1,
                        0);
        grid->addWidget(AddRadio(group, box, "Marker", 2, name + QStringLiteral("Kind")), 2, 0);
        edit = new QLineEdit(box);
        edit->setObjectName(name + QStringLiteral("Number"));
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]{0,10}")), edit));
        grid->addWidget(edit, 1, 1);
        combo = new QComboBox(box);
        combo->setObjectName(name + QStringLiteral("Marker"));
        grid->addWidget(combo, 2, 1);
        choices->addWidget(box, 2, column);
        connect(edit, &QLineEdit::textEdited, this, &CExportDlg::ApplyControlState);
        connect(combo, &QComboBox::activated, this, &CExportDlg::ApplyControlState);
    };
    addRange("From", "Capture Top", QStringLiteral("from"), fromGroup_, fromEdit_, fromCombo_, 0);
    addRange("To", "Capture End", QStringLiteral("to"), toGroup_, toEdit_, toCombo_, 1);
    layout->addLayout(choices);

    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("status"));
    layout->addWidget(statusLabel_);
    auto* buttons = new QHBoxLayout;
    exportButton_ = new QPushButton(QStringLiteral("Export"), this);
    exportButton_->setObjectName(QStringLiteral("export"));
    abortButton_ = new QPushButton(QStringLiteral("Abort"), this);
    abortButton_->setObjectName(QStringLiteral("abort"));
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancel"));
    buttons->addStretch();
    buttons->addWidget(exportButton_);
    buttons->addWidget(abortButton_);
    buttons->addWidget(cancelButton_);
    layout->addLayout(buttons);

    for (QButtonGroup* group : {fromGroup_, toGroup_, typeGroup_, itemsGroup_}) {
        connect(group, &QButtonGroup::buttonClicked, this, &CExportDlg::OnRadioClicked);
    }
    for (QCheckBox* box : valueBoxes_) {
        connect(box, &QCheckBox::clicked, this, &CExportDlg::ApplyControlState);
    }
    connect(visibleColumnsBox_, &QCheckBox::clicked, this, &CExportDlg::ApplyControlState);
    connect(fileButton_, &QPushButton::clicked, this, &CExportDlg::ChooseFile);
    connect(exportButton_, &QPushButton::clicked, this, &CExportDlg::StartExport);
    connect(abortButton_, &QPushButton::clicked, runner_, &CJobRunner::RequestAbort);
    connect(cancelButton_, &QPushButton::clicked, this, &CExportDlg::reject);
}

void CExportDlg::Setup(const CKVDoc& document, const ExportSettings& settings) {
    document_ = &document;
    settings_ = settings;
    fileName_ =
        QString::fromStdString(DeriveExportFileName(document.RecordFilePath(), ExportType::kCsv));
    type_ = ExportType::kCsv;
    markers_ = CollectExportMarkers(document, settings.graphMarkers);
}

void CExportDlg::Initialise(bool automatic) {
    automatic_ = automatic;
    const CaptureExtent extent = ExtentOf(*document_);
    range_.fromNumber = extent.firstPacketNumber;
    range_.toNumber = extent.lastPacketNumber;
    fromCombo_->clear();
    toCombo_->clear();
    for (const ExportMarker& marker : markers_) {
        fromCombo_->addItem(QString::fromStdString(ExportMarkerText(marker)));
        toCombo_->addItem(QString::fromStdString(ExportMarkerText(marker)));
    }
    fromCombo_->setCurrentIndex(markers_.empty() ? -1 : 0);
    toCombo_->setCurrentIndex(static_cast<int>(markers_.size()) - 1);
    if (extent.packetCount == 0) {
        items_ = ExportItems::kVoltageCurrent;
    } else {
        items_ = automatic ? ExportItems::kBoth : ExportItems::kPdMessages;
    }

    fileLabel_->setText(fileName_);
    for (int option = 0; option < kValueOptionCount; ++option) {
        valueBoxes_[option]->setChecked(values_[option]);
    }
    visibleColumnsBox_->setChecked(visibleColumnsOnly_);
    fromGroup_->button(static_cast<int>(range_.fromKind))->setChecked(true);
    toGroup_->button(static_cast<int>(range_.toKind))->setChecked(true);
    typeGroup_->button(static_cast<int>(type_))->setChecked(true);
    itemsGroup_->button(static_cast<int>(items_))->setChecked(true);
    fromEdit_->setText(QString::number(range_.fromNumber));
    toEdit_->setText(QString::number(range_.toNumber));
    statusLabel_->clear();
    ApplyControlState();
    if (automatic) {
        StartExport();
    }
}

int CExportDlg::RunModal() {
    Initialise(false);
    return prompts_.RunDialog(*this);
}

void CExportDlg::RunAutomatic() {
    setModal(false);
    Initialise(true);
    show();
}

bool CExportDlg::Exporting() const {
    return runner_->Busy();
}

void CExportDlg::StoreControls() {
    for (int option = 0; option < kValueOptionCount; ++option) {
        values_[option] = valueBoxes_[option]->isChecked();
    }
    visibleColumnsOnly_ = visibleColumnsBox_->isChecked();
    range_.fromKind = static_cast<RangeKind>(fromGroup_->checkedId());
    range_.toKind = static_cast<RangeKind>(toGroup_->checkedId());
    range_.fromNumber = EditNumber(fromEdit_);
    range_.toNumber = EditNumber(toEdit_);
    range_.fromMarker = fromCombo_->currentIndex();
    range_.toMarker = toCombo_->currentIndex();
    type_ = static_cast<ExportType>(typeGroup_->checkedId());
    items_ = static_cast<ExportItems>(itemsGroup_->checkedId());
}

// Validates the stored choice. The corrected To number reaches the member and its edit box
// only when an export is started, so typing a number digit by digit is not rewritten.
ExportRange CExportDlg::CheckRange(bool writeBack) {
    ExportRangeChoice choice = range_;
    const ExportRange range = ValidateExportRange(ExtentOf(*document_), markers_, choice);
    if (writeBack && choice.toNumber != range_.toNumber) {
        range_.toNumber = choice.toNumber;
        toEdit_->setText(QString::number(range_.toNumber));
    }
    return range;
}

void CExportDlg::ApplyControlState() {
    if (document_ == nullptr) {
        return;
    }
    StoreControls();
    ExportDialogState state;
    state.exporting = Exporting();
    state.hasPackets = document_->PacketCount() != 0;
    state.type = type_;
    state.items = items_;
    state.fromKind = range_.fromKind;
    state.toKind = range_.toKind;
    state.fileNameEmpty = fileName_.isEmpty();
    state.rangeValid = CheckRange(false).Valid();
    const ExportControlStates c = ComputeExportControls(state);
    for (QCheckBox* box : valueBoxes_) {
        box->setEnabled(c.valueOptions);
    }
    visibleColumnsBox_->setEnabled(c.visibleColumnsOnly);
    for (QButtonGroup* group : {fromGroup_, toGroup_}) {
        group->button(0)->setEnabled(c.captureEdgeRadios);
        group->button(1)->setEnabled(c.packetNumberRadios);
        group->button(2)->setEnabled(c.markerRadios);
    }
    for (QAbstractButton* radio : typeGroup_->buttons()) {
        radio->setEnabled(c.typeRadios);
    }
    itemsGroup_->button(0)->setEnabled(c.pdMessagesItem);
    itemsGroup_->button(1)->setEnabled(c.voltageCurrentItem);
    itemsGroup_->button(2)->setEnabled(c.bothItem);
    fromEdit_->setEnabled(c.fromEdit);
    fromCombo_->setEnabled(c.fromCombo);
    toEdit_->setEnabled(c.toEdit);
    toCombo_->setEnabled(c.toCombo);
    fileButton_->setEnabled(c.fileButton);
    exportButton_->setEnabled(c.exportButton);
    abortButton_->setEnabled(c.abortButton);
}

void CExportDlg::OnRadioClicked() {
    StoreControls();
    fileName_ = QString::fromStdString(CorrectExportExtension(fileName_.toStdString(), type_));
    fileLabel_->setText(fileName_);
    ApplyControlState();
}

void CExportDlg::ChooseFile() {
    const QString suffix = QString::fromLatin1(ExportExtension(type_) + 1);
    const QString kind = type_ == ExportType::kPcapng ? suffix : suffix.toUpper();
    const QString chosen = prompts_.ChooseSaveFile(
        this, {QString(), fileName_, QStringLiteral("%1 Files (*.%2)").arg(kind, suffix), suffix});
    if (!chosen.isEmpty()) {
        fileName_ = chosen;
        fileLabel_->setText(fileName_);
    }
    ApplyControlState();
}

void CExportDlg::StartExport() {
    StoreControls();
    const ExportRange range = CheckRange(true);
    if (!range.Valid() || Exporting() || fileName_.isEmpty()) {
        return;
    }
    ExportRequest request;
    request.type = type_;
    request.fileName = fileName_.toStdString();
    request.csv.items = items_;
    request.csv.values = values_;
    request.csv.columns = ExportColumns(settings_.columns, visibleColumnsOnly_);
    request.csv.reverseCurrent = settings_.reverseCurrent;
    request.csv.rangeStart = range.start;
    request.csv.rangeEnd = range.end;
    runner_->Start(::StartExport(*document_, request));
    ApplyControlState();
}

void CExportDlg::OnTick(int percent) {
    statusLabel_->setText(QString::fromLatin1(kExportingText).arg(percent));
}

void CExportDlg::OnFinished(ToolResult result) {
    if (automatic_) {
        hide();
        ApplyControlState();
        return;
    }
    statusLabel_->setText(QString::fromLatin1(kExportCompletedText));
    ApplyControlState();
    if (result != ToolResult::kSucceeded) {
        prompts_.ShowNotice(this, windowTitle(), QString::fromLatin1(kExportAbortedText));
        statusLabel_->clear();
        return;
    }
    prompts_.ShowNotice(this, windowTitle(), QString::fromLatin1(kExportCompletedText));
    accept();
}

void CExportDlg::reject() {
    runner_->RequestAbort();
    QDialog::reject();
}
