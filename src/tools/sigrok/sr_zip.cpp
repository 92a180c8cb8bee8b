#include "tools/sigrok/sr_zip.h"

#include <zip.h>
#include <zlib.h>

#include <cstring>
#include <new>
#include <vector>

namespace {

std::string ErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

// What the two kinds of member source answer alike: every command but READ and STAT.
template <typename Member>
zip_int64_t CommonCommand(Member* member, void* data, zip_uint64_t length, zip_source_cmd_t cmd) {
    switch (cmd) {
        case ZIP_SOURCE_OPEN:
            member->done = 0;
            return 0;
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&member->error, data, length);
        case ZIP_SOURCE_FREE:
            zip_error_fini(&member->error);
            delete member;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
                                                  ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            zip_error_set(&member->error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
    }
}

// State of one generated member while libzip reads it.
struct GeneratedMember {
    uint64_t size = 0;
    uint64_t done = 0;  // bytes produced
    SrMemberGenerator generator;
    zip_error_t error;
};

zip_int64_t GeneratedSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t cmd) {
    auto* member = static_cast<GeneratedMember*>(state);
    switch (cmd) {
        case ZIP_SOURCE_READ: {
            const uint64_t want = std::min<uint64_t>(length, member->size - member->done);
            size_t done = 0;
            auto* out = static_cast<uint8_t*>(data);
            while (done < want) {
                const size_t got = member->generator(out + done, static_cast<size_t>(want - done));
                if (got == 0) {
                    zip_error_set(&member->error, ZIP_ER_READ, 0);
                    return -1;
                }
                done += got;
            }
            member->done += done;
            return static_cast<zip_int64_t>(done);
        }
        case ZIP_SOURCE_STAT: {
            auto* stat = static_cast<zip_stat_t*>(data);
            zip_stat_init(stat);
            stat->size = member->size;
            stat->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        default:
            return CommonCommand(member, data, length, cmd);
    }
}

// State of one deflated member while libzip copies it.
struct DeflatedMember {
    std::shared_ptr<const SrDeflatedBytes> bytes;
    uint64_t done = 0;  // bytes copied
    zip_error_t error;
};

// Reports the member as deflated already, with its CRC, so that libzip copies the stream instead
// of compressing it again.
zip_int64_t DeflatedSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t cmd) {
    auto* member = static_cast<DeflatedMember*>(state);
    const std::string& stream = member->bytes->stream;
    switch (cmd) {
        case ZIP_SOURCE_READ: {
            const uint64_t count = std::min<uint64_t>(length, stream.size() - member->done);
            std::memcpy(data, stream.data() + member->done, count);
            member->done += count;
            return static_cast<zip_int64_t>(count);
        }
        case ZIP_SOURCE_STAT: {
            auto* stat = static_cast<zip_stat_t*>(data);
            zip_stat_init(stat);
            stat->size = member->bytes->size;
            stat->comp_size = stream.size();
            stat->comp_method = ZIP_CM_DEFLATE;
            stat->crc = member->bytes->crc;
            stat->valid |= ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
            return sizeof(zip_stat_t);
        }
        default:
            return CommonCommand(member, data, length, cmd);
    }
}

}  // namespace

std::shared_ptr<const SrDeflatedBytes> DeflateRun(uint8_t value, uint64_t size) {
    try {
        auto bytes = std::make_shared<SrDeflatedBytes>();
        const std::vector<uint8_t> run(static_cast<size_t>(size), value);
        bytes->size = size;
        bytes->crc = static_cast<uint32_t>(crc32_z(0, run.data(), run.size()));
        z_stream stream{};
        // A raw deflate stream, as a zip member holds it; a run this long shrinks a
        // thousandfold at the best level.
        if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) !=
            Z_OK) {
            return nullptr;
        }
        bytes->stream.resize(deflateBound(&stream, static_cast<uLong>(run.size())));
        stream.next_in = const_cast<Bytef*>(run.data());
        stream.avail_in = static_cast<uInt>(run.size());
        stream.next_out = reinterpret_cast<Bytef*>(bytes->stream.data());
        stream.avail_out = static_cast<uInt>(bytes->stream.size());
        const int status = deflate(&stream, Z_FINISH);
        bytes->stream.resize(stream.total_out);
        deflateEnd(&stream);
        return status == Z_STREAM_END ? std::move(bytes) : nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

SrZipReader::SrZipReader(const std::string& path) {
    int code = 0;
    archive_ = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (archive_ == nullptr) {
        error_ = ErrorText(code);
    }
}

SrZipReader::~SrZipReader() {
    if (archive_ != nullptr) {
        zip_discard(archive_);
    }
}

