#include "app/tool_commands.h"

#include <QAction>

#include "capture/document.h"
#include "list/log_view.h"
#include "prompts/prompts.h"
#include "settings/settings_store.h"
#include "tools/qt/export_dlg.h"
#include "tools/qt/stitch_file_dlg.h"

CToolCommands::CToolCommands(QWidget& window, CKVDoc& document, SettingsStore& settings,
                             CKVLogView& logView, Prompts& prompts)
    : QObject(&window),
      window_(window),
      document_(document),
      settings_(settings),
      logView_(logView),
      prompts_(prompts),
      exportAction_(new QAction(this)),  // texts from the window's command table
      stitchAction_(new QAction(this)) {
    connect(exportAction_, &QAction::triggered, this, &CToolCommands::ShowExport);
    connect(stitchAction_, &QAction::triggered, this, &CToolCommands::ShowStitch);
}

// The export reads the column records as the list shows them now, the reverse-current setting
// and the graph markers where the graph shows them.
void CToolCommands::SetupExport(CExportDlg& dialog) {
    logView_.SaveColumnLayout();
    ExportSettings settings;
    settings.columns = settings_.columns;
    settings.reverseCurrent = settings_.vbusCurrDirReverse;
    settings.graphMarkers = CurrentGraphMarkers(document_);
    dialog.Setup(document_, settings);
}

void CToolCommands::ShowExport() {
    CExportDlg dialog(prompts_, &window_);
    SetupExport(dialog);
    dialog.RunModal();
}

void CToolCommands::ShowStitch() {
    CStitchFileDlg dialog(QString::fromStdString(settings_.recordFileFolder),
                          QString::fromStdString(document_.RecordFilePath()), prompts_, &window_);
    prompts_.RunDialog(dialog);
}

void CToolCommands::ExportAutomatic() {
    if (automaticExport_ == nullptr) {
        automaticExport_ = new CExportDlg(prompts_, &window_);
    }
    if (automaticExport_->Exporting()) {
        return;
    }
    SetupExport(*automaticExport_);
    automaticExport_->RunAutomatic();
}
