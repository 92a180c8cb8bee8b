// "Record File Settings": caption, timestamp, size limit, multi-file, folder and the
// do-not-ask switch of record files. The dialog edits a RecordFileForm that outlives it, so the
// values are kept between uses; OK stores them into the settings.
#pragma once

#include <QDialog>
#include <ctime>
#include <functional>

#include "settings/record_file_form.h"

class QCheckBox;
class QLabel;
class QLineEdit;
struct SettingsStore;

class CCaptureFilenameDlg : public QDialog {
    Q_OBJECT

  public:
    // The folder picker: given the current folder, the chosen one or "" when cancelled.
    using FolderPicker = std::function<QString(const QString& current)>;
    using Notice = std::function<void(const QString& text)>;

    CCaptureFilenameDlg(RecordFileForm& form, SettingsStore& settings, QWidget* parent = nullptr);

    // Replaceable for tests: the clock, the folder picker, the message box, the default folder.
    void SetClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }
    void SetFolderPicker(FolderPicker picker) { folderPicker_ = std::move(picker); }
    void SetNotice(Notice notice) { notice_ = std::move(notice); }
    void SetDefaultFolder(std::function<std::string()> folder) {
        defaultFolder_ = std::move(folder);
    }

    // The dialog opens: the capture start time becomes now and every control shows the form.
    void Reopen();
    void accept() override;

  private:
    void EditCaption(const QString& text);
    void SelectFolder();
    void LoadDefaults();
    void ShowForm();
    void Recompose();

    RecordFileForm& form_;
    SettingsStore& settings_;
    std::function<std::time_t()> clock_;
    FolderPicker folderPicker_;
    Notice notice_;
    std::function<std::string()> defaultFolder_;

    QLineEdit* caption_ = nullptr;
    QCheckBox* appendTimestamp_ = nullptr;
    QLineEdit* maxFileSize_ = nullptr;
    QCheckBox* multiFile_ = nullptr;
    QLabel* fileName_ = nullptr;
    QLabel* folder_ = nullptr;
    QCheckBox* doNotAskAgain_ = nullptr;
};
