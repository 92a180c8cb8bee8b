#include "app/kv_app.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

#include "app/automation_service.h"
#include "app/capture_controller.h"
#include "app/frame_automation.h"
#include "app/main_frame.h"
#include "app/tool_commands.h"
#include "capture/document.h"
#include "capture/record_file_io.h"
#include "capture/staged_file.h"
#include "device/sim/scenarios.h"
#include "graph/view/dockable_graph.h"
#include "graph/view/graph_view.h"
#include "list/log_view.h"
#include "list/packet_find_dlg.h"
#include "list/packet_search.h"
#include "prompts/qt_prompts.h"
#include "settings/qt/qsettings_backend.h"
#include "tools/qt/export_dlg.h"

// The icons are compiled into this static library; a static library's resources must be
// registered explicitly, since nothing in it refers to them by symbol. (The registration macro
// declares a function and must stay outside any namespace.)
static void InitResources() {
    Q_INIT_RESOURCE(zoduz);
}

namespace {

constexpr const char* kRecentGroup = "Recent File List";

// The largest side of a screenshot's window, in pixels.
constexpr int kMaxScreenshotSide = 8192;
// Window and graph pane of a screenshot that shows a chosen part of the graph.
constexpr QSize kGraphScreenshotSize(1400, 1000);
constexpr int kGraphScreenshotPaneHeight = 540;
constexpr const char* kDefaultVirtualScenario = "mixed";

// Takes "NAME A B" (two integers) out of the words; false with an error when the values are
// missing or not integers.
bool TakeTimePair(QStringList& words, const char* name,
                  std::optional<std::pair<qint64, qint64>>& pair, QString& error) {
    const int at = words.indexOf(QLatin1String(name));
    if (at < 0) {
        return true;
    }
    bool firstOk = false;
    bool secondOk = false;
    const qint64 first = words.value(at + 1).toLongLong(&firstOk);
    const qint64 second = words.value(at + 2).toLongLong(&secondOk);
    if (!firstOk || !secondOk) {
        error = QStringLiteral("%1 needs two times in microseconds").arg(QLatin1String(name));
        return false;
    }
    words.erase(words.begin() + at, words.begin() + at + 3);
    pair = std::make_pair(first, second);
    return true;
}

void PrintError(const QString& text) {
    std::fprintf(stderr, "zoduz: %s\n", text.toLocal8Bit().constData());
}

// The prompts of a screenshot, which nobody is there to answer: a warning goes to stderr on
// one line, a notice as it is; every question is cancelled and no chooser or dialog opens.
class UnattendedPrompts : public Prompts {
  public:
    SaveChoice AskSaveChanges(QWidget*, const QString&, const QString&) override {
        return SaveChoice::kCancel;
    }
    bool Confirm(QWidget*, const QString&, const QString&) override { return false; }
    void ShowWarning(QWidget*, const QString&, const QString& text) override {
        PrintError(text.simplified());
    }
    void ShowModelessWarning(QWidget*, const QString&, const QString& text) override {
        PrintError(text);
    }
    void ShowNotice(QWidget*, const QString&, const QString& text) override { PrintError(text); }
    QString ChooseSaveFile(QWidget*, const FileChoice&) override { return {}; }
    QString ChooseOpenFile(QWidget*, const FileChoice&) override { return {}; }
    QString ChooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    int RunDialog(QDialog& dialog) override {
        dialog.reject();
        return dialog.result();
    }
};

// The find text with "Enable Text" on, then Find Next from the current selection.
void StartFind(CPacketSearch& search, const QString& text) {
    FindCriteria& criteria = search.FindDialogCriteria();
    criteria.text = text.toStdString();
    criteria.textEnabled = true;
    search.ApplyFindCriteria();
    search.FindNext(true);
}

// Draws the dialog as it opens over the window, centred on it, into the window's picture.
void DrawDialogOver(QImage& image, QWidget& dialog) {
    dialog.setAttribute(Qt::WA_DontShowOnScreen, true);
    dialog.show();
    QCoreApplication::processEvents();
    const QImage picture = dialog.grab().toImage();
    QPainter painter(&image);
    const QPoint corner((image.width() - picture.width()) / 2,
                        (image.height() - picture.height()) / 2);
    painter.fillRect(QRect(corner + QPoint(4, 4), picture.size()), QColor(0, 0, 0, 60));
    painter.drawImage(corner, picture);
    painter.setPen(QColor(90, 90, 90));
    painter.drawRect(QRect(corner, picture.size()).adjusted(0, 0, -1, -1));
}

}  // namespace

