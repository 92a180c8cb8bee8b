// "Record File Settings": caption, timestamp, size limit, multi-file, folder and the
// do-not-ask switch of record files. The dialog edits a RecordFileForm that outlives it, so the
// values are kept between uses; OK stores them into the settings.
#pragma once

#include <QDialog>
#include <ctime>
#include <functional>

#include "settings/record_file_form.h"

class Prompts;
class QCheckBox;
class QLabel;
class QLineEdit;
struct SettingsStore;

class CCaptureFilenameDlg : public QDialog {
    Q_OBJECT

  public:
    // prompts chooses the folder and tells why OK was refused; it outlives the dialog.
    CCaptureFilenameDlg(RecordFileForm& form, SettingsStore& settings, Prompts& prompts,
                        QWidget* parent = nullptr);

    // Replaceable for tests: the clock and the default folder.
    void SetClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }
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
    Prompts& prompts_;
    std::function<std::time_t()> clock_;
    std::function<std::string()> defaultFolder_;

    QLineEdit* caption_ = nullptr;
    QCheckBox* appendTimestamp_ = nullptr;
    QLineEdit* maxFileSize_ = nullptr;
    QCheckBox* multiFile_ = nullptr;
    QLabel* fileName_ = nullptr;
    QLabel* folder_ = nullptr;
    QCheckBox* doNotAskAgain_ = nullptr;
};
