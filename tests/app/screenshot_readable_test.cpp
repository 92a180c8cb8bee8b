// zoduz --screenshot of a synthesized EPR capture at its default window size shows the graph
// at a readable size: the voltage band's background and the PD packet strip cover enough of
// the picture to read the traces and the bars.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Pixels of exactly this colour.
int CountColour(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            count += (line[x] & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

bool Run(const QString& program, const QStringList& arguments, const QString& home) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

}  // namespace

class ScreenshotReadableTest : public QObject {
    Q_OBJECT

  private slots:
    void theDefaultScreenshotShowsTheVoltageBandAndThePdStrip() {
        QTemporaryDir dir;
        const QString capture = dir.filePath(QStringLiteral("epr.zaz"));
        const QString picture = dir.filePath(QStringLiteral("epr.png"));
        QVERIFY(
            Run(QStringLiteral(ZODUZ_CLI),
                {QStringLiteral("simulate"), QStringLiteral("epr"), QStringLiteral("-o"), capture},
                dir.path()));
        QVERIFY(Run(QStringLiteral(ZODUZ_APP), {QStringLiteral("--screenshot"), picture, capture},
                    dir.path()));
        const QImage image = QImage(picture).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.size(), QSize(1200, 700));
        // "ColorVolBG" (0, 50, 50) and "ColorPDBG" (30, 30, 30).
        const int voltageBand = CountColour(image, qRgb(0, 50, 50));
        const int pdStrip = CountColour(image, qRgb(30, 30, 30));
        QVERIFY2(voltageBand >= 20000, qPrintable(QString::number(voltageBand)));
        QVERIFY2(pdStrip >= 1000, qPrintable(QString::number(pdStrip)));
    }
};

QTEST_MAIN(ScreenshotReadableTest)
#include "screenshot_readable_test.moc"