std::optional<AppCommandLine> ParseAppCommandLine(const QStringList& arguments, QString& error) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("USB Type-C power analyzer Zoduz"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Render the main window off-screen to the PNG file and exit."),
        QStringLiteral("OUT.png"));
    parser.addOption(screenshot);
    const QCommandLineOption virtualAnalyzer(
        QStringLiteral("virtual"),
        QStringLiteral("Connect the virtual analyzer, playing SCENARIO (default mixed) when the "
                       "next argument names one."));
    parser.addOption(virtualAnalyzer);
    const QCommandLineOption run(QStringLiteral("run"),
                                 QStringLiteral("Start a capture once the analyzer is connected."));
    parser.addOption(run);
    // The scenario after --virtual is optional, which the parser cannot express: a following
    // argument that names a scenario is taken out here.
    QStringList words = arguments;
    QString scenario = QString::fromLatin1(kDefaultVirtualScenario);
    for (int i = 0; i + 1 < words.size(); ++i) {
        if (words[i] == QLatin1String("--virtual") &&
            FindScenario(words[i + 1].toStdString()) != nullptr) {
            scenario = words.takeAt(i + 1);
        }
    }
    std::optional<std::pair<qint64, qint64>> graphRange;
    std::optional<std::pair<qint64, qint64>> graphMarkers;
    if (!TakeTimePair(words, "--graph-range", graphRange, error) ||
        !TakeTimePair(words, "--graph-markers", graphMarkers, error)) {
        return std::nullopt;
    }
    if (graphRange && graphRange->second <= graphRange->first) {
        error = QStringLiteral("--graph-range needs FROM before TO");
        return std::nullopt;
    }
    const QCommandLineOption find(
        QStringLiteral("find"),
        QStringLiteral("Start with TEXT as the find text and select its first match."),
        QStringLiteral("TEXT"));
    parser.addOption(find);
    const QCommandLineOption filterDialog(
        QStringLiteral("filter-dialog"),
        QStringLiteral("With --screenshot: show the display filter dialog in the picture."));
    parser.addOption(filterDialog);
    const QCommandLineOption exportDialog(
        QStringLiteral("export-dialog"),
        QStringLiteral("With --screenshot: show the export dialog in the picture."));
    parser.addOption(exportDialog);
    const QCommandLineOption checksPanes(
        QStringLiteral("checks"),
        QStringLiteral("With --screenshot: show the Checks and Contracts panes in the picture."));
    parser.addOption(checksPanes);
    // Taken out of the words above; named here for the usage text.
    parser.addOption(QCommandLineOption(
        QStringLiteral("graph-range"),
        QStringLiteral("With --screenshot: show graph time FROM to TO (microseconds)."),
        QStringLiteral("FROM TO")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("graph-markers"),
        QStringLiteral("With --screenshot: place the graph's markers O and X at these times."),
        QStringLiteral("O X")));
    const QCommandLineOption size(
        QStringLiteral("size"),
        QStringLiteral("With --screenshot: the window size of the picture (default 1200x700)."),
        QStringLiteral("WxH"));
    parser.addOption(size);
    const QCommandLineOption wait(
        QStringLiteral("wait"),
        QStringLiteral("With --screenshot and --run: record this many seconds (0.1-600, "
                       "default 3.5) before the picture is taken."),
        QStringLiteral("SECONDS"));
    parser.addOption(wait);
    const QCommandLineOption help = parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Record file to open."),
                                 QStringLiteral("[FILE]"));
    if (!parser.parse(words)) {
        error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        AppCommandLine usage;
        usage.helpText = parser.helpText();
        return usage;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        error = QStringLiteral("only one record file can be opened");
        return std::nullopt;
    }
    AppCommandLine commandLine;
    commandLine.recordFile = files.value(0);
    commandLine.screenshotPath = parser.value(screenshot);
    commandLine.virtualScenario = parser.isSet(virtualAnalyzer) ? scenario : QString();
    commandLine.run = parser.isSet(run);
    if (parser.isSet(screenshot) && commandLine.screenshotPath.isEmpty()) {
        error = QStringLiteral("--screenshot needs an output file");
        return std::nullopt;
    }
    commandLine.findText = parser.value(find);
    if (parser.isSet(find) && commandLine.findText.isEmpty()) {
        error = QStringLiteral("--find needs a text");
        return std::nullopt;
    }
    if (parser.isSet(filterDialog) && parser.isSet(exportDialog)) {
        error = QStringLiteral("--filter-dialog and --export-dialog exclude each other");
        return std::nullopt;
    }
    if ((parser.isSet(filterDialog) || parser.isSet(exportDialog)) &&
        commandLine.screenshotPath.isEmpty()) {
        error = QStringLiteral("--filter-dialog and --export-dialog need --screenshot");
        return std::nullopt;
    }
    commandLine.checksPanes = parser.isSet(checksPanes);
    if (commandLine.checksPanes && commandLine.screenshotPath.isEmpty()) {
        error = QStringLiteral("--checks needs --screenshot");
        return std::nullopt;
    }
    if (parser.isSet(filterDialog)) {
        commandLine.dialog = ScreenshotDialog::kFilter;
    } else if (parser.isSet(exportDialog)) {
        commandLine.dialog = ScreenshotDialog::kExport;
    }
    if (parser.isSet(size)) {
        const QStringList parts = parser.value(size).split(QLatin1Char('x'));
        bool widthOk = false;
        bool heightOk = false;
        const int width = parts.value(0).toInt(&widthOk);
        const int height = parts.value(1).toInt(&heightOk);
        if (parts.size() != 2 || !widthOk || !heightOk || width < 200 || height < 200 ||
            width > kMaxScreenshotSide || height > kMaxScreenshotSide) {
            error =
                QStringLiteral("--size needs WIDTHxHEIGHT, each 200-%1").arg(kMaxScreenshotSide);
            return std::nullopt;
        }
        commandLine.windowSize = QSize(width, height);
    }
    if (parser.isSet(wait)) {
        bool ok = false;
        const double seconds = parser.value(wait).toDouble(&ok);
        if (!ok || !(seconds >= 0.1 && seconds <= 600)) {
            error = QStringLiteral("--wait needs 0.1 to 600 seconds");
            return std::nullopt;
        }
        commandLine.captureWaitMs = static_cast<int>(seconds * 1000);
    }
    if ((parser.isSet(size) || parser.isSet(wait)) && commandLine.screenshotPath.isEmpty()) {
        error = QStringLiteral("--size and --wait need --screenshot");
        return std::nullopt;
    }
    commandLine.graphRange = graphRange;
    commandLine.graphMarkers = graphMarkers;
    if ((graphRange || graphMarkers) && commandLine.screenshotPath.isEmpty()) {
        error = QStringLiteral("--graph-range and --graph-markers need --screenshot");
        return std::nullopt;
    }
    return commandLine;
}

