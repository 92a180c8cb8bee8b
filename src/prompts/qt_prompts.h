// The prompts of the interactive application: message boxes, file dialogs and dialogs run
// modally over their parent window.
#pragma once

#include "prompts/prompts.h"

class QtPrompts : public Prompts {
  public:
    SaveChoice AskSaveChanges(QWidget* parent, const QString& title, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& title, const QString& text) override;
    void ShowWarning(QWidget* parent, const QString& title, const QString& text) override;
    void ShowModelessWarning(QWidget* parent, const QString& title, const QString& text) override;
    void ShowNotice(QWidget* parent, const QString& title, const QString& text) override;
    QString ChooseSaveFile(QWidget* parent, const FileChoice& choice) override;
    QString ChooseOpenFile(QWidget* parent, const FileChoice& choice) override;
    QString ChooseFolder(QWidget* parent, const QString& caption, const QString& current) override;
    int RunDialog(QDialog& dialog) override;
};
