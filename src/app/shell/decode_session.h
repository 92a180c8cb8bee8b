// Opening a record file without freezing the window: the document decodes it pass by pass
// (one read of up to 1 MB each) from the event loop, so the window paints, the status bar
// shows "Decoding... %d%%" and Cancel (Esc) is heard between passes. The first pass runs at
// once, so a file of one read is decoded completely before Start returns.
#pragma once

#include <QObject>
#include <QTimer>
#include <string>

#include "capture/file_result.h"

class CKVDoc;

class CDecodeSession : public QObject {
    Q_OBJECT

  public:
    CDecodeSession(CKVDoc& document, QObject* parent = nullptr);

    // Cancels a running decode, empties the document, makes path its record file and decodes
    // the first pass; the result of that pass (kOk also when the file is empty).
    FileResult Start(const std::string& path);
    // Stops between passes: the document keeps what was decoded and the session ends.
    void Cancel();
    // Runs the remaining passes without returning to the event loop.
    void RunToEnd();
    bool Active() const { return active_; }

  signals:
    // The session ended: the whole file was read (cancelled false) or Cancel stopped it.
    // result is kOutOfMemory when memory ran out, kCannotOpen when the file went away.
    void finished(FileResult result, bool cancelled);

  private:
    // One turn of the event loop: passes for at most a slice of time.
    void Step();
    // One pass; true when the session goes on.
    bool Pass();
    void End(bool cancelled);

    CKVDoc& document_;
    QTimer timer_;
    bool active_ = false;
    FileResult result_;
};