CKVApp::CKVApp(int& argc, char** argv)
    : QApplication(argc, argv), document_(std::make_unique<CKVDoc>()) {
    InitResources();
    ApplyIdentity(*this);
}

void CKVApp::ApplyIdentity(QGuiApplication& application) {
    application.setOrganizationName(QString::fromLatin1(kSettingsOrganisation));
    application.setApplicationName(QString::fromLatin1(kSettingsApplication));
    // No display name: the window system would append it to every window title, and the main
    // window's title already ends in the application's title.
    // Ties the windows to the installed desktop entry (its icon and name in the task bar).
    application.setDesktopFileName(QStringLiteral("com.dazerav.Zoduz"));
    application.setWindowIcon(QIcon(QStringLiteral(":/zoduz/icons/zoduz.svg")));
}

CKVApp::~CKVApp() = default;

int CKVApp::Run() {
    QString error;
    const std::optional<AppCommandLine> commandLine = ParseAppCommandLine(arguments(), error);
    if (!commandLine) {
        PrintError(error);
        return 1;
    }
    if (!commandLine->helpText.isEmpty()) {
        std::fputs(commandLine->helpText.toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!commandLine->recordFile.isEmpty()) {
        switch (RecordFileStatus(QFile::encodeName(commandLine->recordFile).toStdString()).kind) {
            case FileResult::kOk:
                break;
            case FileResult::kNotRegularFile:
                PrintError(QStringLiteral("%1 is not a regular file").arg(commandLine->recordFile));
                return 1;
            default:
                PrintError(QStringLiteral("cannot read %1").arg(commandLine->recordFile));
                return 1;
        }
    }
    if (!commandLine->screenshotPath.isEmpty() && !commandLine->recordFile.isEmpty() &&
        SameFile(QFile::encodeName(commandLine->screenshotPath).toStdString(),
                 QFile::encodeName(commandLine->recordFile).toStdString())) {
        PrintError(QStringLiteral("the screenshot %1 would replace the file it shows")
                       .arg(commandLine->screenshotPath));
        return 1;
    }
    return commandLine->screenshotPath.isEmpty() ? RunInteractive(*commandLine)
                                                 : RunScreenshot(*commandLine);
}

bool CKVApp::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        PrintError(QStringLiteral("out of memory: the window closes"));
        exit(1);
    }
    return false;
}

