#include "app/automation/automation_dispatcher.h"

#include "capture/record_naming.h"

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool HasControlCharacter(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            return true;
        }
    }
    return false;
}

// ".ZAZ" and the like: an extension that differs from ".zaz" in case only, which would end up
// as "x.ZAZ.zaz".
bool HasExtensionInOtherCase(const std::string& name, const std::string& extension) {
    if (name.size() < extension.size() || EndsWith(name, extension)) {
        return false;
    }
    for (size_t i = 0; i < extension.size(); ++i) {
        const char c = name[name.size() - extension.size() + i];
        if ((c | 0x20) != extension[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsValidRemoteRecordFileName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || HasControlCharacter(name) ||
        name.find_first_of("/\\") != std::string::npos) {
        return false;
    }
    // A name of blanks, or with blanks around it, is no name a user could find again.
    if (name.front() == ' ' || name.back() == ' ') {
        return false;
    }
    const std::string extension = kRecordFileExtension;
    if (HasExtensionInOtherCase(name, extension)) {
        return false;
    }
    const size_t length = EndsWith(name, extension) ? name.size() : name.size() + extension.size();
    // ".zaz" alone would leave a hidden file with an empty stem.
    return length <= kMaxRemoteRecordFileName && name != extension;
}

AutomationOutcome AutomationDispatcher::Dispatch(const AutomationRequest& request) {
    switch (request.kind) {
        case AutomationRequestKind::kSetRecordFileName:
            if (!request.text.empty() && !IsValidRemoteRecordFileName(request.text)) {
                return AutomationOutcome::kInvalidName;
            }
            target_.SetRecordFileName(request.text);
            return AutomationOutcome::kDone;
        case AutomationRequestKind::kSetRecordFolder:
            if (HasControlCharacter(request.text) ||
                (!request.text.empty() && !target_.SetRecordFolder(request.text))) {
                return AutomationOutcome::kInvalidFolder;
            }
            if (request.text.empty()) {
                target_.SetRecordFolder(request.text);
            }
            return AutomationOutcome::kDone;
        case AutomationRequestKind::kStart:
            if (!target_.HasRecordFileName()) {
                return AutomationOutcome::kNoRecordFileName;
            }
            return target_.Start() ? AutomationOutcome::kDone : AutomationOutcome::kNotStarted;
        case AutomationRequestKind::kStop:
            target_.Stop();
            return AutomationOutcome::kDone;
        case AutomationRequestKind::kExport:
            return target_.Export() ? AutomationOutcome::kDone
                                    : AutomationOutcome::kExportUnavailable;
    }
    return AutomationOutcome::kDone;
}

const char* AutomationOutcomeText(AutomationOutcome outcome) {
    switch (outcome) {
        case AutomationOutcome::kDone:
            return "done";
        case AutomationOutcome::kInvalidName:
            return "not a record file name (no slash, backslash or control character, at most "
                   "250 bytes with its .zaz)";
        case AutomationOutcome::kInvalidFolder:
            return "not a writable folder";
        case AutomationOutcome::kNoRecordFileName:
            return "no record file name is set";
        case AutomationOutcome::kNotStarted:
            return "no capture started (the analyzer is not connected, or a capture records "
                   "already)";
        case AutomationOutcome::kExportUnavailable:
            return "nothing to export now (a capture records, no record file is open, or an "
                   "export runs)";
    }
    return "";
}

const char* AutomationOutcomeName(AutomationOutcome outcome) {
    switch (outcome) {
        case AutomationOutcome::kDone:
            return "Done";
        case AutomationOutcome::kInvalidName:
            return "InvalidName";
        case AutomationOutcome::kInvalidFolder:
            return "InvalidFolder";
        case AutomationOutcome::kNoRecordFileName:
            return "NoRecordFileName";
        case AutomationOutcome::kNotStarted:
            return "NotStarted";
        case AutomationOutcome::kExportUnavailable:
            return "ExportUnavailable";
    }
    return "";
}
