// Prompts: every question, message and chooser the windows and dialogs put to the user, and
// the modal runs of their dialogs. The application hands one object to the windows it creates;
// QtPrompts shows real message boxes and dialogs, the tests answer from a script.
#pragma once

#include <QString>

class QDialog;
class QWidget;

// The answer to "Save changes to ...?".
enum class SaveChoice { kSave, kDiscard, kCancel };

// A file chooser: its caption, the path or folder it starts at and its name filter
// ("Zoduz Files (*.zaz)"). defaultSuffix is added to a saved name without one ("" for none).
struct FileChoice {
    QString caption;
    QString start;
    QString filter;
    QString defaultSuffix;
};

class Prompts {
  public:
    virtual ~Prompts() = default;

    // Yes / No / Cancel on whether a modified document is saved first; Yes is the default.
    virtual SaveChoice AskSaveChanges(QWidget* parent, const QString& title,
                                      const QString& text) = 0;
    // Yes / Cancel before something that cannot be undone; Cancel is the default. True on Yes.
    virtual bool Confirm(QWidget* parent, const QString& title, const QString& text) = 0;
    // A warning (an error, a refused entry) acknowledged before the window goes on.
    virtual void ShowWarning(QWidget* parent, const QString& title, const QString& text) = 0;
    // A warning that stays beside the window without blocking it (a damaged record file).
    virtual void ShowModelessWarning(QWidget* parent, const QString& title,
                                     const QString& text) = 0;
    // Information acknowledged before the window goes on (a finished job, nothing found).
    virtual void ShowNotice(QWidget* parent, const QString& title, const QString& text) = 0;
    // The path chosen to save to or to open; "" when cancelled.
    virtual QString ChooseSaveFile(QWidget* parent, const FileChoice& choice) = 0;
    virtual QString ChooseOpenFile(QWidget* parent, const FileChoice& choice) = 0;
    // An existing folder, starting at current; "" when cancelled.
    virtual QString ChooseFolder(QWidget* parent, const QString& caption,
                                 const QString& current) = 0;
    // Runs the dialog modally to its end; its result (QDialog::Accepted or Rejected).
    virtual int RunDialog(QDialog& dialog) = 0;
};
