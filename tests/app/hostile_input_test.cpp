// The main window against settings and files it must not trust: stored window sizes larger
// than the screen, and special files named as record files. Run on off-screen screens of known
// sizes (ZODUZ_EXPECTED_SCREEN gives the available size in logical pixels, "WxH").
#include <sys/stat.h>

#include <QScreen>
#include <QSplitter>
#include <QTemporaryDir>
#include <QtTest>
#include <climits>

#include "app/main_frame.h"
#include "app/recent_files.h"
#include "capture/document.h"
#include "scripted_prompts.h"
#include "settings/settings_store.h"

class HostileInputTest : public QObject {
    Q_OBJECT

  private slots:
    void screenHasTheConfiguredSize();
    void storedSizesAreFittedToTheScreen_data();
    void storedSizesAreFittedToTheScreen();
    void storedSplitterSizesStayInsideTheWindow_data();
    void storedSplitterSizesStayInsideTheWindow();
    void specialFilesAreReportedWithoutBlocking();
};

void HostileInputTest::screenHasTheConfiguredSize() {
    const QStringList expected =
        qEnvironmentVariable("ZODUZ_EXPECTED_SCREEN").split(QLatin1Char('x'));
    QCOMPARE(expected.size(), 2);
    QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().size(),
             QSize(expected[0].toInt(), expected[1].toInt()));
}

void HostileInputTest::storedSizesAreFittedToTheScreen_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("default") << 1200 << 700;
    QTest::newRow("larger than any screen") << 5000 << 4000;
    QTest::newRow("absurd") << INT_MAX << INT_MAX;
    QTest::newRow("wide") << INT_MAX << 300;
    QTest::newRow("too small") << 10 << -5;
}

void HostileInputTest::storedSizesAreFittedToTheScreen() {
    QFETCH(int, width);
    QFETCH(int, height);
    const QSize available = QGuiApplication::primaryScreen()->availableGeometry().size();
    CKVDoc document;
    SettingsStore settings;
    settings.layout.windowWidth = width;
    settings.layout.windowHeight = height;
    CRecentFileList recent;
    ScriptedPrompts prompts;
    CMainFrame frame(document, settings, recent, prompts);
    const QSize expected(std::min(std::max(width, 200), available.width()),
                         std::min(std::max(height, 200), available.height()));
    QCOMPARE(frame.size(), expected);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QVERIFY(frame.width() <= available.width());
    QVERIFY(frame.height() <= available.height());
    // What goes back into the settings is the fitted size, not the stored one.
    frame.StoreLayout();
    QCOMPARE(settings.layout.windowWidth, frame.width());
    QCOMPARE(settings.layout.windowHeight, frame.height());
}

void HostileInputTest::storedSplitterSizesStayInsideTheWindow_data() {
    QTest::addColumn<int>("listHeight");
    QTest::addColumn<int>("fieldTableWidth");
    QTest::newRow("absurd") << INT_MAX << INT_MAX;
    QTest::newRow("negative") << INT_MIN << -1;
}

void HostileInputTest::storedSplitterSizesStayInsideTheWindow() {
    QFETCH(int, listHeight);
    QFETCH(int, fieldTableWidth);
    CKVDoc document;
    SettingsStore settings;
    settings.layout.listRowHeight = listHeight;
    settings.layout.fieldTableWidth = fieldTableWidth;
    CRecentFileList recent;
    ScriptedPrompts prompts;
    CMainFrame frame(document, settings, recent, prompts);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    for (const char* name : {"mainSplitter", "detailSplitter"}) {
        const auto* splitter = frame.findChild<QSplitter*>(QLatin1String(name));
        QVERIFY(splitter != nullptr);
        const QList<int> sizes = splitter->sizes();
        QCOMPARE(sizes.size(), 2);
        // Both children stay visible and together fit the window.
        QVERIFY2(sizes[0] > 0 && sizes[1] > 0, name);
        const int extent = splitter->orientation() == Qt::Vertical ? frame.height() : frame.width();
        QVERIFY2(sizes[0] + sizes[1] <= extent, name);
    }
}

void HostileInputTest::specialFilesAreReportedWithoutBlocking() {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.zaz"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    CKVDoc document;
    SettingsStore settings;
    CRecentFileList recent;
    ScriptedPrompts prompts;
    CMainFrame frame(document, settings, recent, prompts);
    for (const QString& special : {fifo, dir.path(), QStringLiteral("/dev/zero")}) {
        prompts.asked.clear();
        recent.Add(special);
        QVERIFY(!frame.OpenDocument(special));
        const QStringList errors = prompts.Texts(ScriptedPrompts::Kind::kWarning);
        QCOMPARE(errors.size(), 1);
        // The window names the cause: not "cannot open", but not a regular file.
        QCOMPARE(errors[0],
                 QStringLiteral("The record file is not a regular file.\n\n\"%1\"").arg(special));
        QVERIFY(!recent.Entries().contains(special));
        QVERIFY(frame.DocumentPath().isEmpty());
    }
}

QTEST_MAIN(HostileInputTest)
#include "hostile_input_test.moc"
