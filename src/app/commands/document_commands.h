// The File commands on the one capture document, without any widgets: New, Open, Save, Save As
// and the "save changes?" decision before a modified document is replaced or closed. Menus,
// toolbar buttons, dropped files, the command line, automation and the tests all call these;
// the window supplies the questions, the path chooser, the error notice and the wait cursor.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "capture/file_result.h"

class CKVDoc;

// The user's answer to "Save changes to <title>?".
enum class SaveAnswer { kYes, kNo, kCancel };

// What the commands ask of the window, and what they tell it.
struct DocumentCommandHooks {
    // Asked before a modified document is replaced or closed; none answers No.
    std::function<SaveAnswer(const std::string& title)> askSaveChanges;
    // The Save As chooser, starting at the given path; none (or no answer) cancels.
    std::function<std::optional<std::string>(const std::string& current)> chooseSavePath;
    // A failure the user is told about (a message box in the window).
    std::function<void(const std::string& text)> showError;
    // Around the long file operations (the wait cursor); may be empty.
    std::function<void(bool busy)> setBusy;
    // A record file was opened or saved (also by the save question): its absolute path.
    std::function<void(const std::string& path)> opened;
    std::function<void(const std::string& path)> saved;
    // A path that could not be read was refused (the window drops it from the recent files).
    std::function<void(const std::string& path)> refused;
    // A path that is not a record file itself (a logic-analyzer session): the record file
    // imported from it to open instead, or none with the reason in error when the import
    // failed. None with an empty error, or no hook, opens the path as a record file. The
    // document opened from an import has no path, so Save asks for a new name.
    std::function<std::optional<std::string>(const std::string& path, std::string& error)>
        importSession;
    // Decodes the record file into the document in place of OpenRecordFile (a window decodes
    // large files pass by pass and returns after the first); the result so far.
    std::function<FileResult(const std::string& path)> decode;
};

// What a command did. done: it went ahead; result: the file result of its open or save (kOk
// also when it stopped at the user's Cancel).
struct CommandOutcome {
    bool done = false;
    FileResult result;
};

class CDocumentCommands {
  public:
    // The document must outlive the commands.
    CDocumentCommands(CKVDoc& document, DocumentCommandHooks hooks);

    // Empties the document after the save question.
    CommandOutcome New();
    // Opens a record file after the save question.
    CommandOutcome Open(const std::string& path);
    // Opens a record file without asking (the question was asked already). A path that cannot
    // be read leaves the current document as it was.
    CommandOutcome Load(const std::string& path);
    // Saves to the document's path, or asks for one when it has none.
    CommandOutcome Save();
    // Asks for a path (".zaz" added when it has no extension) and saves there.
    CommandOutcome SaveAs();
    CommandOutcome SaveTo(const std::string& path);
    // The save question for a modified document: true when the caller may go ahead (No, or
    // Yes and the save succeeded, or nothing to save).
    bool MaybeSaveModified();

    // Save and Save As are offered: no capture is recording and the document has its file.
    bool CanSave() const;
    // Where Save points: the absolute path last opened or saved, "" for a new document.
    const std::string& DocumentPath() const { return documentPath_; }
    // A live capture emptied the document ("") or made it decode its record file: Save and the
    // title follow.
    void SetDocumentPath(const std::string& path) { documentPath_ = path; }
    // The document's name in the title and the save question: its file name or "Untitled".
    std::string DocumentTitle() const;

  private:
    void ShowError(const std::string& text) const;
    void SetBusy(bool busy) const;
    static void Tell(const std::function<void(const std::string&)>& hook, const std::string& path);

    CKVDoc& document_;
    DocumentCommandHooks hooks_;
    std::string documentPath_;
};

// The path with ".zaz" appended when its file name has no extension.
std::string WithRecordFileSuffix(const std::string& path);
