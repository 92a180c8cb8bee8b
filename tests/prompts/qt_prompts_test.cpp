// The message boxes of QtPrompts: their buttons, default buttons, icons, titles and texts, what
// each answer returns, the modeless warning that does not block, and a dialog run to its end.
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "prompts/qt_prompts.h"

namespace {

// Runs act on the modal message box as soon as it is open; act closes it.
void WhenBoxOpens(std::function<void(QMessageBox&)> act) {
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        act(*box);
    });
}

}  // namespace

class QtPromptsTest : public QObject {
    Q_OBJECT

  private slots:
    void saveQuestionOffersYesNoCancelWithYesFirst() {
        QWidget window;
        QtPrompts prompts;
        const std::pair<QMessageBox::StandardButton, SaveChoice> answers[] = {
            {QMessageBox::Yes, SaveChoice::kSave},
            {QMessageBox::No, SaveChoice::kDiscard},
            {QMessageBox::Cancel, SaveChoice::kCancel}};
        for (const auto& [button, choice] : answers) {
            WhenBoxOpens([&window, button = button](QMessageBox& box) {
                QCOMPARE(box.parentWidget(), &window);
                QCOMPARE(box.windowTitle(), QStringLiteral("Zoduz App"));
                QCOMPARE(box.text(), QStringLiteral("Save changes to spr.zaz?"));
                QCOMPARE(box.icon(), QMessageBox::Question);
                QCOMPARE(box.standardButtons(),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
                QCOMPARE(box.standardButton(box.defaultButton()), QMessageBox::Yes);
                box.button(button)->click();
            });
            QVERIFY(prompts.AskSaveChanges(&window, QStringLiteral("Zoduz App"),
                                           QStringLiteral("Save changes to spr.zaz?")) == choice);
        }
    }

    void confirmationDefaultsToCancel() {
        QtPrompts prompts;
        for (const bool yes : {false, true}) {
            WhenBoxOpens([yes](QMessageBox& box) {
                QCOMPARE(box.standardButtons(), QMessageBox::Yes | QMessageBox::Cancel);
                QCOMPARE(box.standardButton(box.defaultButton()), QMessageBox::Cancel);
                box.button(yes ? QMessageBox::Yes : QMessageBox::Cancel)->click();
            });
            QCOMPARE(prompts.Confirm(nullptr, QStringLiteral("About Zoduz"),
                                     QStringLiteral("Enter FW Update Mode?")),
                     yes);
        }
    }

    void warningAndNoticeCarryTheirIcons() {
        QtPrompts prompts;
        QStringList shown;
        const auto record = [&shown](QMessageBox& box) {
            shown << QString::number(box.icon()) + '|' + box.windowTitle() + '|' + box.text();
            box.accept();
        };
        WhenBoxOpens(record);
        prompts.ShowWarning(nullptr, QStringLiteral("Record Settings"), QStringLiteral("Bad."));
        WhenBoxOpens(record);
        prompts.ShowNotice(nullptr, QStringLiteral("Export"), QStringLiteral("Done."));
        QCOMPARE(shown,
                 (QStringList{QString::number(QMessageBox::Warning) + "|Record Settings|Bad.",
                              QString::number(QMessageBox::Information) + "|Export|Done."}));
    }

    void modelessWarningStaysBesideTheWindowWithoutBlocking() {
        QWidget window;
        QtPrompts prompts;
        prompts.ShowModelessWarning(&window, QStringLiteral("Zoduz App"),
                                    QStringLiteral("The file is empty."));
        auto* box = window.findChild<QMessageBox*>();
        QVERIFY(box != nullptr);
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->text(), QStringLiteral("The file is empty."));
        QPointer<QMessageBox> closed(box);
        box->close();
        QTRY_VERIFY(closed.isNull());  // deleted once closed
    }

    void aDialogRunsToItsEnd() {
        QtPrompts prompts;
        QDialog dialog;
        QTimer::singleShot(0, &dialog, [&dialog] {
            QVERIFY(dialog.isVisible());
            QVERIFY(dialog.isModal());
            dialog.accept();
        });
        QCOMPARE(prompts.RunDialog(dialog), int{QDialog::Accepted});
        QTimer::singleShot(0, &dialog, &QDialog::reject);
        QCOMPARE(prompts.RunDialog(dialog), int{QDialog::Rejected});
    }
};

QTEST_MAIN(QtPromptsTest)
#include "qt_prompts_test.moc"
