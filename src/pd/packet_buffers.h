// Compact owned buffers of a CC packet: its bits packed eight to a byte and its message bytes,
// each holding exactly what was decoded, so that a packet kept for the life of a capture costs
// little more than its record bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

// Decoded bits, one bit each. Appending grows within the capacity reserved for the packet;
// ShrinkToFit gives back what the decode did not use. Up to 64 bits (a noise burst's) are held
// in place, more on the heap.
class PackedBits {
  public:
    PackedBits() = default;
    ~PackedBits() { FreeHeap(); }
    PackedBits(const PackedBits& other) { *this = other; }
    PackedBits& operator=(const PackedBits& other) {
        if (this != &other) {
            size_ = 0;
            Reallocate(other.size_);
            size_ = other.size_;
            if (size_ != 0) {
                std::memcpy(Data(), other.Data(), ByteCount(size_));
            }
        }
        return *this;
    }
    PackedBits(PackedBits&& other) noexcept { Take(other); }
    PackedBits& operator=(PackedBits&& other) noexcept {
        if (this != &other) {
            FreeHeap();
            Take(other);
        }
        return *this;
    }
    PackedBits& operator=(std::initializer_list<uint8_t> bits) {
        clear();
        reserve(bits.size());
        for (uint8_t bit : bits) {
            push_back(bit);
        }
        return *this;
    }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Bit i as 0 or 1; 0 beyond the end.
    uint8_t operator[](size_t i) const {
        return i < size_ ? static_cast<uint8_t>((Data()[i / 8] >> (i % 8)) & 1u) : 0;
    }

    // Bits [at, at + count) as a number with bit `at` lowest (count <= 25); 0 beyond the end.
    uint32_t Field(size_t at, unsigned count) const {
        if (at >= size_ || count == 0) {
            return 0;
        }
        const size_t end = std::min<size_t>(at + count, size_);
        uint32_t value = 0;
        for (size_t byte = (end - 1) / 8 + 1; byte-- > at / 8;) {
            value = value << 8 | Data()[byte];
        }
        value >>= at % 8;
        const size_t width = end - at;
        return width >= 32 ? value : value & ((uint32_t{1} << width) - 1);
    }

    void clear() { size_ = 0; }
    // Room for `count` bits; may throw std::bad_alloc.
    void reserve(size_t count) {
        if (count > capacity_) {
            Reallocate(count);
        }
    }
    void push_back(uint8_t bit) {
        if (size_ == capacity_) {
            Reallocate(std::max<size_t>(64, 2 * capacity_));
        }
        uint8_t& byte = Data()[size_ / 8];
        const auto mask = static_cast<uint8_t>(1u << (size_ % 8));
        byte = static_cast<uint8_t>(bit != 0 ? (byte | mask) : (byte & ~mask));
        ++size_;
    }
    // Appends the low `count` bits of `word` (count <= 64), the lowest first: as many push_back
    // calls, a byte at a time.
    void Append(uint64_t word, size_t count) {
        if (count == 0) {
            return;
        }
        if (count < 64) {
            word &= (uint64_t{1} << count) - 1;
        }
        if (size_ + count > capacity_) {
            Reallocate(std::max<size_t>({64, 2 * static_cast<size_t>(capacity_), size_ + count}));
        }
        uint8_t* out = Data() + size_ / 8;
        const unsigned shift = size_ % 8;
        const size_t bytes = ByteCount(shift + count);
        const uint64_t low = word << shift;
        out[0] = static_cast<uint8_t>((out[0] & ((1u << shift) - 1)) | (low & 0xFF));
        for (size_t k = 1; k < bytes && k < 8; ++k) {
            out[k] = static_cast<uint8_t>(low >> (8 * k));
        }
        if (bytes > 8) {
            out[8] = static_cast<uint8_t>(word >> (64 - shift));
        }
        size_ += static_cast<uint32_t>(count);
    }
    void resize(size_t count, uint8_t bit = 0) {
        reserve(count);
        while (size_ < count) {
            push_back(bit);
        }
        size_ = count;
    }
    void shrink_to_fit() {
        if (capacity_ != size_) {
            Reallocate(size_);
        }
    }

    // Bytes held, for accounting.
    size_t capacity() const { return capacity_; }

    bool operator==(const std::vector<uint8_t>& bits) const {
        if (bits.size() != size_) {
            return false;
        }
        for (size_t i = 0; i < size_; ++i) {
            if ((*this)[i] != bits[i]) {
                return false;
            }
        }
        return true;
    }

  private:
    static size_t ByteCount(size_t bits) { return (bits + 7) / 8; }

    static constexpr size_t kInlineBits = 64;

