// The Record File Settings and Record Settings dialogs driven through their controls.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/capture_filename_dlg.h"
#include "app/config_dlg.h"
#include "capture/test_times.h"
#include "settings/settings_store.h"

namespace {

template <typename T>
T* Find(QWidget& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(QLatin1String(name));
    if (widget == nullptr) {
        qFatal("no widget %s", name);
    }
    return widget;
}

QCheckBox* Box(QWidget& dialog, const QString& text) {
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
        if (box->text() == text) {
            return box;
        }
    }
    qFatal("no check box %s", qPrintable(text));
}

QPushButton* Button(QWidget& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    qFatal("no button %s", qPrintable(text));
}

}  // namespace

class RecordDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void captionTypingPastSixtyFourCharactersHasNoEffect() {
        SettingsStore settings;
        RecordFileForm form = RecordFileForm::FromSettings(settings);
        CCaptureFilenameDlg dialog(form, settings);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Record File Settings"));
        auto* caption = Find<QLineEdit>(dialog, "caption");
        auto* name = Find<QLabel>(dialog, "recordFilename");
        QCOMPARE(name->text(), QStringLiteral("PDCapture.zaz"));
        caption->clear();
        QTest::keyClicks(caption, QString(64, QLatin1Char('a')));
        QTest::keyClicks(caption, QStringLiteral("b"));
        QCOMPARE(caption->text(), QString(64, QLatin1Char('a')));
        QCOMPARE(name->text(), QString(64, QLatin1Char('a')) + QStringLiteral(".zaz"));
    }

    void captionPasteWithASlashRestoresThePreviousCaption() {
        SettingsStore settings;
        RecordFileForm form = RecordFileForm::FromSettings(settings);
        CCaptureFilenameDlg dialog(form, settings);
        auto* caption = Find<QLineEdit>(dialog, "caption");
        caption->selectAll();
        caption->insert(QStringLiteral("run/2"));  // as a paste does
        emit caption->textEdited(caption->text());
        QCOMPARE(caption->text(), QStringLiteral("PDCapture"));
        QCOMPARE(form.caption, std::string("PDCapture"));
    }

    void timestampAndMultiFileRecomposeTheName() {
        SettingsStore settings;
        RecordFileForm form = RecordFileForm::FromSettings(settings);
        CCaptureFilenameDlg dialog(form, settings);
        std::tm local = October5th();
        std::time_t when = std::mktime(&local);
        dialog.SetClock([when] { return when; });
        Box(dialog, QStringLiteral("Append Timestamp to Filename"))->click();
        auto* name = Find<QLabel>(dialog, "recordFilename");
        QCOMPARE(name->text(), QStringLiteral("PDCapture_20231005-142233.zaz"));
        Box(dialog, QStringLiteral("Multiple Record File  (for long time recording)"))->click();
        QCOMPARE(name->text(), QStringLiteral("PDCapture_20231005-142233_0001.zaz"));
    }

    void okRefusesBadValuesAndStoresGoodOnes() {
        QTemporaryDir folder;
        SettingsStore settings;
        settings.recordFileFolder = folder.path().toStdString();
        RecordFileForm form = RecordFileForm::FromSettings(settings);
        CCaptureFilenameDlg dialog(form, settings);
        QStringList notices;
        dialog.SetNotice([&](const QString& text) { notices << text; });
        auto* size = Find<QLineEdit>(dialog, "maxFileSize");
        size->clear();
        QTest::keyClicks(size, QStringLiteral("0"));
        dialog.accept();
        QCOMPARE(notices.value(0), QStringLiteral("Enter an integer between 1 and 9999."));
        size->clear();
        QTest::keyClicks(size, QStringLiteral("250"));
        Find<QLineEdit>(dialog, "caption")->clear();
        emit Find<QLineEdit>(dialog, "caption")->textEdited(QString());
        dialog.accept();
        QCOMPARE(notices.value(1), QStringLiteral("Enter Filename."));
        QTest::keyClicks(Find<QLineEdit>(dialog, "caption"), QStringLiteral("Bench"));
        dialog.SetFolderPicker([&](const QString&) { return folder.filePath("gone"); });
        Button(dialog, QStringLiteral("Select Record File Folder"))->click();
        QCOMPARE(Find<QLabel>(dialog, "recordFolder")->text(), folder.filePath("gone"));
        dialog.accept();
        QCOMPARE(notices.value(2), QStringLiteral("This Record File Folder is not a writable "
                                                  "folder. Please change it to another folder."));
        QCOMPARE(dialog.result(), 0);
        QCOMPARE(settings.recordMaxFileSizeMB, 100);

        dialog.SetFolderPicker([&](const QString&) { return folder.path(); });
        Button(dialog, QStringLiteral("Select Record File Folder"))->click();
        Box(dialog, QStringLiteral("Do not ask again"))->click();
        dialog.accept();
        QCOMPARE(notices.size(), 3);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(settings.recordFileCaption, std::string("Bench"));
        QCOMPARE(settings.recordMaxFileSizeMB, 250);
        QVERIFY(settings.recordDoNotAskAgain);
    }

    void loadDefaultsAndCancelStoreNothing() {
        SettingsStore settings;
        settings.recordMultiCaptureFile = true;
        settings.recordFileCaption = "Old";
        RecordFileForm form = RecordFileForm::FromSettings(settings);
        CCaptureFilenameDlg dialog(form, settings);
        dialog.SetDefaultFolder([] { return std::string("/data/Zoduz"); });
        Button(dialog, QStringLiteral("Load Defaults"))->click();
        QCOMPARE(Find<QLineEdit>(dialog, "caption")->text(), QStringLiteral("PDCapture"));
        QCOMPARE(Find<QLineEdit>(dialog, "maxFileSize")->text(), QStringLiteral("100"));
        QCOMPARE(Find<QLabel>(dialog, "recordFolder")->text(), QStringLiteral("/data/Zoduz"));
        QVERIFY(!Box(dialog, QStringLiteral("Multiple Record File  (for long time recording)"))
                     ->isChecked());
        dialog.reject();
        QCOMPARE(settings.recordFileCaption, std::string("Old"));
        // The form keeps the dialog's values for its next use.
        QCOMPARE(form.caption, std::string("PDCapture"));
    }

    void configDialogOpensAtTheStoredIntervalAndCarriesHiddenSwitches() {
        SettingsStore settings;
        settings.recordVbusSamplingIntervalMS = 4;
        settings.recordPDPacketAutoRemove = true;
        CConfigDlg dialog(settings);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Record Settings"));
        auto* interval = Find<QComboBox>(dialog, "interval");
        QCOMPARE(interval->count(), 13);
        QCOMPARE(interval->itemText(0), QStringLiteral("1ms"));
        QCOMPARE(interval->itemText(12), QStringLiteral("1000ms"));
        QCOMPARE(interval->currentText(), QStringLiteral("5ms"));
        QVERIFY(Find<QLineEdit>(dialog, "maxPackets")->isReadOnly());
        QCOMPARE(Find<QLineEdit>(dialog, "maxPackets")->text(), QStringLiteral("99999"));
        QCOMPARE(Find<QLineEdit>(dialog, "maxSamples")->text(), QStringLiteral("9999999"));
        dialog.show();
        QVERIFY(!Box(dialog, QStringLiteral("Auto Remove Old PD Packets"))->isVisible());
        QVERIFY(Box(dialog, QStringLiteral("Auto Remove Old PD Packets"))->isChecked());

        interval->setCurrentIndex(8);
        dialog.accept();
        QCOMPARE(settings.recordVbusSamplingIntervalMS, 100);
        QCOMPARE(dialog.IntervalMs(), 100);
        QVERIFY(settings.recordPDPacketAutoRemove);
    }

    void configDialogLoadDefault() {
        SettingsStore settings;
        settings.recordVbusSamplingIntervalMS = 1000;
        settings.recordCaptureFullStop = true;
        CConfigDlg dialog(settings);
        Button(dialog, QStringLiteral("Load Default"))->click();
        QCOMPARE(Find<QComboBox>(dialog, "interval")->currentText(), QStringLiteral("10ms"));
        dialog.accept();
        QCOMPARE(settings.recordVbusSamplingIntervalMS, 10);
        QVERIFY(!settings.recordCaptureFullStop);
    }
};

QTEST_MAIN(RecordDialogsTest)
#include "record_dialogs_test.moc"
