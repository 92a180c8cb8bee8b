// The zip container of a sigrok session, through libzip: reading members in pieces, and
// writing members whose bytes a generator produces while the archive is written.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

struct zip;
struct zip_file;
struct zip_source;

// An archive opened for reading.
class SrZipReader {
  public:
    // Opens path; on failure IsOpen() is false and Error() says why.
    explicit SrZipReader(const std::string& path);
    ~SrZipReader();
    SrZipReader(const SrZipReader&) = delete;
    SrZipReader& operator=(const SrZipReader&) = delete;

    bool IsOpen() const { return archive_ != nullptr; }
    const std::string& Error() const { return error_; }

    bool Has(const std::string& name) const;
    // A whole member of at most maxBytes bytes; nothing when it is missing, larger or unreadable.
    std::optional<std::string> ReadSmall(const std::string& name, uint64_t maxBytes);
    // Reads a member in pieces of up to `chunk` bytes, handing each to `piece`, which returns
    // false to stop early. False when the member cannot be opened or read to its end, or when
    // `piece` stopped the reading.
    bool ReadPieces(const std::string& name, size_t chunk,
                    const std::function<bool(const uint8_t* data, size_t size)>& piece);

  private:
    zip* archive_ = nullptr;
    std::string error_;
};

// Produces a member's bytes in order: fills up to `size` bytes at `out`, returns how many.
using SrMemberGenerator = std::function<size_t(uint8_t* out, size_t size)>;

// A member's bytes already deflated (a raw deflate stream), with the size and CRC-32 of what it
// inflates to. Several members may share one.
struct SrDeflatedBytes {
    std::string stream;
    uint64_t size = 0;
    uint32_t crc = 0;
};

// Deflates `size` bytes of `value` once; nothing when memory or zlib fails.
std::shared_ptr<const SrDeflatedBytes> DeflateRun(uint8_t value, uint64_t size);

// An archive being created; nothing is on disk until Close().
class SrZipWriter {
  public:
    explicit SrZipWriter(const std::string& path);
    ~SrZipWriter();
    SrZipWriter(const SrZipWriter&) = delete;
    SrZipWriter& operator=(const SrZipWriter&) = delete;

    bool IsOpen() const { return archive_ != nullptr; }
    const std::string& Error() const { return error_; }

    // A stored text member.
    bool AddText(const std::string& name, const std::string& text);
    // A deflated member of exactly `size` bytes whose bytes `generator` yields during Close().
    bool AddGenerated(const std::string& name, uint64_t size, SrMemberGenerator generator);
    // A deflated member whose compressed bytes are copied as they are during Close().
    bool AddDeflated(const std::string& name, std::shared_ptr<const SrDeflatedBytes> bytes);
    // Writes the archive; false when it cannot be written completely.
    bool Close();

  private:
    // Adds a member read from `source` (freed on failure); its index, or -1.
    int64_t AddSource(const std::string& name, zip_source* source);

    zip* archive_ = nullptr;
    std::string error_;
    std::deque<std::string> texts_;  // bytes of the text members until Close()
};
