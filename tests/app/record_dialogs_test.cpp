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
#include "scripted_prompts.h"
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
    void init() { prompts_ = ScriptedPrompts(); }

    void captionTypingPastSixtyFourCharactersHasNoEffect() {
        SettingsStore settings;
        RecordFileForm form = RecordFileForm::FromSettings(settings);
        CCaptureFilenameDlg dialog(form, settings, prompts_);
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
        CCaptureFilenameDlg dialog(form, settings, prompts_);
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
        CCaptureFilenameDlg dialog(form, settings, prompts_);
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
        CCaptureFilenameDlg dialog(form, settings, prompts_);
        const auto notices = [this] { return prompts_.Texts(ScriptedPrompts::Kind::kWarning); };
        auto* size = Find<QLineEdit>(dialog, "maxFileSize");
        size->clear();
        QTest::keyClicks(size, QStringLiteral("0"));
        dialog.accept();
        QCOMPARE(notices().value(0), QStringLiteral("Enter an integer between 1 and 9999."));
        size->clear();
        QTest::keyClicks(size, QStringLiteral("250"));
        Find<QLineEdit>(dialog, "caption")->clear();
        emit Find<QLineEdit>(dialog, "caption")->textEdited(QString());
        dialog.accept();
        QCOMPARE(notices().value(1), QStringLiteral("Enter Filename."));
        QTest::keyClicks(Find<QLineEdit>(dialog, "caption"), QStringLiteral("Bench"));
        prompts_.folder = folder.filePath("gone");
        Button(dialog, QStringLiteral("Select Record File Folder"))->click();
        QCOMPARE(Find<QLabel>(dialog, "recordFolder")->text(), folder.filePath("gone"));
        dialog.accept();
        QCOMPARE(notices().value(2), QStringLiteral("This Record File Folder is not a writable "
                                                    "folder. Please change it to another folder."));
        QCOMPARE(dialog.result(), 0);
        QCOMPARE(settings.recordMaxFileSizeMB, 100);

        prompts_.folder = folder.path();
        Button(dialog, QStringLiteral("Select Record File Folder"))->click();
        Box(dialog, QStringLiteral("Do not ask again"))->click();
        dialog.accept();
        QCOMPARE(notices().size(), 3);
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
        CCaptureFilenameDlg dialog(form, settings, prompts_);
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
        CConfigDlg dialog(settings, prompts_);
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
        CConfigDlg dialog(settings, prompts_);
        Button(dialog, QStringLiteral("Load Default"))->click();
        QCOMPARE(Find<QComboBox>(dialog, "interval")->currentText(), QStringLiteral("10ms"));
        dialog.accept();
        QCOMPARE(settings.recordVbusSamplingIntervalMS, 10);
        QVERIFY(!settings.recordCaptureFullStop);
    }

    // Both dialogs ask over themselves with their own titles: the folder chooser starts at the
    // form's folder, and a refused OK says why.
    void promptsComeOverTheDialogWithItsTitle() {
        SettingsStore settings;
        settings.recordFileFolder = "/data/Zoduz";
        RecordFileForm form = RecordFileForm::FromSettings(settings);
        CCaptureFilenameDlg files(form, settings, prompts_);
        Button(files, QStringLiteral("Select Record File Folder"))->click();  // cancelled
        QCOMPARE(Find<QLabel>(files, "recordFolder")->text(), QStringLiteral("/data/Zoduz"));
        Find<QLineEdit>(files, "caption")->clear();
        emit Find<QLineEdit>(files, "caption")->textEdited(QString());
        files.accept();
        QCOMPARE(files.result(), 0);

        settings.recordMaxPDPacketCount = 0;  // a damaged stored limit
        CConfigDlg limits(settings, prompts_);
        limits.accept();
        QCOMPARE(limits.result(), 0);

        using Kind = ScriptedPrompts::Kind;
        const std::vector<ScriptedPrompts::Asked>& asked = prompts_.asked;
        QCOMPARE(asked.size(), size_t{3});
        QVERIFY(asked[0].kind == Kind::kFolder);
        QCOMPARE(asked[0].parent, &files);
        QCOMPARE(asked[0].title, QStringLiteral("Select Record Folder"));
        QCOMPARE(asked[0].text, QStringLiteral("/data/Zoduz"));
        QVERIFY(asked[1].kind == Kind::kWarning);
        QCOMPARE(asked[1].parent, &files);
        QCOMPARE(asked[1].title, QStringLiteral("Record File Settings"));
        QCOMPARE(asked[1].text, QStringLiteral("Enter Filename."));
        QVERIFY(asked[2].kind == Kind::kWarning);
        QCOMPARE(asked[2].parent, &limits);
        QCOMPARE(asked[2].title, QStringLiteral("Record Settings"));
        QVERIFY(asked[2].text.startsWith(QStringLiteral("Enter an integer between ")));
        QCOMPARE(settings.recordMaxPDPacketCount, 0);
    }

  private:
    ScriptedPrompts prompts_;
};

QTEST_MAIN(RecordDialogsTest)
#include "record_dialogs_test.moc"
