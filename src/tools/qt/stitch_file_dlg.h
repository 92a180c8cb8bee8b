// "Stitch Record Files": joins a numbered record file and the first k of its successors in the
// chosen folder into one record file, on a worker thread, with the progress shown once a
// second. The folder choice is not written back to the settings.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "tools/stitch_files.h"
#include "tools/tool_job.h"

class CJobRunner;
class Prompts;
class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

inline constexpr const char* kStitchingText = "Stitching... %1%";
inline constexpr const char* kStitchCompletedText = "Stitch Files Completed.";
inline constexpr const char* kStitchAbortedText = "Stitch Files Aborted.";

class CStitchFileDlg : public QDialog {
    Q_OBJECT

  public:
    // folder: the record folder setting; currentFile: the document's record file, preselected
    // as the base when it is listed. prompts asks for another folder and tells how the
    // stitching ended; it outlives the dialog.
    CStitchFileDlg(const QString& folder, const QString& currentFile, Prompts& prompts,
                   QWidget* parent = nullptr);
    ~CStitchFileDlg() override;

    QListWidget* BaseList() const { return baseList_; }
    QListWidget* StitchList() const { return stitchList_; }
    const QString& OutputPath() const { return outputPath_; }
    QPushButton* StartButton() const { return startButton_; }
    QPushButton* FolderButton() const { return folderButton_; }
    CJobRunner* Runner() const { return runner_; }
    QString StatusText() const;

    void reject() override;

  private:
    void FillBaseList();
    void OnBaseSelected();
    void FillStitchList();
    void OnStitchSelection();
    void ApplyControlState();
    void ChooseFolder();
    void StartStitching();
    void OnTick(int percent);
    void OnFinished(ToolResult result);

    QString folder_;
    QString currentFile_;
    QString basePath_;
    QString outputPath_;
    std::vector<StitchFile> files_;
    Prompts& prompts_;
    CJobRunner* runner_ = nullptr;
    bool waitCursor_ = false;

    QLabel* folderLabel_ = nullptr;
    QPushButton* folderButton_ = nullptr;
    QListWidget* baseList_ = nullptr;
    QListWidget* stitchList_ = nullptr;
    QCheckBox* showAllBase_ = nullptr;
    QCheckBox* showAllStitch_ = nullptr;
    QLabel* outputLabel_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};
