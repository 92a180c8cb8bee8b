#include "capture/document.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <new>
#include <utility>

#include "capture/find_last_at_or_before.h"
#include "capture/packets_in_view.h"
#include "capture/record_file_io.h"
#include "capture/record_naming.h"
#include "capture/staged_file.h"
#include "pd/electrical_readings.h"
#include "pd/packet_duration.h"
#include "pd/tolerant_decoder.h"

namespace {

// Longest a decode may read while a capture records (see DecodeToEnd).
constexpr auto kRecordingDecodeTime = std::chrono::milliseconds(400);

std::string Format(const char* format, int value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace

CKVDoc::CKVDoc() {}

class CKVDoc::Operation {
  public:
    explicit Operation(CKVDoc& doc) : doc_(doc), lock_(doc.mutex_) { ++doc_.operationDepth_; }
    ~Operation() {
        if (--doc_.operationDepth_ != 0 || doc_.notices_.Empty()) {
            return;  // an enclosing operation of this thread tells the observers, or none needed
        }
        const DocumentNotices notices = std::exchange(doc_.notices_, {});
        const std::vector<CKVDocObserver*> observers = doc_.observers_;
        lock_.unlock();
        notices.Deliver(observers,
                        [this](CKVDocObserver* observer) { return doc_.Observing(observer); });
    }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

  private:
    CKVDoc& doc_;
    std::unique_lock<std::recursive_mutex> lock_;
};

void CKVDoc::AddObserver(CKVDocObserver* observer) {
    std::lock_guard lock(mutex_);
    if (observer != nullptr &&
        std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
        observers_.push_back(observer);
    }
}

void CKVDoc::RemoveObserver(CKVDocObserver* observer) {
    std::lock_guard lock(mutex_);
    std::erase(observers_, observer);
}

bool CKVDoc::Observing(CKVDocObserver* observer) const {
    std::lock_guard lock(mutex_);
    return std::find(observers_.begin(), observers_.end(), observer) != observers_.end();
}

void CKVDoc::Status(const std::string& text, int percent) {
    notices_.StatusText(text, percent);
}

void CKVDoc::NoteFrontTrimmed(size_t count) {
    if (pendingMergeFrom_ != kNoMerge) {
        // The trimmed packets are not the observers' first ones in their order: start over.
        pendingReset_ = true;
    }
    const size_t known = std::min(count, publishedCount_);
    pendingTrim_ += known;
    publishedCount_ -= known;
    trimmedHold_.insert(trimmedHold_.end(), packets_.begin(),
                        packets_.begin() + static_cast<ptrdiff_t>(count));
}

void CKVDoc::PublishPacketChanges() {
    using Kind = PacketChange::Kind;
    const size_t count = packets_.size();
    if (pendingReset_) {
        notices_.PacketsChanged({Kind::kReset, 0, 0});
        publishedCount_ = 0;
    } else {
        if (pendingTrim_ != 0) {
            notices_.PacketsChanged({Kind::kFrontTrimmed, pendingTrim_, 0});
        }
        if (pendingMergeFrom_ < publishedCount_) {
            notices_.PacketsChanged({Kind::kMerged, pendingMergeFrom_, count});
            publishedCount_ = count;
        }
    }
    if (count > publishedCount_) {
        notices_.PacketsChanged({Kind::kAppended, publishedCount_, count});
    }
    publishedCount_ = count;
    pendingTrim_ = 0;
    pendingMergeFrom_ = kNoMerge;
    pendingReset_ = false;
    notices_.Hold(std::exchange(trimmedHold_, {}));
}

void CKVDoc::NotifyContentsChanged() {
    PublishPacketChanges();
    notices_.ContentsChanged();
}

// --- Opening and decoding --------------------------------------------------------------------

// Decoding is a series of operations (emptying, each pass, the end), so that the observers hear
// of each and other threads may read between them; only this thread writes the document.
FileResult CKVDoc::OpenRecordFile(const std::string& path) {
    const FileResult result = DecodeAll(path);
    Operation operation(*this);
    NotifyContentsChanged();
    return result;
}

void CKVDoc::AttachRecordFile(const std::string& folder, const std::string& name) {
    OpenRecordFile(JoinRecordPath(folder, name));
}

FileResult CKVDoc::DecodeAll(const std::string& path) {
    BeginDecode(path);
    const FileResult result = DecodeToEnd();
    Operation operation(*this);
    EndDecode();
    return result.kind == FileResult::kNothingNew ? FileResult{} : result;
}

void CKVDoc::StartDecode(const std::string& path) {
    Clear();
    recordFilePath_ = path;
    savedOrigin_ = 0;
    ResetMarkerKeys();
}

void CKVDoc::EndDecode() {
    if (FileProblems().noValidBlock) {
        // Bytes that are no analyzer data decode to chance packets and samples (a peak of
        // hundreds of watts, weeks of graph): none of it is kept. The check and the decoded
        // offset stay, so that the problem is still told and the bytes are not read again.
        const RecordFileCheck check = fileCheck_;
        const int64_t offset = decodedOffset_;
        Clear();
        fileCheck_ = check;
        decodedOffset_ = offset;
    }
    timeOrigin_ = savedOrigin_;
    RestoreMarkers();
    Status(outOfMemory_ ? kDecodeOutOfMemoryText : "Decode completed.", 100);
}

void CKVDoc::BeginDecode(const std::string& path) {
    Operation operation(*this);
    StartDecode(path);
}

void CKVDoc::FinishDecode() {
    Operation operation(*this);
    SortNewPackets();
    EndDecode();
    NotifyContentsChanged();
}

int CKVDoc::DecodePercent() const {
    std::lock_guard lock(mutex_);
    ReadOnlyFile file(recordFilePath_);
    const int64_t length = file.IsOpen() ? file.Length() : -1;
    if (length <= 0) {
        return 100;
    }
    return static_cast<int>(std::min<int64_t>(decodedOffset_, length) * 100 / length);
}

RecordFileProblems CKVDoc::FileProblems() const {
    std::lock_guard lock(mutex_);
    ReadOnlyFile file(recordFilePath_);
    const int64_t length = file.IsOpen() ? file.Length() : -1;
    if (recordFilePath_.empty() || length < 0) {
        return {};
    }
    uint64_t validCrc = 0;
    for (const PacketPtr& packet : packets_) {
        validCrc += packet->crcOk ? 1 : 0;
    }
    return FindRecordFileProblems(fileCheck_, static_cast<uint64_t>(length), validCrc);
}

FileResult CKVDoc::DecodeMore() {
    size_t packetsBefore = 0;
    size_t samplesBefore = 0;
    int64_t offsetBefore = 0;
    {
        std::lock_guard lock(mutex_);
        packetsBefore = packets_.size();
        samplesBefore = samples_.Size();
        offsetBefore = decodedOffset_;
    }
    const FileResult result = DecodeToEnd();
    Operation operation(*this);
    const bool changed = packets_.size() != packetsBefore || samples_.Size() != samplesBefore ||
                         decodedOffset_ != offsetBefore;
    if (changed) {
        NotifyContentsChanged();
    }
    if (result.kind != FileResult::kOk && result.kind != FileResult::kNothingNew) {
        return result;
    }
    return changed ? FileResult{} : FileResult{FileResult::kNothingNew};
}

// While a capture records, the reads stop early in two cases. After kRecordingDecodeTime: the
// capture tick keeps its rhythm (status, limits, stop requests) when the file grows faster than
// it decodes, and the next ticks decode the rest. And once a limit the document does not trim is
// full: the capture is about to stop or to move to its next file, and decoding on would only
// grow the document past its limit.
FileResult CKVDoc::DecodeToEnd() {
    const auto deadline = std::chrono::steady_clock::now() + kRecordingDecodeTime;
    bool done = false;
    FileResult result;
    while (true) {
        Operation operation(*this);
        if (recording_) {
            ApplyLimits();
            if (packetsFull_ || vbusFull_) {
                return result;
            }
        }
        result = ReadPass(done);
        SortNewPackets();
        if (!result || done || (recording_ && std::chrono::steady_clock::now() >= deadline)) {
            return result;
        }
    }
}

FileResult CKVDoc::DecodePass(bool& done) {
    Operation operation(*this);
    const FileResult result = ReadPass(done);
    SortNewPackets();
    return result;
}

// Packets accepted during a read are sorted into place once the read ends, so that packets
// arriving out of time order cost a sort, not an insertion each.
FileResult CKVDoc::ReadPass(bool& done) {
    done = false;
    if (recordFilePath_.empty()) {
        return {FileResult::kNothingNew};
    }
    if (outOfMemory_) {
        return {FileResult::kOutOfMemory};
    }
    if (const FileResult readable = RecordFileStatus(recordFilePath_); !readable) {
        return readable;
    }
    ReadOnlyFile file(recordFilePath_);
    if (!file.IsOpen()) {
        return {FileResult::kCannotOpen};
    }
    int64_t length = file.Length();
    if (length <= 0 || length == decodedOffset_) {
        return {FileResult::kNothingNew};
    }
    if (readBuffer_.size() != kDecodeReadSize) {
        try {
            readBuffer_.resize(kDecodeReadSize);
        } catch (const std::bad_alloc&) {
            readBuffer_.clear();
            return {FileResult::kOutOfMemory};
        }
    }
    if (!recording_) {
        // A file cut shorter than what was decoded must not show more than 100 %.
        int percent = static_cast<int>(std::min<int64_t>(decodedOffset_, length) * 100 / length);
        Status(Format("Decoding... %d%%", percent), percent);
    }
    size_t bytesRead = file.ReadAt(decodedOffset_, readBuffer_.data(), kDecodeReadSize);
    ApplyLimits();
    size_t blocks = bytesRead / kBlockSize;
    fileCheck_.Feed(readBuffer_.data(), blocks, static_cast<uint64_t>(decodedOffset_));
    try {
        stream_.ParseBlocks(readBuffer_.data(), blocks, static_cast<uint64_t>(decodedOffset_),
                            sink_);
    } catch (const std::bad_alloc&) {
        // The blocks of this read are partly decoded: reading them again would repeat them, so
        // decoding ends here with what it has. The packet or sample being stored is lost.
        outOfMemory_ = true;
        Status(kDecodeOutOfMemoryText, -1);
        return {FileResult::kOutOfMemory};
    }
    decodedOffset_ += static_cast<int64_t>(blocks * kBlockSize);
    done = bytesRead < kDecodeReadSize;
    return {};
}

// With auto-remove on, an array is trimmed once it exceeds its limit by 10 %; it is never
// reported full, since being full stops the capture or starts a new record file, which is
// what auto-remove is chosen to avoid.
void CKVDoc::ApplyLimits() {
    const auto maxPackets = static_cast<size_t>(std::max(maxPacketCount_, 0));
    if (autoRemovePackets_) {
        if (static_cast<double>(packets_.size()) > maxPacketCount_ * 1.1) {
            SortNewPackets();  // the oldest are the first in time order
            size_t remove = packets_.size() - maxPackets;
            NoteFrontTrimmed(remove);
            marks_.Forget({packets_.data(), remove});
            for (size_t i = 0; i < remove; ++i) {
                if (packets_[i] == markerA_) {
                    markerA_.reset();
                }
                if (packets_[i] == markerB_) {
                    markerB_.reset();
                }
            }
            packets_.erase(packets_.begin(), packets_.begin() + static_cast<ptrdiff_t>(remove));
            sortedCount_ = packets_.size();
            longestPacket_ = 0;
            for (const PacketPtr& packet : packets_) {
                longestPacket_ = std::max(longestPacket_, PacketDuration(*packet));
            }
        }
    } else if (packets_.size() > maxPackets) {
        packetsFull_ = true;
    }
    const auto maxSamples = static_cast<size_t>(std::max(maxVbusCount_, 0));
    if (autoRemoveVbus_) {
        if (static_cast<double>(samples_.Size()) > maxVbusCount_ * 1.1) {
            samples_.EraseFront(samples_.Size() - maxSamples);
        }
    } else if (samples_.Size() > maxSamples) {
        vbusFull_ = true;
    }
}

void CKVDoc::Sink::OnSample(const CVbusInfo& sample) {
    OnSamples({&sample, 1});
}

void CKVDoc::Sink::OnSamples(std::span<const CVbusInfo> samples) {
    doc_.samples_.Append(samples);
}

void CKVDoc::Sink::OnPacket(PacketPtr packet) {
    doc_.AcceptPacket(std::move(packet));
}

void CKVDoc::Sink::OnInfoEntry(const InfoEntry& entry, uint64_t /*blockOffset*/) {
    if (entry.type == kInfoClearMarks) {
        doc_.markedKeys_.clear();
        doc_.markerAKey_ = -1;
        doc_.markerBKey_ = -1;
        return;
    }
    if (entry.value.size() != 8) {
        return;  // every other entry the document reads carries an i64
    }
    int64_t value = InfoValueI64(entry);
    switch (entry.type) {
        case kInfoTimeOrigin:
            if (value >= -kTimeOriginLimit && value <= kTimeOriginLimit) {
                doc_.savedOrigin_ = value;
            }
            break;
        case kInfoMarkedPacket:
            doc_.markedKeys_.push_back(value);
            break;
        case kInfoMarkerA:
            doc_.markerAKey_ = value;
            break;
        case kInfoMarkerB:
            doc_.markerBKey_ = value;
            break;
        case kInfoGraphMarkerO:
            doc_.graphMarkerOTime_ = value;
            break;
        case kInfoGraphMarkerX:
            doc_.graphMarkerXTime_ = value;
            break;
        default:
            break;
    }
}

void CKVDoc::AcceptPacket(PacketPtr packet) {
    int64_t captureStart = CaptureStartTime();
    if (captureStart == -1 || packet->startTime < captureStart) {
        return;  // before the first sample there is no time base
    }
    tolerantCounts_.Count(DecodePacketTolerant(
        *packet, captureStart, tolerant_ ? TolerantMode::kApply : TolerantMode::kCount,
        tolerantScratch_));
    AttributePort(portState_, packet);
    AssembleChunks(chunkAssembler_, *packet);
    TakeVbusSnapshot(*packet);
    if (packets_.size() == packets_.capacity()) {
        // Grown before the packet is counted, so that a packet is counted only when it is kept.
        packets_.reserve(std::max<size_t>(64, 2 * packets_.capacity()));
    }
    CountPacket(packetStatistics_, *packet);
    longestPacket_ = std::max(longestPacket_, PacketDuration(*packet));
    InsertPacket(std::move(packet));
}

void CKVDoc::TakeVbusSnapshot(CCCPacket& packet) const {
    if (samples_.Empty() || packet.startTime >= LastSampleTime()) {
        return;
    }
    // Latest sample at or before the packet; the first one when all are later. Sample times
    // never decrease, so a binary search finds what a backward walk would.
    const std::optional<size_t> index = FindLastAtOrBefore(
        samples_.Size(), packet.relTime, [this](size_t i) { return samples_.At(i).Time(); });
    const StoredSample& sample = samples_.At(index.value_or(0));
    CopyElectricalReadings(sample, packet);
    packet.vbusValid = true;
}

void CKVDoc::InsertPacket(PacketPtr packet) {
    packets_.push_back(std::move(packet));
}

// The packets after sortedCount_ arrived in this order; they are placed as if each had been
// inserted after the last packet whose relTime is not greater (equal times keep arrival order):
// a stable sort of the new packets, then a stable merge with the sorted ones they overlap.
void CKVDoc::SortNewPackets() {
    const auto byTime = [](const PacketPtr& a, const PacketPtr& b) {
        return a->relTime < b->relTime;
    };
    const auto sortedEnd = packets_.begin() + static_cast<ptrdiff_t>(sortedCount_);
    if (!std::is_sorted(sortedEnd, packets_.end(), byTime)) {
        std::stable_sort(sortedEnd, packets_.end(), byTime);
    }
    auto first = sortedEnd;
    if (sortedEnd != packets_.end()) {
        first = std::upper_bound(packets_.begin(), sortedEnd, *sortedEnd, byTime);
        std::inplace_merge(first, sortedEnd, packets_.end(), byTime);
    }
    const auto firstMoved = static_cast<size_t>(first - packets_.begin());
    if (firstMoved < publishedCount_) {
        pendingMergeFrom_ = std::min(pendingMergeFrom_, firstMoved);
    }
    sortedCount_ = packets_.size();
}

void CKVDoc::RestoreMarkers() {
    std::sort(markedKeys_.begin(), markedKeys_.end());
    for (const PacketPtr& packet : packets_) {
        if (markerAKey_ != -1 && packet->relTime == markerAKey_) {
            markerA_ = packet;
        }
        if (markerBKey_ != -1 && packet->relTime == markerBKey_) {
            markerB_ = packet;
        }
        if (std::binary_search(markedKeys_.begin(), markedKeys_.end(), packet->relTime)) {
            marks_.Set(*packet, true);
        }
    }
}

void CKVDoc::ResetMarkerKeys() {
    markedKeys_.clear();
    markerAKey_ = -1;
    markerBKey_ = -1;
    graphMarkerOTime_ = -1;
    graphMarkerXTime_ = -1;
}

void CKVDoc::Clear() {
    Operation operation(*this);
    publishedCount_ = 0;
    pendingTrim_ = 0;
    pendingMergeFrom_ = kNoMerge;
    pendingReset_ = false;
    trimmedHold_.clear();
    decodedOffset_ = 0;
    timeOrigin_ = 0;
    outOfMemory_ = false;
    stream_.Reset();  // drops open packets: without a capture start they would be rejected
    // The packets stay alive until the observers were told, so that no view holds a row of a
    // deleted packet meanwhile; they are told once every counter reads empty.
    notices_.Hold(ClearContents());
    packetStatistics_ = {};
    tolerantCounts_ = {};
    fileCheck_.Reset();
    markerA_.reset();
    markerB_.reset();
    marks_.Clear();
    portState_ = PdPortState{};
    chunkAssembler_ = ChunkAssembler{};
    packetsFull_ = false;
    vbusFull_ = false;
    savedOrigin_ = 0;
    ResetMarkerKeys();
    markersChanged_ = false;
    modified_ = false;
    notices_.PacketsChanged({PacketChange::Kind::kReset, 0, 0});
}

void CKVDoc::DeleteContents() {
    Operation operation(*this);
    Clear();
    recordFilePath_.clear();
}

std::vector<PacketPtr> CKVDoc::ClearContents() {
    // Progress is reported per hundredth of the array; deleting chunks of samples is cheap, so
    // the texts are only shown when the percentage moves.
    auto report = [this](const char* format, size_t count) {
        int shown = -1;
        for (size_t i = 0; i < count; i += 100) {
            int percent = static_cast<int>(i * 100 / count);
            if (percent != shown) {
                shown = percent;
                Status(Format(format, percent), percent);
            }
        }
    };
    report("Deleting VBUS Info... %d%%", samples_.Size());
    samples_.Clear();
    report("Deleting PD Messages... %d%%", packets_.size());
    std::vector<PacketPtr> removed = std::move(packets_);
    packets_ = {};
    sortedCount_ = 0;
    longestPacket_ = 0;
    return removed;
}

// --- Settings, lookups and markers -----------------------------------------------------------

void CKVDoc::SetLimits(int32_t maxPackets, int32_t maxSamples, bool autoRemovePackets,
                       bool autoRemoveVbus) {
    std::lock_guard lock(mutex_);
    maxPacketCount_ = maxPackets;
    maxVbusCount_ = maxSamples;
    autoRemovePackets_ = autoRemovePackets;
    autoRemoveVbus_ = autoRemoveVbus;
}

void CKVDoc::SetTimeOrigin(int64_t t, bool relative) {
    Operation operation(*this);
    int64_t previous = timeOrigin_;
    int64_t moved = t;
    if (relative && __builtin_add_overflow(timeOrigin_, t, &moved)) {
        moved = t < 0 ? -kTimeOriginLimit : kTimeOriginLimit;  // beyond the limit either way
    }
    timeOrigin_ = std::clamp(moved, -kTimeOriginLimit, kTimeOriginLimit);
    notices_.TimeOriginChanged(timeOrigin_ - previous);
    NotifyContentsChanged();
}

int64_t CKVDoc::TimeOrigin() const {
    std::lock_guard lock(mutex_);
    return timeOrigin_;
}

size_t CKVDoc::PacketCount() const {
    std::lock_guard lock(mutex_);
    return packets_.size();
}

size_t CKVDoc::SampleCount() const {
    std::lock_guard lock(mutex_);
    return samples_.Size();
}

SampleStats CKVDoc::Stats() const {
    std::lock_guard lock(mutex_);
    return samples_.Stats();
}

PacketStatistics CKVDoc::Statistics() const {
    std::lock_guard lock(mutex_);
    return packetStatistics_;
}

TolerantCounts CKVDoc::Tolerant() const {
    std::lock_guard lock(mutex_);
    return tolerantCounts_;
}

PacketPtr CKVDoc::PacketAt(size_t i) const {
    std::lock_guard lock(mutex_);
    return i < packets_.size() ? packets_[i] : nullptr;
}

std::optional<CVbusInfo> CKVDoc::SampleAt(size_t i) const {
    std::lock_guard lock(mutex_);
    if (i >= samples_.Size()) {
        return std::nullopt;
    }
    return UnpackSample(samples_.At(i));
}

std::optional<size_t> CKVDoc::FindPacket(int64_t t) const {
    std::lock_guard lock(mutex_);
    return FindLastAtOrBefore(packets_.size(), t,
                              [this](size_t i) { return packets_[i]->relTime - timeOrigin_; });
}

std::optional<size_t> CKVDoc::FindSample(int64_t t) const {
    std::lock_guard lock(mutex_);
    return FindLastAtOrBefore(samples_.Size(), t,
                              [this](size_t i) { return samples_.At(i).Time() - timeOrigin_; });
}

std::optional<CVbusInfo> CKVDoc::SampleAtOrBefore(int64_t relTime) const {
    std::lock_guard lock(mutex_);
    const std::optional<size_t> index = FindLastAtOrBefore(
        samples_.Size(), relTime, [this](size_t i) { return samples_.At(i).Time(); });
    if (!index) {
        return std::nullopt;
    }
    return UnpackSample(samples_.At(*index));
}

DocumentSnapshot CKVDoc::Snapshot() const {
    std::lock_guard lock(mutex_);
    DocumentSnapshot snapshot = SnapshotOfSamples();
    snapshot.packets = packets_;
    return snapshot;
}

DocumentSnapshot CKVDoc::SnapshotOfView(int64_t from, int64_t to) const {
    std::lock_guard lock(mutex_);
    DocumentSnapshot snapshot = SnapshotOfSamples();
    const PacketIndexRange range = PacketsInView(packets_, timeOrigin_, from, to, longestPacket_);
    snapshot.packets.assign(packets_.begin() + static_cast<ptrdiff_t>(range.first),
                            packets_.begin() + static_cast<ptrdiff_t>(range.end));
    snapshot.firstPacketNumber = range.first;
    return snapshot;
}

DocumentSnapshot CKVDoc::SnapshotOfSamples() const {
    std::lock_guard lock(mutex_);
    DocumentSnapshot snapshot;
    snapshot.samples = samples_.Snapshot();
    snapshot.timeOrigin = timeOrigin_;
    snapshot.stats = samples_.Stats();
    snapshot.marks = marks_;
    snapshot.markerA = markerA_;
    snapshot.markerB = markerB_;
    return snapshot;
}

PacketPtr CKVDoc::MarkerA() const {
    std::lock_guard lock(mutex_);
    return markerA_;
}

PacketPtr CKVDoc::MarkerB() const {
    std::lock_guard lock(mutex_);
    return markerB_;
}

void CKVDoc::SetMarkerA(const PacketPtr& packet) {
    std::lock_guard lock(mutex_);
    markerA_ = packet;
    NoteMarkersChanged();
}

void CKVDoc::SetMarkerB(const PacketPtr& packet) {
    std::lock_guard lock(mutex_);
    markerB_ = packet;
    NoteMarkersChanged();
}

void CKVDoc::SetMarked(const PacketPtr& packet, bool marked) {
    std::lock_guard lock(mutex_);
    if (packet) {
        marks_.Set(*packet, marked);
    }
    NoteMarkersChanged();
}

bool CKVDoc::IsMarked(const CCCPacket& packet) const {
    std::lock_guard lock(mutex_);
    return marks_.Contains(packet);
}

PacketMarks CKVDoc::Marks() const {
    std::lock_guard lock(mutex_);
    return marks_;
}

void CKVDoc::NoteMarkersChanged() {
    std::lock_guard lock(mutex_);
    markersChanged_ = true;
    modified_ = true;
}

void CKVDoc::SetGraphMarkerSource(std::function<std::optional<GraphMarkerTimes>()> source) {
    std::lock_guard lock(mutex_);
    graphMarkerSource_ = std::move(source);
}

std::optional<GraphMarkerTimes> CKVDoc::ShownGraphMarkers() const {
    std::lock_guard lock(mutex_);
    return graphMarkerSource_ ? graphMarkerSource_() : std::nullopt;
}

// --- Saving ----------------------------------------------------------------------------------

FileResult CKVDoc::SaveAs(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (recording_ || recordFilePath_.empty() || path.empty()) {
        return {FileResult::kCannotOpen};
    }
    // The record file under another name (a symbolic or hard link) is saved in place too: a copy
    // would replace the file being read.
    if (path == recordFilePath_ || SameFile(path, recordFilePath_)) {
        if (markersChanged_) {
            if (const FileResult appended = AppendMarkerBlocks(path); !appended) {
                return appended;  // markers not written: keep them pending
            }
            markersChanged_ = false;
        }
        modified_ = false;
        return {};
    }
    // The copy gets the marker blocks every time: an earlier save to the same target is
    // overwritten by the copy, and the record file itself may carry outdated marker blocks. It is
    // staged in a private folder beside the target, which goes on failure or a signal.
    StagedFile staged(path);
    if (!staged.IsOpen()) {
        return {FileResult::kCannotOpen};
    }
    FileResult result = CopyWholeBlocks(recordFilePath_, staged.Path());
    if (result) {
        result = AppendMarkerBlocks(staged.Path());
    }
    if (result) {
        result = staged.Commit();
    }
    if (!result) {
        return result;
    }
    markersChanged_ = false;
    modified_ = false;
    return {};
}

FileResult CKVDoc::AppendMarkerBlocks(const std::string& path) const {
    MarkerRecord record;
    record.timeOrigin = timeOrigin_;
    // A packet can be Marker B, Marker A and marked at once; it gets an entry for each, so
    // that reopening restores every mark (the reader handles each entry on its own).
    for (const PacketPtr& packet : packets_) {
        if (packet == markerB_) {
            record.packets.push_back({kInfoMarkerB, packet->relTime});
        }
        if (packet == markerA_) {
            record.packets.push_back({kInfoMarkerA, packet->relTime});
        }
        if (marks_.Contains(*packet)) {
            record.packets.push_back({kInfoMarkedPacket, packet->relTime});
        }
    }
    if (std::optional<GraphMarkerTimes> times = ShownGraphMarkers()) {
        record.hasGraphMarkers = true;
        record.graphMarkerO = times->markerO + timeOrigin_;
        record.graphMarkerX = times->markerX + timeOrigin_;
    }
    return AppendBlocksAtBoundary(path, MarkerInfoBlocks(record));
}
