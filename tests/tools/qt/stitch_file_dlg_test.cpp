// The Stitch Record Files dialog: lists of a folder, the preselected base, the first-k
// selection, the output name, the run with its completion texts, failure and the folder
// chooser.
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "scripted_prompts.h"
#include "tools/qt/job_runner.h"
#include "tools/qt/stitch_file_dlg.h"

namespace {

QStringList Names(const QListWidget* list) {
    QStringList names;
    for (int row = 0; row < list->count(); ++row) {
        names << list->item(row)->text();
    }
    return names;
}

QStringList Selected(const QListWidget* list) {
    QStringList names;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected()) {
            names << list->item(row)->text();
        }
    }
    return names;
}

// A plain click on a row: it becomes the only selected row and the caret.
void Click(QListWidget* list, int row) {
    list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

}  // namespace

class StitchFileDlgTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void listsOfTheFolderWithTheCurrentFileAsBase();
    void selectionIsAlwaysTheFirstItems();
    void takenOutputNameIsNumbered();
    void stitchingJoinsThePartsAndCloses();
    void unreadablePartSaysAborted();
    void folderWithoutNumberedFilesLeavesStartDisabled();
    void folderChooserAndNoticesReachThePromptsOverTheDialog();

  private:
    QString File(const QString& name) const { return dir_->filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(File(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    std::unique_ptr<QTemporaryDir> dir_;
    ScriptedPrompts prompts_;
};

void StitchFileDlgTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    prompts_ = ScriptedPrompts();
    for (int i = 1; i <= 5; ++i) {
        Write(QStringLiteral("PDCapture_000%1.zaz").arg(i), QByteArray(64 * i, char('0' + i)));
    }
    Write(QStringLiteral("Other.zaz"), QByteArray(64, 'o'));
    Write(QStringLiteral("Trial_0007.zaz"), QByteArray(64, 't'));
}

void StitchFileDlgTest::listsOfTheFolderWithTheCurrentFileAsBase() {
    CStitchFileDlg dialog(dir_->path(), File(QStringLiteral("PDCapture_0002.zaz")), prompts_);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Stitch Record Files"));
    QCOMPARE(Names(dialog.BaseList()),
             (QStringList{"PDCapture_0001.zaz", "PDCapture_0002.zaz", "PDCapture_0003.zaz",
                          "PDCapture_0004.zaz", "PDCapture_0005.zaz", "Trial_0007.zaz"}));
    QCOMPARE(Selected(dialog.BaseList()), QStringList{"PDCapture_0002.zaz"});
    QCOMPARE(Names(dialog.StitchList()),
             (QStringList{"PDCapture_0003.zaz", "PDCapture_0004.zaz", "PDCapture_0005.zaz"}));
    QCOMPARE(Selected(dialog.StitchList()), QStringList{"PDCapture_0003.zaz"});
    QCOMPARE(dialog.OutputPath(), File(QStringLiteral("Stitched_PDCapture_0002-0003.zaz")));
    QVERIFY(dialog.StartButton()->isEnabled());
    // Trial_0007 as base has no successors.
    Click(dialog.BaseList(), 5);
    QCOMPARE(dialog.StitchList()->count(), 0);
    QVERIFY(dialog.OutputPath().isEmpty());
    QVERIFY(!dialog.StartButton()->isEnabled());
}

void StitchFileDlgTest::selectionIsAlwaysTheFirstItems() {
    CStitchFileDlg dialog(dir_->path(), File(QStringLiteral("PDCapture_0002.zaz")), prompts_);
    Click(dialog.StitchList(), 2);
    QCOMPARE(Selected(dialog.StitchList()),
             (QStringList{"PDCapture_0003.zaz", "PDCapture_0004.zaz", "PDCapture_0005.zaz"}));
    QCOMPARE(dialog.OutputPath(), File(QStringLiteral("Stitched_PDCapture_0002-0005.zaz")));
    Click(dialog.StitchList(), 1);
    QCOMPARE(Selected(dialog.StitchList()),
             (QStringList{"PDCapture_0003.zaz", "PDCapture_0004.zaz"}));
    QCOMPARE(dialog.OutputPath(), File(QStringLiteral("Stitched_PDCapture_0002-0004.zaz")));
    // Ctrl-clicking the first row away leaves nothing selected and nothing to start.
    dialog.StitchList()->setCurrentRow(0, QItemSelectionModel::Deselect);
    QCOMPARE(Selected(dialog.StitchList()), QStringList{});
    QVERIFY(dialog.OutputPath().isEmpty());
    QVERIFY(!dialog.StartButton()->isEnabled());
}

void StitchFileDlgTest::takenOutputNameIsNumbered() {
    Write(QStringLiteral("Stitched_PDCapture_0001-0002.zaz"), {});
    CStitchFileDlg dialog(dir_->path(), File(QStringLiteral("PDCapture_0001.zaz")), prompts_);
    QCOMPARE(dialog.OutputPath(), File(QStringLiteral("Stitched_PDCapture_0001-0002 (1).zaz")));
}

void StitchFileDlgTest::stitchingJoinsThePartsAndCloses() {
    CStitchFileDlg dialog(dir_->path(), File(QStringLiteral("PDCapture_0001.zaz")), prompts_);
    QStringList notices;
    prompts_.onAsked = [&](const ScriptedPrompts::Asked& asked) {
        notices << asked.text + '|' + dialog.StatusText();
    };
    QStringList ticks;
    connect(dialog.Runner(), &CJobRunner::Tick, this, [&] { ticks << dialog.StatusText(); });
    Click(dialog.StitchList(), 1);
    dialog.StartButton()->click();
    QVERIFY(!dialog.StartButton()->isEnabled());
    QVERIFY(!dialog.BaseList()->isEnabled());
    QVERIFY(!dialog.StitchList()->isEnabled());
    QVERIFY(!dialog.FolderButton()->isEnabled());
    dialog.Runner()->WaitAndPoll();
    QCOMPARE(ticks, QStringList{"Stitching... 100%"});
    QCOMPARE(notices, QStringList{"Stitch Files Completed.|Stitch Files Completed."});
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QFile stitched(File(QStringLiteral("Stitched_PDCapture_0001-0003.zaz")));
    QVERIFY(stitched.open(QIODevice::ReadOnly));
    QCOMPARE(stitched.readAll(), QByteArray(64, '1') + QByteArray(128, '2') + QByteArray(192, '3'));
}

void StitchFileDlgTest::unreadablePartSaysAborted() {
    CStitchFileDlg dialog(dir_->path(), File(QStringLiteral("PDCapture_0001.zaz")), prompts_);
    QVERIFY(QFile::remove(File(QStringLiteral("PDCapture_0002.zaz"))));
    dialog.StartButton()->click();
    dialog.Runner()->WaitAndPoll();
    QCOMPARE(prompts_.Texts(ScriptedPrompts::Kind::kNotice), QStringList{kStitchAbortedText});
    QVERIFY(dialog.StatusText().isEmpty());
    QVERIFY(dialog.StartButton()->isEnabled());
    QVERIFY(!QFile::exists(dialog.OutputPath()));
}

void StitchFileDlgTest::folderWithoutNumberedFilesLeavesStartDisabled() {
    QTemporaryDir other;
    QFile plain(other.filePath(QStringLiteral("Other.zaz")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    CStitchFileDlg dialog(dir_->path(), QString(), prompts_);
    prompts_.folder = other.path();
    QCOMPARE(Selected(dialog.BaseList()), QStringList{"PDCapture_0001.zaz"});  // the first
    dialog.FolderButton()->click();
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("folder"))->text(), other.path());
    QCOMPARE(dialog.BaseList()->count(), 0);
    QCOMPARE(dialog.StitchList()->count(), 0);
    QVERIFY(!dialog.StartButton()->isEnabled());
    QCOMPARE(prompts_.Texts(ScriptedPrompts::Kind::kFolder), QStringList{dir_->path()});
}

// The folder chooser asks over the dialog with its caption, starting at the folder shown; a
// cancelled chooser keeps the folder. The end of the stitching is told with the dialog's title.
void StitchFileDlgTest::folderChooserAndNoticesReachThePromptsOverTheDialog() {
    CStitchFileDlg dialog(dir_->path(), File(QStringLiteral("PDCapture_0001.zaz")), prompts_);
    dialog.FolderButton()->click();
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("folder"))->text(), dir_->path());
    dialog.StartButton()->click();
    dialog.Runner()->WaitAndPoll();
    QCOMPARE(prompts_.asked.size(), size_t{2});
    const ScriptedPrompts::Asked& chooser = prompts_.asked[0];
    QVERIFY(chooser.kind == ScriptedPrompts::Kind::kFolder);
    QCOMPARE(chooser.parent, &dialog);
    QCOMPARE(chooser.title, QStringLiteral("Select Record Folder"));
    QCOMPARE(chooser.text, dir_->path());
    const ScriptedPrompts::Asked& notice = prompts_.asked[1];
    QVERIFY(notice.kind == ScriptedPrompts::Kind::kNotice);
    QCOMPARE(notice.parent, &dialog);
    QCOMPARE(notice.title, QStringLiteral("Stitch Record Files"));
    QCOMPARE(notice.text, QString::fromLatin1(kStitchCompletedText));
}

QTEST_MAIN(StitchFileDlgTest)
#include "stitch_file_dlg_test.moc"
