// What a view or a command-line tool learns from the capture document.
#pragma once

#include <cstdint>
#include <string>

#include "capture/document_change.h"

// Every callback runs on the thread that called the document operation, once the operation has
// released the document's lock: a callback may read the document, or wait for another thread
// that does. Default implementations ignore the event.
class CKVDocObserver {
  public:
    virtual ~CKVDocObserver() = default;

    // Status bar texts such as "Decoding... 42%" or "Decode completed.".
    virtual void OnStatusText(const std::string& /*text*/) {}
    // Progress of the operation that produced the last status text, 0-100.
    virtual void OnProgress(int /*percent*/) {}
    // The packet array changed; comes before the OnContentsChanged of the same operation, in
    // the order the changes happened. Packets removed by the change stay valid until it returns.
    virtual void OnPacketsChanged(const PacketChange& /*change*/) {}
    // Packets or samples were added or removed, or markers changed: refresh.
    virtual void OnContentsChanged() {}
    // The time origin moved by delta microseconds (views showing times shift by -delta).
    virtual void OnTimeOriginChanged(int64_t /*delta*/) {}
};
