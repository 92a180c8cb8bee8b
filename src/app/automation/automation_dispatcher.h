// Remote control of a capture by other programs: the five requests (record file name, record
// folder, start, stop, export) checked and handed to the main window. Knows no transport; the
// session-bus service on Linux and the window messages on Windows both feed it.
#pragma once

#include <string>

enum class AutomationRequestKind {
    kSetRecordFileName,  // text: the record file name ("" forgets it)
    kSetRecordFolder,    // text: the record folder ("" forgets it)
    kStart,              // Run, when a record file name is set
    kStop,               // forget name and folder; stop a recording capture
    kExport,             // the automatic export of the current document
};

struct AutomationRequest {
    AutomationRequestKind kind = AutomationRequestKind::kStop;
    std::string text;  // UTF-8; used by the two setters only
};

enum class AutomationOutcome {
    kDone,
    kInvalidName,        // the name would leave the folder or cannot name a file
    kInvalidFolder,      // the folder is not a writable folder
    kNoRecordFileName,   // start without a record file name: nothing happens
    kNotStarted,         // start did not lead to a recording capture
    kExportUnavailable,  // a capture records, the document has no record file, or one runs
};

// The main window as remote control sees it.
class AutomationTarget {
  public:
    virtual ~AutomationTarget() = default;
    virtual void SetRecordFileName(const std::string& name) = 0;
    // False when the folder cannot take record files (nothing changes then).
    virtual bool SetRecordFolder(const std::string& folder) = 0;
    virtual bool HasRecordFileName() const = 0;
    // Runs a capture; true when one records afterwards.
    virtual bool Start() = 0;
    virtual void Stop() = 0;
    // Opens the automatic export; false when exporting is not possible now.
    virtual bool Export() = 0;
};

// Longest record file name accepted, in bytes with its ".zaz": a numbered successor
// ("_0002" before the extension) must still fit the 255-byte limit of file names.
inline constexpr size_t kMaxRemoteRecordFileName = 250;

// True when name can be a record file name inside the record folder: not empty, no path
// separator (slash or backslash), no control character, not "." or "..", and short enough.
bool IsValidRemoteRecordFileName(const std::string& name);

class AutomationDispatcher {
  public:
    // The target outlives the dispatcher.
    explicit AutomationDispatcher(AutomationTarget& target) : target_(target) {}

    AutomationOutcome Dispatch(const AutomationRequest& request);

  private:
    AutomationTarget& target_;
};

// One line for a user, e.g. "no record file name is set".
const char* AutomationOutcomeText(AutomationOutcome outcome);
// A stable identifier of the outcome, e.g. "NoRecordFileName" (error names of a transport).
const char* AutomationOutcomeName(AutomationOutcome outcome);