    // The storage holds the bits themselves, or the address of the heap bytes that do.
    uint8_t* Heap() const {
        uint8_t* heap = nullptr;
        std::memcpy(&heap, storage_, sizeof(heap));
        return heap;
    }
    uint8_t* Data() { return capacity_ > kInlineBits ? Heap() : storage_; }
    const uint8_t* Data() const { return capacity_ > kInlineBits ? Heap() : storage_; }

    void FreeHeap() {
        if (capacity_ > kInlineBits) {
            delete[] Heap();
        }
        capacity_ = 0;
    }

    // Leaves `other` empty.
    void Take(PackedBits& other) {
        std::memcpy(storage_, other.storage_, sizeof(storage_));
        size_ = other.size_;
        capacity_ = other.capacity_;
        other.size_ = 0;
        other.capacity_ = 0;
    }

    // May throw std::bad_alloc, leaving the bits as they were.
    void Reallocate(size_t capacity) {
        const size_t kept = ByteCount(std::min<size_t>(size_, capacity));
        uint8_t* heap = nullptr;
        uint8_t bytes[sizeof(storage_)] = {};
        if (capacity > kInlineBits) {
            heap = new uint8_t[ByteCount(capacity)]();
        }
        uint8_t* target = heap != nullptr ? heap : bytes;
        if (capacity_ > kInlineBits) {
            std::memcpy(target, Heap(), kept);
        } else {
            // At most the eight bytes in place: they hold at most 64 bits.
            std::memcpy(target, storage_, std::min(kept, sizeof(storage_)));
        }
        FreeHeap();
        if (heap != nullptr) {
            std::memcpy(storage_, &heap, sizeof(heap));
        } else {
            std::memcpy(storage_, bytes, sizeof(storage_));
        }
        capacity_ = static_cast<uint32_t>(capacity);
    }

    static_assert(sizeof(uint8_t*) <= 8);
    alignas(8) uint8_t storage_[8] = {};
    uint32_t size_ = 0;
    uint32_t capacity_ = 0;
};

// The assembled message bytes, as many as were assembled (CRC included). Reading past them gives
// 0, so the header of a packet whose check stopped early reads as 0. Up to 14 bytes (a control
// message or a Request with its CRC) are held in place, longer messages on the heap.
class MessageBytes {
  public:
    MessageBytes() = default;
    ~MessageBytes() { Clear(); }
    MessageBytes(const MessageBytes& other) { Assign(other.data(), other.size()); }
    MessageBytes& operator=(const MessageBytes& other) {
        if (this != &other) {
            Assign(other.data(), other.size());
        }
        return *this;
    }
    MessageBytes(MessageBytes&& other) noexcept { Take(other); }
    MessageBytes& operator=(MessageBytes&& other) noexcept {
        if (this != &other) {
            Clear();
            Take(other);
        }
        return *this;
    }

    // Replaces the bytes; may throw std::bad_alloc (then the bytes are left empty).
    void Assign(const uint8_t* bytes, size_t count) {
        Clear();
        count = std::min<size_t>(count, UINT16_MAX);
        if (count > kInlineBytes) {
            uint8_t* heap = new uint8_t[count];
            std::memcpy(heap, bytes, count);
            std::memcpy(storage_, &heap, sizeof heap);
        } else if (count != 0) {
            std::memcpy(storage_, bytes, count);
        }
        size_ = static_cast<uint16_t>(count);
    }
    void Assign(const std::vector<uint8_t>& bytes) { Assign(bytes.data(), bytes.size()); }
    void Clear() {
        if (size_ > kInlineBytes) {
            delete[] Heap();
        }
        size_ = 0;
    }

    size_t size() const { return size_; }
    const uint8_t* data() const { return size_ > kInlineBytes ? Heap() : storage_; }
    const uint8_t* begin() const { return data(); }
    const uint8_t* end() const { return data() + size_; }
    uint8_t operator[](size_t i) const { return i < size_ ? data()[i] : 0; }

  private:
    static constexpr size_t kInlineBytes = 14;

    uint8_t* Heap() const {
        uint8_t* heap = nullptr;
        std::memcpy(&heap, storage_, sizeof heap);
        return heap;
    }
    void Take(MessageBytes& other) {
        std::memcpy(storage_, other.storage_, sizeof storage_);
        size_ = other.size_;
        other.size_ = 0;
    }

    // The bytes themselves, or the address of their heap copy (kept unaligned so that the
    // whole buffer takes 16 bytes).
    uint8_t storage_[kInlineBytes] = {};
    uint16_t size_ = 0;
};
static_assert(sizeof(MessageBytes) == 16);
