#include "app/shell/decode_session.h"

#include <QElapsedTimer>

#include "capture/document.h"

namespace {
// Passes run back to back for this long before the event loop gets its turn.
constexpr qint64 kSliceMs = 40;
}  // namespace

CDecodeSession::CDecodeSession(CKVDoc& document, QObject* parent)
    : QObject(parent), document_(document) {
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &CDecodeSession::Step);
}

FileResult CDecodeSession::Start(const std::string& path) {
    if (active_) {
        Cancel();
    }
    document_.BeginDecode(path);
    active_ = true;
    result_ = {};
    if (Pass()) {
        timer_.start();
    }
    return result_;
}

bool CDecodeSession::Pass() {
    bool done = false;
    const FileResult result = document_.DecodePass(done);
    if (result.kind == FileResult::kNothingNew) {
        End(false);
        return false;
    }
    if (!result) {
        result_ = result;
        End(false);
        return false;
    }
    if (done) {
        End(false);
        return false;
    }
    return true;
}

void CDecodeSession::Step() {
    QElapsedTimer slice;
    slice.start();
    while (active_ && slice.elapsed() < kSliceMs) {
        if (!Pass()) {
            return;
        }
    }
}

void CDecodeSession::RunToEnd() {
    while (active_ && Pass()) {
    }
}

void CDecodeSession::Cancel() {
    if (active_) {
        End(true);
    }
}

void CDecodeSession::End(bool cancelled) {
    timer_.stop();
    active_ = false;
    document_.FinishDecode();
    emit finished(result_, cancelled);
}
