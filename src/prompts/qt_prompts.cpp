#include "prompts/qt_prompts.h"

#include <QFileDialog>
#include <QMessageBox>

SaveChoice QtPrompts::AskSaveChanges(QWidget* parent, const QString& title, const QString& text) {
    switch (QMessageBox::question(parent, title, text,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Yes)) {
        case QMessageBox::Yes:
            return SaveChoice::kSave;
        case QMessageBox::No:
            return SaveChoice::kDiscard;
        default:
            return SaveChoice::kCancel;  // also Esc and the close button
    }
}

bool QtPrompts::Confirm(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Yes;
}

void QtPrompts::ShowWarning(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, text);
}

void QtPrompts::ShowModelessWarning(QWidget* parent, const QString& title, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void QtPrompts::ShowNotice(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title, text);
}

QString QtPrompts::ChooseSaveFile(QWidget* parent, const FileChoice& choice) {
    QFileDialog dialog(parent, choice.caption, choice.start, choice.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(choice.defaultSuffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString QtPrompts::ChooseOpenFile(QWidget* parent, const FileChoice& choice) {
    return QFileDialog::getOpenFileName(parent, choice.caption, choice.start, choice.filter);
}

QString QtPrompts::ChooseFolder(QWidget* parent, const QString& caption, const QString& current) {
    return QFileDialog::getExistingDirectory(parent, caption, current, QFileDialog::ShowDirsOnly);
}

int QtPrompts::RunDialog(QDialog& dialog) {
    return dialog.exec();
}
