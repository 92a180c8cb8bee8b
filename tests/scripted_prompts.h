// Prompts for the window and dialog tests: every question, message, chooser and dialog run is
// recorded in the order asked and answered from the script below, never shown to a user.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

#include "prompts/prompts.h"

class ScriptedPrompts : public Prompts {
  public:
    enum class Kind {
        kSaveChanges,
        kConfirm,
        kWarning,
        kModelessWarning,
        kNotice,
        kSaveFile,
        kOpenFile,
        kFolder,
        kDialog
    };
    // One prompt as asked. For a message or question: its title and text. For a chooser: its
    // caption, the path it starts at and, for files, "filter|default suffix". For a dialog run:
    // the dialog's class name and its window title.
    struct Asked {
        Kind kind;
        QWidget* parent;
        QString title;
        QString text;
        QString detail;
    };

    // --- The script: the answers, which a test may change between steps ---
    SaveChoice saveChoice = SaveChoice::kCancel;
    bool confirmation = false;
    QString saveFile;  // "" cancels the chooser
    QString openFile;
    QString folder;
    // Acts on a dialog as its user would and closes it (accept() or reject()); without one the
    // dialog is cancelled.
    std::function<void(QDialog&)> dialogAnswer;
    // Called with each prompt as it is asked, to look at the window at that moment.
    std::function<void(const Asked&)> onAsked;

    std::vector<Asked> asked;

    // The texts (titles for dialog runs) asked of one kind, in order.
    QStringList Texts(Kind kind) const {
        QStringList texts;
        for (const Asked& prompt : asked) {
            if (prompt.kind == kind) {
                texts << (kind == Kind::kDialog ? prompt.title : prompt.text);
            }
        }
        return texts;
    }
    int Count(Kind kind) const { return static_cast<int>(Texts(kind).size()); }
    // How often a dialog of the class named was run.
    int DialogRuns(const char* className) const {
        return static_cast<int>(Texts(Kind::kDialog).count(QLatin1String(className)));
    }

    // A dialog answer: OK on the dialogs of the class named, Cancel on every other.
    static std::function<void(QDialog&)> Accepting(const char* className) {
        return [className](QDialog& dialog) {
            if (QLatin1String(dialog.metaObject()->className()) == QLatin1String(className)) {
                dialog.accept();
            } else {
                dialog.reject();
            }
        };
    }

    SaveChoice AskSaveChanges(QWidget* parent, const QString& title, const QString& text) override {
        Record({Kind::kSaveChanges, parent, title, text, {}});
        return saveChoice;
    }
    bool Confirm(QWidget* parent, const QString& title, const QString& text) override {
        Record({Kind::kConfirm, parent, title, text, {}});
        return confirmation;
    }
    void ShowWarning(QWidget* parent, const QString& title, const QString& text) override {
        Record({Kind::kWarning, parent, title, text, {}});
    }
    void ShowModelessWarning(QWidget* parent, const QString& title, const QString& text) override {
        Record({Kind::kModelessWarning, parent, title, text, {}});
    }
    void ShowNotice(QWidget* parent, const QString& title, const QString& text) override {
        Record({Kind::kNotice, parent, title, text, {}});
    }
    QString ChooseSaveFile(QWidget* parent, const FileChoice& choice) override {
        Record({Kind::kSaveFile, parent, choice.caption, choice.start,
                choice.filter + QLatin1Char('|') + choice.defaultSuffix});
        return saveFile;
    }
    QString ChooseOpenFile(QWidget* parent, const FileChoice& choice) override {
        Record({Kind::kOpenFile, parent, choice.caption, choice.start,
                choice.filter + QLatin1Char('|') + choice.defaultSuffix});
        return openFile;
    }
    QString ChooseFolder(QWidget* parent, const QString& caption, const QString& current) override {
        Record({Kind::kFolder, parent, caption, current, {}});
        return folder;
    }
    int RunDialog(QDialog& dialog) override {
        Record({Kind::kDialog,
                dialog.parentWidget(),
                QString::fromLatin1(dialog.metaObject()->className()),
                dialog.windowTitle(),
                {}});
        dialog.setResult(QDialog::Rejected);
        if (dialogAnswer) {
            dialogAnswer(dialog);
        }
        return dialog.result();
    }

  private:
    void Record(Asked prompt) {
        asked.push_back(std::move(prompt));
        if (onAsked) {
            onAsked(asked.back());
        }
    }
};
