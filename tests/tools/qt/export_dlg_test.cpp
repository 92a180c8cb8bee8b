// The Export dialog: derived name, extension correction on radio clicks, markers, the range
// rules and control states, the run with its progress and completion texts, failure, and the
// automatic form.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "capture/document.h"
#include "list/simulated_capture.h"
#include "scripted_prompts.h"
#include "tools/qt/export_dlg.h"
#include "tools/qt/job_runner.h"

class ExportDlgTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void nameIsDerivedAndNumberedWhenTaken();
    void radioClicksCorrectTheExtension();
    void itemsDefaultToPdMessagesAndRadiosFollowTheRule();
    void markersOfTheDocumentAndGraphFillBothCombos();
    void fromPacketAtTheCountKeepsExportDisabled();
    void toPacketPastTheLastIsWrittenBackOnExport();
    void exportShowsProgressThenCompletesAndCloses();
    void pcapngExportHoldsTheMessagesOfTheRange();
    void failureSaysExportAbortedAndKeepsTheDialog();
    void fileChooserUsesTheTypeFilter();
    void noticesAndTheChooserReachThePromptsOverTheDialog();

  private:
    template <typename T>
    T* Child(CExportDlg& dialog, const char* name) {
        return dialog.findChild<T*>(QString::fromLatin1(name));
    }
    void Open(CExportDlg& dialog) {
        dialog.Setup(document_, ExportSettings{});
        dialog.Initialise(false);
    }
    QStringList Notices() const { return prompts_.Texts(ScriptedPrompts::Kind::kNotice); }

    QTemporaryDir dir_;
    QString record_;
    CKVDoc document_;
    ScriptedPrompts prompts_;
};

void ExportDlgTest::init() {
    prompts_ = ScriptedPrompts();
    QFile::remove(dir_.filePath(QStringLiteral("spr_export.csv")));
    if (record_.isEmpty()) {
        record_ = SimulateCapture(dir_, "spr");
        QVERIFY(!record_.isEmpty());
    }
    QVERIFY(document_.OpenRecordFile(record_.toStdString()));
}

void ExportDlgTest::nameIsDerivedAndNumberedWhenTaken() {
    CExportDlg dialog(prompts_);
    Open(dialog);
    QCOMPARE(dialog.FileName(), dir_.filePath(QStringLiteral("spr_export.csv")));
    QCOMPARE(Child<QLabel>(dialog, "fileName")->text(), dialog.FileName());
    QFile taken(dialog.FileName());
    QVERIFY(taken.open(QIODevice::WriteOnly));
    taken.close();
    Open(dialog);
    QCOMPARE(dialog.FileName(), dir_.filePath(QStringLiteral("spr_export (1).csv")));
}

void ExportDlgTest::radioClicksCorrectTheExtension() {
    CExportDlg dialog(prompts_);
    Open(dialog);
    Child<QRadioButton>(dialog, "type1")->click();
    QCOMPARE(dialog.Type(), ExportType::kZaz);
    QCOMPARE(dialog.FileName(), dir_.filePath(QStringLiteral("spr_export.zaz")));
    // ZAZ disables the items and options.
    QVERIFY(!Child<QRadioButton>(dialog, "items0")->isEnabled());
    QVERIFY(!Child<QCheckBox>(dialog, "value0")->isEnabled());
    Child<QRadioButton>(dialog, "type2")->click();
    QCOMPARE(dialog.Type(), ExportType::kPcapng);
    QCOMPARE(dialog.FileName(), dir_.filePath(QStringLiteral("spr_export.pcapng")));
    QVERIFY(!Child<QRadioButton>(dialog, "items0")->isEnabled());
    Child<QRadioButton>(dialog, "type0")->click();
    QCOMPARE(dialog.FileName(), dir_.filePath(QStringLiteral("spr_export.csv")));
}

