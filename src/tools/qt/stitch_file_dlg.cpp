#include "tools/qt/stitch_file_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "prompts/prompts.h"
#include "tools/qt/job_runner.h"
#include "tools/stitch_writer.h"

namespace {

QString PathOf(const QListWidgetItem* item) {
    return item->data(Qt::UserRole).toString();
}

void AddFiles(QListWidget* list, const std::vector<StitchFile>& files) {
    for (const StitchFile& file : files) {
        auto* item = new QListWidgetItem(QString::fromStdString(file.name), list);
        item->setData(Qt::UserRole, QString::fromStdString(file.path));
    }
}

}  // namespace

CStitchFileDlg::CStitchFileDlg(const QString& folder, const QString& currentFile, Prompts& prompts,
                               QWidget* parent)
    : QDialog(parent),
      folder_(folder),
      currentFile_(currentFile),
      prompts_(prompts),
      runner_(new CJobRunner(this)) {
    setWindowTitle(QStringLiteral("Stitch Record Files"));

    auto* layout = new QVBoxLayout(this);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(QStringLiteral("Record File Folder"), this));
    folderLabel_ = new QLabel(folder_, this);
    folderLabel_->setObjectName(QStringLiteral("folder"));
    folderRow->addWidget(folderLabel_, 1);
    folderButton_ = new QPushButton(QStringLiteral("Select Record File Folder"), this);
    folderRow->addWidget(folderButton_);
    layout->addLayout(folderRow);

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("Select a base record file"), this), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("Select record files to stitch"), this), 0, 1);
    baseList_ = new QListWidget(this);
    baseList_->setSelectionMode(QAbstractItemView::SingleSelection);
    stitchList_ = new QListWidget(this);
    stitchList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lists->addWidget(baseList_, 1, 0);
    lists->addWidget(stitchList_, 1, 1);
    // Present but not shown: with them every .zaz file would be listed.
    showAllBase_ = new QCheckBox(QStringLiteral("Show all files"), this);
    showAllStitch_ = new QCheckBox(QStringLiteral("Show all files"), this);
    showAllBase_->setVisible(false);
    showAllStitch_->setVisible(false);
    layout->addLayout(lists);

    auto* outputRow = new QHBoxLayout;
    outputRow->addWidget(new QLabel(QStringLiteral("Output File Name"), this));
    outputLabel_ = new QLabel(this);
    outputLabel_->setObjectName(QStringLiteral("output"));
    outputRow->addWidget(outputLabel_, 1);
    layout->addLayout(outputRow);
    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("status"));
    layout->addWidget(statusLabel_);

    auto* buttons = new QHBoxLayout;
    startButton_ = new QPushButton(QStringLiteral("Start Stitching"), this);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(startButton_);
    buttons->addWidget(cancelButton_);
    layout->addLayout(buttons);

    connect(baseList_, &QListWidget::itemSelectionChanged, this, &CStitchFileDlg::OnBaseSelected);
    connect(stitchList_, &QListWidget::itemSelectionChanged, this,
            &CStitchFileDlg::OnStitchSelection);
    connect(folderButton_, &QPushButton::clicked, this, &CStitchFileDlg::ChooseFolder);
    connect(startButton_, &QPushButton::clicked, this, &CStitchFileDlg::StartStitching);
    connect(cancelButton_, &QPushButton::clicked, this, &CStitchFileDlg::reject);
    connect(runner_, &CJobRunner::Tick, this, &CStitchFileDlg::OnTick);
    connect(runner_, &CJobRunner::Finished, this, &CStitchFileDlg::OnFinished);

    FillBaseList();
}

CStitchFileDlg::~CStitchFileDlg() {
    if (waitCursor_) {
        QApplication::restoreOverrideCursor();
    }
}

QString CStitchFileDlg::StatusText() const {
    return statusLabel_->text();
}

void CStitchFileDlg::FillBaseList() {
    outputPath_.clear();
    outputLabel_->clear();
    basePath_.clear();
    {
        const QSignalBlocker blockBase(baseList_);
        const QSignalBlocker blockStitch(stitchList_);
        baseList_->clear();
        stitchList_->clear();
    }
    files_ = ListRecordFiles(folder_.toStdString());
    const std::vector<StitchFile> bases = StitchBaseList(files_, showAllBase_->isChecked());
    {
        const QSignalBlocker block(baseList_);
        AddFiles(baseList_, bases);
    }
    const int selected = PreselectBase(bases, currentFile_.toStdString());
    if (selected >= 0) {
        baseList_->setCurrentRow(selected);  // runs the base-selection step
    }
    ApplyControlState();
}

