#include "app/commands/document_commands.h"

#include <filesystem>
#include <system_error>

#include "capture/document.h"
#include "capture/record_file_io.h"

namespace {

constexpr const char* kUntitled = "Untitled";
constexpr const char* kRecordFileSuffix = ".zaz";

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// The open error and the path it concerns, as the message box shows them.
std::string OpenErrorText(FileResult result, const std::string& path) {
    return FileResultText(FileCommand::kOpen, result) + "\n\n\"" + path + "\"";
}

}  // namespace

std::string WithRecordFileSuffix(const std::string& path) {
    return std::filesystem::path(path).has_extension() ? path : path + kRecordFileSuffix;
}

CDocumentCommands::CDocumentCommands(CKVDoc& document, DocumentCommandHooks hooks)
    : document_(document), hooks_(std::move(hooks)) {}

void CDocumentCommands::ShowError(const std::string& text) const {
    if (hooks_.showError) {
        hooks_.showError(text);
    }
}

void CDocumentCommands::SetBusy(bool busy) const {
    if (hooks_.setBusy) {
        hooks_.setBusy(busy);
    }
}

void CDocumentCommands::Tell(const std::function<void(const std::string&)>& hook,
                             const std::string& path) {
    if (hook) {
        hook(path);
    }
}

std::string CDocumentCommands::DocumentTitle() const {
    return documentPath_.empty() ? kUntitled
                                 : std::filesystem::path(documentPath_).filename().string();
}

bool CDocumentCommands::CanSave() const {
    return !document_.Recording() && !documentPath_.empty() && !document_.RecordFilePath().empty();
}

bool CDocumentCommands::MaybeSaveModified() {
    if (!document_.Modified()) {
        return true;
    }
    const SaveAnswer answer =
        hooks_.askSaveChanges ? hooks_.askSaveChanges(DocumentTitle()) : SaveAnswer::kNo;
    switch (answer) {
        case SaveAnswer::kYes:
            return Save().done;
        case SaveAnswer::kNo:
            return true;
        case SaveAnswer::kCancel:
            break;
    }
    return false;
}

CommandOutcome CDocumentCommands::New() {
    if (!MaybeSaveModified()) {
        return {};
    }
    document_.DeleteContents();
    documentPath_.clear();
    return {true, {}};
}

CommandOutcome CDocumentCommands::Open(const std::string& path) {
    if (!MaybeSaveModified()) {
        return {};
    }
    return Load(path);
}

CommandOutcome CDocumentCommands::Load(const std::string& path) {
    const std::string absolute = AbsolutePath(path);
    if (const FileResult readable = RecordFileStatus(absolute); !readable) {
        // Nothing is replaced: the current document stays.
        ShowError(OpenErrorText(readable, path));
        Tell(hooks_.refused, path);
        return {false, readable};
    }
    SetBusy(true);
    std::string record = absolute;
    bool imported = false;
    if (hooks_.importSession) {
        std::string error;
        if (std::optional<std::string> session = hooks_.importSession(absolute, error)) {
            record = std::move(*session);
            imported = true;
        } else if (!error.empty()) {
            // Nothing is replaced: the current document stays.
            SetBusy(false);
            ShowError(error);
            return {false, {FileResult::kCannotOpen}};
        }
    }
    const FileResult opened =
        hooks_.decode ? hooks_.decode(record) : document_.OpenRecordFile(record);
    document_.SetModified(false);
    SetBusy(false);
    if (!opened && opened.kind != FileResult::kOutOfMemory) {
        // The file went away or changed kind between the check and the open: the document
        // is empty now and has no path.
        documentPath_.clear();
        ShowError(OpenErrorText(opened, path));
        Tell(hooks_.refused, path);
        return {false, opened};
    }
    if (!opened) {
        ShowError(OpenErrorText(opened, path));  // what was decoded is shown
    }
    documentPath_ = imported ? std::string() : absolute;
    Tell(hooks_.opened, absolute);
    return {true, opened};
}

CommandOutcome CDocumentCommands::Save() {
    if (documentPath_.empty()) {
        return SaveAs();
    }
    return SaveTo(documentPath_);
}

CommandOutcome CDocumentCommands::SaveAs() {
    if (!hooks_.chooseSavePath) {
        return {};
    }
    const std::optional<std::string> chosen = hooks_.chooseSavePath(documentPath_);
    if (!chosen || chosen->empty()) {
        return {};
    }
    return SaveTo(WithRecordFileSuffix(*chosen));
}

CommandOutcome CDocumentCommands::SaveTo(const std::string& path) {
    if (document_.RecordFilePath().empty() || document_.Recording()) {
        return {};
    }
    const std::string target = AbsolutePath(path);
    SetBusy(true);
    const FileResult saved = document_.SaveAs(target);
    SetBusy(false);
    if (!saved) {
        ShowError(FileResultText(FileCommand::kSave, saved));
        return {false, saved};
    }
    documentPath_ = target;
    Tell(hooks_.saved, target);
    return {true, saved};
}
