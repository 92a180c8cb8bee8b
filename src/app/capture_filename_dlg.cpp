#include "app/capture_filename_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "capture/record_naming.h"
#include "prompts/prompts.h"
#include "settings/settings_store.h"

CCaptureFilenameDlg::CCaptureFilenameDlg(RecordFileForm& form, SettingsStore& settings,
                                         Prompts& prompts, QWidget* parent)
    : QDialog(parent),
      form_(form),
      settings_(settings),
      prompts_(prompts),
      clock_([] { return std::time(nullptr); }),
      defaultFolder_([] { return DefaultDataFolder(); }) {
    setWindowTitle(QStringLiteral("Record File Settings"));

    caption_ = new QLineEdit(this);
    caption_->setObjectName(QStringLiteral("caption"));
    appendTimestamp_ = new QCheckBox(QStringLiteral("Append Timestamp to Filename"), this);
    maxFileSize_ = new QLineEdit(this);
    maxFileSize_->setObjectName(QStringLiteral("maxFileSize"));
    multiFile_ =
        new QCheckBox(QStringLiteral("Multiple Record File  (for long time recording)"), this);
    fileName_ = new QLabel(this);
    fileName_->setObjectName(QStringLiteral("recordFilename"));
    folder_ = new QLabel(this);
    folder_->setObjectName(QStringLiteral("recordFolder"));
    auto* selectFolder = new QPushButton(QStringLiteral("Select Record File Folder"), this);
    doNotAskAgain_ = new QCheckBox(QStringLiteral("Do not ask again"), this);
    auto* loadDefaults = new QPushButton(QStringLiteral("Load Defaults"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Filename Caption (max 64 chars)"), caption_);
    fields->addRow(QString(), appendTimestamp_);
    fields->addRow(QStringLiteral("Max File Size (MB)"), maxFileSize_);
    fields->addRow(QString(), multiFile_);
    fields->addRow(QStringLiteral("Record Filename"), fileName_);
    fields->addRow(QStringLiteral("Record File Folder"), folder_);
    fields->addRow(QString(), selectFolder);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(doNotAskAgain_);
    bottom->addStretch();
    bottom->addWidget(loadDefaults);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(bottom);

    connect(caption_, &QLineEdit::textEdited, this, &CCaptureFilenameDlg::EditCaption);
    connect(appendTimestamp_, &QCheckBox::clicked, this, [this](bool checked) {
        form_.ClickAppendTimestamp(checked, clock_());
        Recompose();
    });
    connect(maxFileSize_, &QLineEdit::textEdited, this,
            [this](const QString& text) { form_.maxFileSizeText = text.toStdString(); });
    connect(multiFile_, &QCheckBox::clicked, this, [this](bool checked) {
        form_.multiFile = checked;
        Recompose();
    });
    connect(doNotAskAgain_, &QCheckBox::clicked, this,
            [this](bool checked) { form_.doNotAskAgain = checked; });
    connect(selectFolder, &QPushButton::clicked, this, &CCaptureFilenameDlg::SelectFolder);
    connect(loadDefaults, &QPushButton::clicked, this, &CCaptureFilenameDlg::LoadDefaults);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCaptureFilenameDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Reopen();
}

void CCaptureFilenameDlg::Reopen() {
    form_.Open(clock_());
    ShowForm();
}

void CCaptureFilenameDlg::ShowForm() {
    caption_->setText(QString::fromStdString(form_.caption));
    appendTimestamp_->setChecked(form_.appendTimestamp);
    maxFileSize_->setText(QString::fromStdString(form_.maxFileSizeText));
    multiFile_->setChecked(form_.multiFile);
    folder_->setText(QString::fromStdString(form_.folder));
    doNotAskAgain_->setChecked(form_.doNotAskAgain);
    Recompose();
}

void CCaptureFilenameDlg::Recompose() {
    fileName_->setText(QString::fromStdString(form_.DisplayedFileName()));
}

// An edit that breaks the caption rules is undone: the previous caption comes back with the
// cursor where the edit began.
void CCaptureFilenameDlg::EditCaption(const QString& text) {
    if (!form_.EditCaption(text.toStdString())) {
        int cursor = std::max(0, caption_->cursorPosition() - 1);
        caption_->setText(QString::fromStdString(form_.caption));
        caption_->setCursorPosition(std::min(cursor, static_cast<int>(caption_->text().size())));
    }
    Recompose();
}

void CCaptureFilenameDlg::SelectFolder() {
    QString chosen = prompts_.ChooseFolder(this, QStringLiteral("Select Record Folder"),
                                           QString::fromStdString(form_.folder));
    if (chosen.isEmpty()) {
        return;
    }
    form_.folder = chosen.toStdString();
    folder_->setText(chosen);
}

void CCaptureFilenameDlg::LoadDefaults() {
    form_.LoadDefaults(defaultFolder_());
    ShowForm();
}

void CCaptureFilenameDlg::accept() {
    if (std::optional<std::string> problem = form_.Accept(settings_)) {
        prompts_.ShowWarning(this, windowTitle(), QString::fromStdString(*problem));
        return;
    }
    QDialog::accept();
}