void CStitchFileDlg::OnBaseSelected() {
    outputPath_.clear();
    outputLabel_->clear();
    const QList<QListWidgetItem*> selected = baseList_->selectedItems();
    basePath_ = selected.isEmpty() ? QString() : PathOf(selected.first());
    FillStitchList();
}

void CStitchFileDlg::FillStitchList() {
    {
        const QSignalBlocker block(stitchList_);
        stitchList_->clear();
        if (!basePath_.isEmpty()) {
            AddFiles(stitchList_, StitchSuccessorList(files_, basePath_.toStdString(),
                                                      showAllStitch_->isChecked()));
        }
    }
    if (stitchList_->count() != 0) {
        stitchList_->setCurrentRow(0);  // runs the stitch-selection step
    }
    ApplyControlState();
}

void CStitchFileDlg::OnStitchSelection() {
    const int caret = stitchList_->currentRow();
    std::vector<bool> selected(static_cast<size_t>(stitchList_->count()));
    for (int row = 0; row < stitchList_->count(); ++row) {
        selected[static_cast<size_t>(row)] = stitchList_->item(row)->isSelected();
    }
    const size_t count = caret < 0 ? 0 : ApplyFirstSelection(selected, static_cast<size_t>(caret));
    {
        const QSignalBlocker block(stitchList_);
        for (int row = 0; row < stitchList_->count(); ++row) {
            stitchList_->item(row)->setSelected(selected[static_cast<size_t>(row)]);
        }
    }
    outputPath_.clear();
    const QList<QListWidgetItem*> base = baseList_->selectedItems();
    if (count != 0 && !base.isEmpty()) {
        outputPath_ = QString::fromStdString(
            StitchOutputPath(folder_.toStdString(), base.first()->text().toStdString(),
                             stitchList_->item(static_cast<int>(count) - 1)->text().toStdString()));
    }
    outputLabel_->setText(outputPath_);
    ApplyControlState();
}

void CStitchFileDlg::ApplyControlState() {
    const bool stitching = runner_->Busy();
    folderButton_->setEnabled(!stitching);
    baseList_->setEnabled(!stitching);
    stitchList_->setEnabled(!stitching);
    startButton_->setEnabled(!stitching && !outputPath_.isEmpty());
}

void CStitchFileDlg::ChooseFolder() {
    const QString chosen =
        prompts_.ChooseFolder(this, QStringLiteral("Select Record Folder"), folder_);
    if (chosen.isEmpty()) {
        return;
    }
    folder_ = chosen;
    folderLabel_->setText(folder_);
    FillBaseList();
}

void CStitchFileDlg::StartStitching() {
    if (runner_->Busy() || outputPath_.isEmpty()) {
        return;
    }
    std::vector<std::string> parts = {basePath_.toStdString()};
    for (int row = 0; row < stitchList_->count(); ++row) {
        if (stitchList_->item(row)->isSelected()) {
            parts.push_back(PathOf(stitchList_->item(row)).toStdString());
        }
    }
    runner_->Start(std::make_unique<ToolJob>(
        [parts = std::move(parts), output = outputPath_.toStdString()](JobControl& control) {
            return WriteStitchedFile(parts, output, control);
        }));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursor_ = true;
    ApplyControlState();
}

void CStitchFileDlg::OnTick(int percent) {
    statusLabel_->setText(QString::fromLatin1(kStitchingText).arg(percent));
}

void CStitchFileDlg::OnFinished(ToolResult result) {
    statusLabel_->setText(QString::fromLatin1(kStitchCompletedText));
    ApplyControlState();
    if (waitCursor_) {
        QApplication::restoreOverrideCursor();
        waitCursor_ = false;
    }
    if (result != ToolResult::kSucceeded) {
        prompts_.ShowNotice(this, windowTitle(), QString::fromLatin1(kStitchAbortedText));
        statusLabel_->clear();
        return;
    }
    prompts_.ShowNotice(this, windowTitle(), QString::fromLatin1(kStitchCompletedText));
    accept();
}

void CStitchFileDlg::reject() {
    runner_->RequestAbort();
    QDialog::reject();
}