int CKVApp::RunInteractive(const AppCommandLine& commandLine) {
    QSettingsBackend backend;
    LoadSettings(backend, settings_);
    LoadRecentFiles();
    document_->SetLimits(settings_.recordMaxPDPacketCount, settings_.recordMaxVbusInfoCount,
                         settings_.recordPDPacketAutoRemove, settings_.recordVbusInfoAutoRemove);
    int status = 0;
    {
        QtPrompts prompts;
        CMainFrame frame(*document_, settings_, recentFiles_, prompts);
        // Other programs drive captures over the session bus; without it the window runs on.
        CFrameAutomation automationTarget(frame);
        AutomationDispatcher dispatcher(automationTarget);
        CAutomationService automation(dispatcher, QDBusConnection::sessionBus());
        const QString automationProblem =
            CAutomationService::RegistrationText(automation.Register());
        if (!automationProblem.isEmpty()) {
            PrintError(automationProblem);
        }
        connect(frame.Capture(), &CCaptureController::vbusPresenceChanged, &automation,
                &CAutomationService::SendVbusChange);
        StartWindow(frame, commandLine);
        status = exec();
        // However the event loop ended, the window's layout goes into the settings.
        frame.StoreLayout();
    }
    SaveRecentFiles();
    if (!SaveSettings(backend, settings_)) {
        PrintError(QStringLiteral("the settings could not be written to %1")
                       .arg(QString::fromStdString(backend.Location())));
    }
    return status;
}

int CKVApp::RunScreenshot(const AppCommandLine& commandLine) {
    // Documentation pictures neither depend on nor change the user's settings: they show the
    // first-run layout of the default window.
    settings_.firstRunLayout = true;
    settings_.checksPaneShown = settings_.contractsPaneShown = commandLine.checksPanes;
    // A live capture records into a scratch folder that goes away with the window.
    QTemporaryDir scratch;
    settings_.recordFileFolder = scratch.path().toStdString();
    UnattendedPrompts prompts;
    CMainFrame frame(*document_, settings_, recentFiles_, prompts);
    // The picture has the default window size whatever the size of the (off-screen) screen the
    // window would be fitted to.
    frame.resize(commandLine.windowSize.value_or(
        QSize(settings_.layout.windowWidth, settings_.layout.windowHeight)));
    // An error opening the file ends the run; a damaged file is pictured with what decoded.
    if (!commandLine.recordFile.isEmpty() && !frame.OpenDocument(commandLine.recordFile)) {
        return 1;
    }
    frame.WaitForDecoding();
    if (StartAnalyzer(frame, commandLine) && commandLine.run) {
        // The window is taken while the capture runs.
        frame.show();
        QEventLoop wait;
        QTimer::singleShot(commandLine.captureWaitMs, &wait, &QEventLoop::quit);
        wait.exec();
    }
    if (commandLine.graphRange || commandLine.graphMarkers) {
        // A picture of the graph gets a window and a pane large enough to read it. The graph
        // takes its size when the window is shown; the window of time follows it.
        frame.resize(commandLine.windowSize.value_or(kGraphScreenshotSize));
        frame.setAttribute(Qt::WA_DontShowOnScreen, platformName() != QLatin1String("offscreen"));
        frame.show();
        processEvents();
        // After the first show, which lays the window out as on a first run.
        frame.resizeDocks({frame.GraphPane()}, {kGraphScreenshotPaneHeight}, Qt::Vertical);
        processEvents();
        CGraphView& graph = *frame.GraphView();
        if (commandLine.graphRange) {
            graph.ShowTimeRange(commandLine.graphRange->first, commandLine.graphRange->second);
        }
        if (commandLine.graphMarkers) {
            graph.PlaceMarkers(commandLine.graphMarkers->first, commandLine.graphMarkers->second);
        }
    }
    if (!RenderScreenshot(frame, commandLine.screenshotPath, commandLine.findText,
                          commandLine.dialog)) {
        PrintError(
            QStringLiteral("cannot write %1: %2")
                .arg(commandLine.screenshotPath, QString::fromLocal8Bit(std::strerror(errno))));
        return 1;
    }
    return 0;
}

