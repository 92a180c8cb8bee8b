// "Export": writes a time range of the capture document as CSV (samples, PD messages or both)
// or as a slice of its record file, on a worker thread, with the progress shown once a second.
// Opened modally by File > Export, or modelessly by the automation request, which starts the
// export at once with the default choices and closes without message boxes.
#pragma once

#include <QDialog>
#include <array>
#include <vector>

#include "capture/document.h"
#include "list/core/column_info.h"
#include "tools/export_controls.h"
#include "tools/export_markers.h"
#include "tools/export_options.h"
#include "tools/export_range.h"
#include "tools/tool_job.h"

class CJobRunner;
class Prompts;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

inline constexpr const char* kExportingText = "Exporting... %1%";
inline constexpr const char* kExportCompletedText = "Export Completed.";
inline constexpr const char* kExportAbortedText = "Export Aborted.";

// What the export reads of the application besides the document.
struct ExportSettings {
    ColumnLayout columns = DefaultColumnLayout();
    bool reverseCurrent = false;
    GraphMarkerTimes graphMarkers;
};

class CExportDlg : public QDialog {
    Q_OBJECT

  public:
    // prompts asks for the file and tells how the export ended; it outlives the dialog.
    explicit CExportDlg(Prompts& prompts, QWidget* parent = nullptr);
    ~CExportDlg() override;

    // Derives the file name and fills the markers; called before every opening. The document
    // must outlive the dialog.
    void Setup(const CKVDoc& document, const ExportSettings& settings);
    // Initialises the controls and runs the dialog modally through the prompts.
    int RunModal();
    // Initialises the controls for automatic use, shows the dialog without blocking and starts
    // the export when the range is valid.
    void RunAutomatic();

    // State for the opener and tests.
    const QString& FileName() const { return fileName_; }
    const std::vector<ExportMarker>& Markers() const { return markers_; }
    ExportItems Items() const { return items_; }
    ExportType Type() const { return type_; }
    bool Exporting() const;
    CJobRunner* Runner() const { return runner_; }
    // Initialises the controls as the dialog opens (RunModal and RunAutomatic call it).
    void Initialise(bool automatic);

    void reject() override;

  private:
    void BuildControls();
    void StoreControls();
    ExportRange CheckRange(bool writeBack);
    void ApplyControlState();
    void OnRadioClicked();
    void ChooseFile();
    void StartExport();
    void OnTick(int percent);
    void OnFinished(ToolResult result);

    Prompts& prompts_;
    const CKVDoc* document_ = nullptr;
    ExportSettings settings_;
    QString fileName_;
    std::vector<ExportMarker> markers_;
    ValueOptions values_ = kAllValueOptions;
    bool visibleColumnsOnly_ = true;
    ExportRangeChoice range_;
    ExportType type_ = ExportType::kCsv;
    ExportItems items_ = ExportItems::kPdMessages;
    bool automatic_ = false;
    CJobRunner* runner_ = nullptr;

    QLabel* fileLabel_ = nullptr;
    QPushButton* fileButton_ = nullptr;
    std::array<QCheckBox*, kValueOptionCount> valueBoxes_{};
    QCheckBox* visibleColumnsBox_ = nullptr;
    QButtonGroup* fromGroup_ = nullptr;
    QButtonGroup* toGroup_ = nullptr;
    QButtonGroup* typeGroup_ = nullptr;
    QButtonGroup* itemsGroup_ = nullptr;
    QLineEdit* fromEdit_ = nullptr;
    QLineEdit* toEdit_ = nullptr;
    QComboBox* fromCombo_ = nullptr;
    QComboBox* toCombo_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* abortButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};
