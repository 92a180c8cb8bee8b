// The analyzer's bulk-in stream as the reader thread sees it.
#pragma once

#include <cstddef>
#include <cstdint>

class StreamSource {
  public:
    virtual ~StreamSource() = default;

    // Reads up to size bytes, waiting at most timeoutMs for the first of them. Returns the
    // number of bytes read, 0 when none came in time, -1 when the read failed.
    virtual long ReadStream(uint8_t* buffer, size_t size, int timeoutMs) = 0;
};