bool SrZipReader::Has(const std::string& name) const {
    return archive_ != nullptr && zip_name_locate(archive_, name.c_str(), 0) >= 0;
}

std::optional<std::string> SrZipReader::ReadSmall(const std::string& name, uint64_t maxBytes) {
    zip_stat_t stat;
    if (archive_ == nullptr || zip_stat(archive_, name.c_str(), 0, &stat) != 0 ||
        (stat.valid & ZIP_STAT_SIZE) == 0 || stat.size > maxBytes) {
        return std::nullopt;
    }
    std::string text;
    const bool ok = ReadPieces(name, 65536, [&](const uint8_t* data, size_t size) {
        text.append(reinterpret_cast<const char*>(data), size);
        return true;
    });
    if (!ok || text.size() > maxBytes) {
        return std::nullopt;
    }
    return text;
}

bool SrZipReader::ReadPieces(const std::string& name, size_t chunk,
                             const std::function<bool(const uint8_t*, size_t)>& piece) {
    if (archive_ == nullptr) {
        return false;
    }
    zip_file_t* file = zip_fopen(archive_, name.c_str(), 0);
    if (file == nullptr) {
        error_ = zip_error_strerror(zip_get_error(archive_));
        return false;
    }
    std::vector<uint8_t> buffer(chunk);
    bool ok = true;
    for (;;) {
        const zip_int64_t got = zip_fread(file, buffer.data(), buffer.size());
        if (got < 0) {
            error_ = zip_error_strerror(zip_file_get_error(file));
            ok = false;
            break;
        }
        if (got == 0) {
            break;
        }
        if (!piece(buffer.data(), static_cast<size_t>(got))) {
            error_ = "stopped";
            ok = false;
            break;
        }
    }
    zip_fclose(file);
    return ok;
}

SrZipWriter::SrZipWriter(const std::string& path) {
    int code = 0;
    archive_ = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (archive_ == nullptr) {
        error_ = ErrorText(code);
    }
}

SrZipWriter::~SrZipWriter() {
    if (archive_ != nullptr) {
        zip_discard(archive_);
    }
}

bool SrZipWriter::AddText(const std::string& name, const std::string& text) {
    if (archive_ == nullptr) {
        return false;
    }
    // libzip reads the bytes only when the archive is written: keep them until then.
    texts_.push_back(text);
    zip_source_t* source =
        zip_source_buffer(archive_, texts_.back().data(), texts_.back().size(), 0);
    if (source == nullptr) {
        return false;
    }
    const int64_t index = AddSource(name, source);
    return index >= 0 && zip_set_file_compression(archive_, static_cast<zip_uint64_t>(index),
                                                  ZIP_CM_STORE, 0) == 0;
}

int64_t SrZipWriter::AddSource(const std::string& name, zip_source_t* source) {
    const zip_int64_t index = zip_file_add(archive_, name.c_str(), source, ZIP_FL_OVERWRITE);
    if (index < 0) {
        error_ = zip_error_strerror(zip_get_error(archive_));
        zip_source_free(source);  // frees a function source's member too
    }
    return index;
}

bool SrZipWriter::AddGenerated(const std::string& name, uint64_t size,
                               SrMemberGenerator generator) {
    if (archive_ == nullptr) {
        return false;
    }
    auto* member = new GeneratedMember{size, 0, std::move(generator), {}};
    zip_error_init(&member->error);
    zip_source_t* source = zip_source_function(archive_, GeneratedSource, member);
    if (source == nullptr) {
        zip_error_fini(&member->error);
        delete member;
        return false;
    }
    const int64_t index = AddSource(name, source);
    // The fastest deflate level: long constant runs compress well at any level.
    return index >= 0 && zip_set_file_compression(archive_, static_cast<zip_uint64_t>(index),
                                                  ZIP_CM_DEFLATE, 1) == 0;
}

bool SrZipWriter::AddDeflated(const std::string& name,
                              std::shared_ptr<const SrDeflatedBytes> bytes) {
    if (archive_ == nullptr || !bytes) {
        return false;
    }
    auto* member = new DeflatedMember{std::move(bytes), 0, {}};
    zip_error_init(&member->error);
    zip_source_t* source = zip_source_function(archive_, DeflatedSource, member);
    if (source == nullptr) {
        zip_error_fini(&member->error);
        delete member;
        return false;
    }
    return AddSource(name, source) >= 0;
}

bool SrZipWriter::Close() {
    if (archive_ == nullptr) {
        return false;
    }
    if (zip_close(archive_) != 0) {
        error_ = zip_error_strerror(zip_get_error(archive_));
        return false;  // the destructor discards the archive
    }
    archive_ = nullptr;
    return true;
}