void ExportDlgTest::itemsDefaultToPdMessagesAndRadiosFollowTheRule() {
    CExportDlg dialog(prompts_);
    Open(dialog);
    QCOMPARE(dialog.Items(), ExportItems::kPdMessages);
    QVERIFY(Child<QCheckBox>(dialog, "visibleColumnsOnly")->isEnabled());
    QVERIFY(!Child<QCheckBox>(dialog, "value0")->isEnabled());
    QVERIFY(Child<QCheckBox>(dialog, "value6")->isChecked());
    QVERIFY(!Child<QLineEdit>(dialog, "fromNumber")->isEnabled());
    QVERIFY(!Child<QComboBox>(dialog, "fromMarker")->isEnabled());
    QVERIFY(Child<QPushButton>(dialog, "export")->isEnabled());
    QVERIFY(!Child<QPushButton>(dialog, "abort")->isEnabled());
    Child<QRadioButton>(dialog, "items1")->click();
    QVERIFY(Child<QCheckBox>(dialog, "value0")->isEnabled());
    QVERIFY(!Child<QCheckBox>(dialog, "visibleColumnsOnly")->isEnabled());
    Child<QRadioButton>(dialog, "fromKind1")->click();
    QVERIFY(Child<QLineEdit>(dialog, "fromNumber")->isEnabled());
    Child<QRadioButton>(dialog, "toKind2")->click();
    QVERIFY(Child<QComboBox>(dialog, "toMarker")->isEnabled());
}

void ExportDlgTest::markersOfTheDocumentAndGraphFillBothCombos() {
    document_.SetMarkerA(document_.PacketAt(3));
    CExportDlg dialog(prompts_);
    ExportSettings settings;
    settings.graphMarkers = {-500, 1500};
    dialog.Setup(document_, settings);
    dialog.Initialise(false);
    QComboBox* from = Child<QComboBox>(dialog, "fromMarker");
    QComboBox* to = Child<QComboBox>(dialog, "toMarker");
    QCOMPARE(from->count(), 3);
    QCOMPARE(from->itemText(0), QStringLiteral("Marker O (- 0s   0ms 500us)"));
    QCOMPARE(from->itemText(1), QStringLiteral("Marker X (  0s   1ms 500us)"));
    QVERIFY(from->itemText(2).startsWith(QStringLiteral("Marker A (")));
    QCOMPARE(from->currentIndex(), 0);
    QCOMPARE(to->currentIndex(), 2);
}

void ExportDlgTest::fromPacketAtTheCountKeepsExportDisabled() {
    CExportDlg dialog(prompts_);
    Open(dialog);
    const QString count = QString::number(document_.PacketCount());
    Child<QRadioButton>(dialog, "fromKind1")->click();
    QLineEdit* from = Child<QLineEdit>(dialog, "fromNumber");
    from->clear();
    QTest::keyClicks(from, count);
    QVERIFY(!Child<QPushButton>(dialog, "export")->isEnabled());
    QTest::keyClick(from, Qt::Key_Backspace);  // a number below the count
    QVERIFY(Child<QPushButton>(dialog, "export")->isEnabled());
}

void ExportDlgTest::toPacketPastTheLastIsWrittenBackOnExport() {
    CExportDlg dialog(prompts_);
    Open(dialog);
    Child<QRadioButton>(dialog, "toKind1")->click();
    QLineEdit* to = Child<QLineEdit>(dialog, "toNumber");
    to->clear();
    QTest::keyClicks(to, QString::number(document_.PacketCount() + 4));
    QVERIFY(Child<QPushButton>(dialog, "export")->isEnabled());
    Child<QPushButton>(dialog, "export")->click();
    QCOMPARE(to->text(), QString::number(document_.PacketCount() - 1));
    dialog.Runner()->WaitAndPoll();
    QCOMPARE(Notices(), QStringList{kExportCompletedText});
}

void ExportDlgTest::exportShowsProgressThenCompletesAndCloses() {
    CExportDlg dialog(prompts_);
    Open(dialog);
    QStringList statuses;
    QLabel* status = Child<QLabel>(dialog, "status");
    connect(dialog.Runner(), &CJobRunner::Tick, this, [&] { statuses << status->text(); });
    QStringList notices;
    prompts_.onAsked = [&](const ScriptedPrompts::Asked& asked) {
        notices << asked.text + '|' + status->text();
    };
    Child<QPushButton>(dialog, "export")->click();
    QVERIFY(dialog.Exporting());
    QVERIFY(!Child<QPushButton>(dialog, "export")->isEnabled());
    QVERIFY(!Child<QPushButton>(dialog, "file")->isEnabled());
    QVERIFY(!Child<QRadioButton>(dialog, "type0")->isEnabled());
    QVERIFY(Child<QPushButton>(dialog, "abort")->isEnabled());
    dialog.Runner()->WaitAndPoll();
    QCOMPARE(statuses, QStringList{"Exporting... 100%"});
    QCOMPARE(notices, QStringList{"Export Completed.|Export Completed."});
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QFile file(dialog.FileName());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readLine().startsWith("\"Timestamp[us]\",\"VBUS Voltage[V]\""));
}

