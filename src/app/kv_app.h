// CKVApp, the application object: loads the settings before the main window exists, opens a
// record file named on the command line, and saves the settings when the application exits.
// "zoduz --screenshot OUT.png [FILE]" renders the window off-screen to a PNG instead;
// "zoduz --virtual [SCENARIO] [--run]" connects the in-process analyzer (and starts capturing).
// --find TEXT starts with a find text and its first match selected, --filter-dialog puts the
// display filter dialog into the picture; --graph-range FROM TO shows that window of graph time
// (µs) in the graph, --graph-markers O X places its markers.
#pragma once

#include <QApplication>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

#include "app/recent_files.h"
#include "settings/settings_store.h"

class CKVDoc;
class CMainFrame;
class CPacketSearch;
class SettingsBackend;

// A dialog a screenshot shows over the window, as it opens.
enum class ScreenshotDialog { kNone, kFilter, kExport };

// What the command line asks for.
struct AppCommandLine {
    QString recordFile;       // "" when none is named
    QString screenshotPath;   // "" for the interactive application
    QString virtualScenario;  // the virtual analyzer's scenario; "" for none
    bool run = false;         // start a capture once the analyzer is connected
    QString findText;         // "" for none; else the find text, its first match selected
    ScreenshotDialog dialog = ScreenshotDialog::kNone;  // shown over the screenshot
    bool checksPanes = false;  // the screenshot shows the Checks and Contracts panes
    // With --screenshot: the graph shows this window of graph time (µs), and its markers O
    // and X stand at these graph times.
    std::optional<std::pair<qint64, qint64>> graphRange;
    std::optional<std::pair<qint64, qint64>> graphMarkers;
    // With --screenshot: the window size of the picture (--size WxH; none: the default window)
    // and how long a live capture records before it is taken (--wait SECONDS).
    std::optional<QSize> windowSize;
    int captureWaitMs = 3500;
    // --help (-h): the usage text, printed on stdout instead of starting; "" otherwise.
    QString helpText;
};

// Parses the arguments; std::nullopt (with a one-line message in error) when they are wrong.
std::optional<AppCommandLine> ParseAppCommandLine(const QStringList& arguments, QString& error);

class CKVApp : public QApplication {
    Q_OBJECT

  public:
    CKVApp(int& argc, char** argv);
    ~CKVApp() override;

    // Runs the application to its end; the process exit status.
    int Run();
    // Delivers events; memory that runs out while one is handled ends the event loop with
    // status 1 (the window closes the way it does on Exit, record files stay whole).
    bool notify(QObject* receiver, QEvent* event) override;
    // Organisation, application name (the settings' keys) and window icon.
    static void ApplyIdentity(QGuiApplication& application);

    // Renders the window with the packet of row 0 selected (or, with a find text, its first
    // match after row 0) into a PNG, with the display filter or export dialog over it when
    // asked; false when writing the file failed (errno tells why).
    static bool RenderScreenshot(CMainFrame& frame, const QString& path,
                                 const QString& findText = {},
                                 ScreenshotDialog dialog = ScreenshotDialog::kNone);

    // Opens the command line's record file (its first megabyte decoded) and connects its
    // analyzer, then shows the window; the rest of a large file decodes once the event loop
    // runs.
    static void StartWindow(CMainFrame& frame, const AppCommandLine& commandLine);

  private:
    int RunInteractive(const AppCommandLine& commandLine);
    int RunScreenshot(const AppCommandLine& commandLine);
    // Connects the virtual analyzer the command line names; false when it names none.
    static bool StartAnalyzer(CMainFrame& frame, const AppCommandLine& commandLine);
    void LoadRecentFiles();
    void SaveRecentFiles();

    SettingsStore settings_;
    CRecentFileList recentFiles_;
    std::unique_ptr<CKVDoc> document_;
};