void CKVApp::StartWindow(CMainFrame& frame, const AppCommandLine& commandLine) {
    if (!commandLine.recordFile.isEmpty()) {
        frame.OpenDocument(commandLine.recordFile);
    }
    StartAnalyzer(frame, commandLine);
    frame.show();
    if (!commandLine.findText.isEmpty()) {
        frame.WaitForDecoding();  // the first match is looked for in the whole file
        StartFind(*frame.PacketSearch(), commandLine.findText);
    }
}

bool CKVApp::StartAnalyzer(CMainFrame& frame, const AppCommandLine& commandLine) {
    if (commandLine.virtualScenario.isEmpty()) {
        return false;
    }
    if (commandLine.run) {
        frame.Capture()->RunWhenConnected();
    }
    frame.Capture()->ConnectVirtualAnalyzer(commandLine.virtualScenario);
    return true;
}

bool CKVApp::RenderScreenshot(CMainFrame& frame, const QString& path, const QString& findText,
                              ScreenshotDialog dialog) {
    frame.setAttribute(Qt::WA_DontShowOnScreen, platformName() != QLatin1String("offscreen"));
    frame.show();
    processEvents();
    // A live capture is pictured as it follows its newest rows; a file at its first message.
    if (frame.LogView()->RowCount() > 0 && !frame.Capture()->Control().Capturing()) {
        frame.LogView()->SelectRow(0);
    }
    if (!findText.isEmpty()) {
        StartFind(*frame.PacketSearch(), findText);
    }
    processEvents();
    QImage image = frame.grab().toImage();
    if (dialog == ScreenshotDialog::kFilter) {
        CPacketSearch& search = *frame.PacketSearch();
        const PacketStatistics statistics = search.StatisticsSnapshot();
        CPacketFindDlg filter(search.FilterDialogCriteria(), &statistics, &frame);
        DrawDialogOver(image, filter);
    } else if (dialog == ScreenshotDialog::kExport) {
        CExportDlg exporter(frame.UserPrompts(), &frame);
        frame.Tools()->SetupExport(exporter);
        exporter.Initialise(false);
        DrawDialogOver(image, exporter);
    }
    // Encoded in memory first, so that a failed write tells its cause; a picture that cannot be
    // written whole leaves an existing file as it was.
    QByteArray png;
    QBuffer buffer(&png);
    if (!image.save(&buffer, "PNG")) {
        errno = ENOMEM;
        return false;
    }
    const int cause = WriteStagedFile(QFile::encodeName(path).toStdString(),
                                      std::string_view(png.constData(), png.size()));
    errno = cause;
    return cause == 0;
}

void CKVApp::LoadRecentFiles() {
    QSettings store;
    store.beginGroup(QString::fromLatin1(kRecentGroup));
    QStringList entries;
    for (int i = 1; i <= CRecentFileList::kMaxEntries; ++i) {
        const QString entry = store.value(QStringLiteral("File%1").arg(i)).toString();
        if (!entry.isEmpty()) {
            entries.append(entry);
        }
    }
    recentFiles_.SetEntries(entries);
}

void CKVApp::SaveRecentFiles() {
    QSettings store;
    store.beginGroup(QString::fromLatin1(kRecentGroup));
    store.remove(QString());
    const QStringList& entries = recentFiles_.Entries();
    for (int i = 0; i < entries.size(); ++i) {
        store.setValue(QStringLiteral("File%1").arg(i + 1), entries[i]);
    }
}