void ExportDlgTest::pcapngExportHoldsTheMessagesOfTheRange() {
    CExportDlg dialog(prompts_);
    Open(dialog);
    Child<QRadioButton>(dialog, "type2")->click();
    Child<QRadioButton>(dialog, "fromKind1")->click();
    QLineEdit* from = Child<QLineEdit>(dialog, "fromNumber");
    from->clear();
    QTest::keyClicks(from, QStringLiteral("1"));
    Child<QRadioButton>(dialog, "toKind1")->click();
    QLineEdit* to = Child<QLineEdit>(dialog, "toNumber");
    to->clear();
    QTest::keyClicks(to, QStringLiteral("3"));
    Child<QPushButton>(dialog, "export")->click();
    QVERIFY(dialog.Exporting());
    dialog.Runner()->WaitAndPoll();
    QCOMPARE(Notices(), QStringList{"Export Completed."});
    QFile file(dialog.FileName());
    QVERIFY(dialog.FileName().endsWith(QStringLiteral("spr_export.pcapng")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith(QByteArray("\x0a\x0d\x0d\x0a", 4)));
    // Packets 1, 2 and 3 of the spr capture (all messages), each with the tag naming the
    // dissector.
    QCOMPARE(bytes.count(QByteArray("\x00\x0c\x00\x08zoduz_pd", 12)), qsizetype{3});
}

void ExportDlgTest::failureSaysExportAbortedAndKeepsTheDialog() {
    CExportDlg dialog(prompts_);
    Open(dialog);
    prompts_.saveFile = dir_.filePath(QStringLiteral("missing/out.csv"));
    Child<QPushButton>(dialog, "file")->click();
    Child<QPushButton>(dialog, "export")->click();
    dialog.Runner()->WaitAndPoll();
    QCOMPARE(Notices(), QStringList{kExportAbortedText});
    QCOMPARE(Child<QLabel>(dialog, "status")->text(), QString());
    QVERIFY(Child<QPushButton>(dialog, "export")->isEnabled());
    QCOMPARE(dialog.result(), 0);
}

void ExportDlgTest::fileChooserUsesTheTypeFilter() {
    CExportDlg dialog(prompts_);
    Open(dialog);
    Child<QPushButton>(dialog, "file")->click();
    Child<QRadioButton>(dialog, "type2")->click();
    Child<QPushButton>(dialog, "file")->click();
    Child<QRadioButton>(dialog, "type1")->click();
    Child<QPushButton>(dialog, "file")->click();
    QStringList asked;
    for (const ScriptedPrompts::Asked& prompt : prompts_.asked) {
        asked << prompt.detail;
    }
    QCOMPARE(asked, (QStringList{"CSV Files (*.csv)|csv", "pcapng Files (*.pcapng)|pcapng",
                                 "ZAZ Files (*.zaz)|zaz"}));
    QCOMPARE(dialog.FileName(), dir_.filePath(QStringLiteral("spr_export.zaz")));
}

// The save chooser starts at the derived name over the dialog; the completion notice carries the
// dialog's title.
void ExportDlgTest::noticesAndTheChooserReachThePromptsOverTheDialog() {
    CExportDlg dialog(prompts_);
    Open(dialog);
    const QString derived = dialog.FileName();
    const QString chosen = dir_.filePath(QStringLiteral("chosen.csv"));
    prompts_.saveFile = chosen;
    Child<QPushButton>(dialog, "file")->click();
    QCOMPARE(dialog.FileName(), chosen);
    Child<QPushButton>(dialog, "export")->click();
    dialog.Runner()->WaitAndPoll();
    QCOMPARE(prompts_.asked.size(), size_t{2});
    const ScriptedPrompts::Asked& chooser = prompts_.asked[0];
    QVERIFY(chooser.kind == ScriptedPrompts::Kind::kSaveFile);
    QCOMPARE(chooser.parent, &dialog);
    QCOMPARE(chooser.text, derived);
    const ScriptedPrompts::Asked& notice = prompts_.asked[1];
    QVERIFY(notice.kind == ScriptedPrompts::Kind::kNotice);
    QCOMPARE(notice.parent, &dialog);
    QCOMPARE(notice.title, QStringLiteral("Export"));
    QCOMPARE(notice.text, QString::fromLatin1(kExportCompletedText));
    QVERIFY(QFile::exists(chosen));
}

QTEST_MAIN(ExportDlgTest)
#include "export_dlg_test.moc"
