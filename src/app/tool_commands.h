// The File menu's Export and Stitch Record Files commands, and the automatic export that the
// automation interface requests. Both commands are enabled like Save: no live recording and a
// document with a record file.
#pragma once

#include <QObject>

class CExportDlg;
class CKVDoc;
class CKVLogView;
class Prompts;
class QAction;
class QWidget;
struct SettingsStore;

class CToolCommands : public QObject {
    Q_OBJECT

  public:
    // The document, the settings, the list and the prompts outlive the commands; window
    // parents the dialogs, which run through prompts.
    CToolCommands(QWidget& window, CKVDoc& document, SettingsStore& settings, CKVLogView& logView,
                  Prompts& prompts);

    QAction* ExportAction() const { return exportAction_; }
    QAction* StitchAction() const { return stitchAction_; }

    void ShowExport();
    void ShowStitch();
    // Opens the export dialog without blocking and starts exporting the whole capture with the
    // default choices; it closes itself, without message boxes, when done. One dialog object
    // serves every request and lives as long as the window; a request while it still exports
    // is ignored.
    void ExportAutomatic();
    CExportDlg* AutomaticExport() const { return automaticExport_; }
    // Gives the dialog the document, the columns as the list shows them and the markers, as
    // the Export command does before it opens.
    void SetupExport(CExportDlg& dialog);

  private:
    QWidget& window_;
    CKVDoc& document_;
    SettingsStore& settings_;
    CKVLogView& logView_;
    Prompts& prompts_;
    QAction* exportAction_ = nullptr;
    QAction* stitchAction_ = nullptr;
    CExportDlg* automaticExport_ = nullptr;
};
