// What a view or a command-line tool learns from the capture document.
#pragma once

#include <cstdint>
#include <string>

// Every callback runs on the thread that called the document operation, with the document's
// lock held. Default implementations ignore the event.
class CKVDocObserver {
  public:
    virtual ~CKVDocObserver() = default;

    // Status bar texts such as "Decoding... 42%" or "Decode completed.".
    virtual void OnStatusText(const std::string& /*text*/) {}
    // Progress of the operation that produced the last status text, 0-100.
    virtual void OnProgress(int /*percent*/) {}
    // Packets or samples were added or removed, or markers changed: refresh.
    virtual void OnContentsChanged() {}
    // The document was emptied: drop every row and cached text.
    virtual void OnEmptied() {}
    // The time origin moved by delta microseconds (views showing times shift by -delta).
    virtual void OnTimeOriginChanged(int64_t /*delta*/) {}
};
