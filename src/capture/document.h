// The capture document: everything decoded from one record file — time-ordered CC packets,
// VBUS/CC samples, running statistics, the time origin and the markers.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "capture/document_notices.h"
#include "capture/document_observer.h"
#include "capture/document_snapshot.h"
#include "capture/file_result.h"
#include "capture/packet_marks.h"
#include "capture/packet_statistics.h"
#include "capture/record_file_check.h"
#include "capture/record_file_io.h"
#include "capture/record_sink.h"
#include "capture/record_stream.h"
#include "capture/sample_stats.h"
#include "capture/sample_store.h"
#include "capture/tolerant_counts.h"
#include "pd/chunk_assembler.h"
#include "pd/port_state.h"

// Bytes read from the record file per decode pass.
inline constexpr size_t kDecodeReadSize = kReadChunkSize;
inline constexpr int32_t kDefaultMaxPacketCount = 99999;
inline constexpr int32_t kDefaultMaxVbusCount = 9999999;
// Status text when decoding stopped because memory ran out.
inline constexpr const char* kDecodeOutOfMemoryText =
    "Out of memory: decoding stopped, the packets and samples decoded so far are kept.";

// Graph Marker O and X times (graph time, relative to the time origin).
struct GraphMarkerTimes {
    int64_t markerO = 0;
    int64_t markerX = 0;
};

// Threads: one thread writes the document (the window's, or a command-line tool's) and may read
// every part of it directly. Any other thread reads through Snapshot() and the methods marked
// "any thread", which take the document's lock themselves. Observers are called on the writing
// thread after the lock is released, so they may read the document or wait for a thread that
// does.
class CKVDoc {
  public:
    CKVDoc();
    CKVDoc(const CKVDoc&) = delete;
    CKVDoc& operator=(const CKVDoc&) = delete;

    // --- Observers ---------------------------------------------------------------------------
    void AddObserver(CKVDocObserver* observer);
    void RemoveObserver(CKVDocObserver* observer);

    // --- Opening and decoding ----------------------------------------------------------------
    // Empties the document and decodes the whole file. kCannotOpen or kNotRegularFile when the
    // file cannot be read (the document is then empty), kOutOfMemory when decoding stopped for
    // memory (what was decoded stays).
    FileResult OpenRecordFile(const std::string& path);
    // A capture started or rolled over: decode folder/name from the start and make it the
    // document's record file.
    void AttachRecordFile(const std::string& folder, const std::string& name);
    // Clear, then decode path to its end; restores time origin and markers from its InfoBlocks.
    // kOk also for an empty file; otherwise the failure that stopped the decoding.
    FileResult DecodeAll(const std::string& path);
    // DecodeAll in steps, so that a window can stay responsive while a large file decodes:
    // BeginDecode empties the document and makes path its record file, DecodePass (until done)
    // reads it, FinishDecode restores time origin and markers from its InfoBlocks and tells
    // the observers. Stopping the passes early keeps what was decoded.
    void BeginDecode(const std::string& path);
    void FinishDecode();
    // How far the passes are through the record file, 0 to 100.
    int DecodePercent() const;
    // Decodes what the record file gained since the last pass: kOk when something was added,
    // kNothingNew when the file did not grow, or the failure that stopped the decoding.
    FileResult DecodeMore();
    // One read of at most kDecodeReadSize bytes of whole blocks. kNothingNew when there was
    // nothing to do; done tells whether the read reached the end of the file.
    FileResult DecodePass(bool& done);
    // Empties the document; the record file path is kept.
    void Clear();
    // Memory ran out while decoding: the passes stopped (DecodePass returns kOutOfMemory until the
    // next Clear) and the document keeps what was decoded before.
    bool DecodeStoppedForMemory() const { return outOfMemory_; }
    // Empties the document and forgets its record file (File New): nothing is left to decode
    // or to save.
    void DeleteContents();

    // --- Settings and flags ------------------------------------------------------------------
    void SetLimits(int32_t maxPackets, int32_t maxSamples, bool autoRemovePackets,
                   bool autoRemoveVbus);
    bool PacketsFull() const { return packetsFull_; }
    bool VbusFull() const { return vbusFull_; }
    // While a capture records, decode passes show no progress text and saving is refused.
    void SetRecording(bool recording) { recording_ = recording; }
    bool Recording() const { return recording_; }
    // Packets the strict decoder rejects go through the tolerant pass: recovered when this is
    // on, only counted when it is off (the default). Applies to packets decoded from now on.
    void SetTolerantDecoding(bool on) { tolerant_ = on; }
    bool TolerantDecoding() const { return tolerant_; }

    // --- Contents ----------------------------------------------------------------------------
    const std::string& RecordFilePath() const { return recordFilePath_; }
    int64_t DecodedOffset() const { return decodedOffset_; }
    int64_t CaptureStartTime() const { return stream_.Samples().CaptureStartTime(); }
    int64_t LastSampleTime() const { return stream_.Samples().LastSampleTime(); }
    // Any thread.
    int64_t TimeOrigin() const;
    // The origin stays within +-kTimeOriginLimit (about 73 000 years), so that times relative
    // to it (relTime - origin, time - origin) can never overflow. A record file's origin beyond
    // that is refused on reading (the origin read before it, or 0, stays); a set or moved
    // origin is held at the limit.
    static constexpr int64_t kTimeOriginLimit = int64_t{1} << 61;
    // relative = false sets the origin to t, true moves it by t. A user's change is a marker
    // change: the view that makes it also calls NoteMarkersChanged().
    void SetTimeOrigin(int64_t t, bool relative);

    // Any thread.
    size_t PacketCount() const;
    size_t SampleCount() const;
    // Sorted by relTime; a packet's number is its index. For the writing thread: another thread
    // takes a Snapshot().
    const std::vector<PacketPtr>& Packets() const { return packets_; }
    // Any thread: none when i is beyond the array.
    PacketPtr PacketAt(size_t i) const;
    std::optional<CVbusInfo> SampleAt(size_t i) const;
    // Time of sample i relative to the capture start; i < SampleCount(). For the writing thread.
    int64_t SampleTime(size_t i) const { return samples_.At(i).Time(); }
    // Any thread: index of the last packet / sample whose time minus the time origin is <= t.
    std::optional<size_t> FindPacket(int64_t t) const;
    std::optional<size_t> FindSample(int64_t t) const;
    // Any thread: the last sample recorded at or before relTime (capture time), found and read
    // in one hold of the lock.
    std::optional<CVbusInfo> SampleAtOrBefore(int64_t relTime) const;
    // Any thread: packets, samples, origin, extremes, marks and markers as they are now, for a
    // reader on another thread; the lock is held only while it is taken.
    DocumentSnapshot Snapshot() const;
    // Snapshot() without the packets, for readers of the samples alone: cheap, as it shares the
    // sample chunks.
    DocumentSnapshot SnapshotOfSamples() const;
    // Any thread: Snapshot() with only the packets a graph view of graph times [from, to] can
    // show (PacketsInView), for a paint, which need not copy every packet pointer.
    DocumentSnapshot SnapshotOfView(int64_t from, int64_t to) const;

    // Any thread: copies taken under the lock.
    SampleStats Stats() const;
    PacketStatistics Statistics() const;
    TolerantCounts Tolerant() const;
    // What the blocks decoded so far say about the record file, and the problems the user is
    // told about once the whole file was read.
    const RecordFileCheck& FileCheck() const { return fileCheck_; }
    RecordFileProblems FileProblems() const;
    // Bytes held by the sample array.
    size_t SampleMemoryBytes() const { return samples_.MemoryBytes(); }

    // --- Markers -----------------------------------------------------------------------------
    // Any thread.
    PacketPtr MarkerA() const;
    PacketPtr MarkerB() const;
    // These three record a marker change (markersChanged and the modified flag).
    void SetMarkerA(const PacketPtr& packet);
    void SetMarkerB(const PacketPtr& packet);
    void SetMarked(const PacketPtr& packet, bool marked);
    bool IsMarked(const CCCPacket& packet) const;
    // The marks as they are now; later changes do not reach the copy.
    PacketMarks Marks() const;
    // For views that change marker state themselves (graph markers).
    void NoteMarkersChanged();
    bool MarkersChanged() const { return markersChanged_; }
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    // Graph marker times read from the file (graph time + origin as saved), -1 when none.
    int64_t GraphMarkerOTime() const { return graphMarkerOTime_; }
    int64_t GraphMarkerXTime() const { return graphMarkerXTime_; }
    // The graph view supplies its marker times for saving; without a source none are saved.
    void SetGraphMarkerSource(std::function<std::optional<GraphMarkerTimes>()> source);
    // The graph's marker times as it shows them now; none without a graph.
    std::optional<GraphMarkerTimes> ShownGraphMarkers() const;

    // --- Saving ------------------------------------------------------------------------------
    // Copies the record file to path (unless it is the record file itself) and appends the
    // marker InfoBlocks. On failure (kCannotOpen also while recording or without a record
    // file; show kSaveFileErrorText) the document and its record file are unchanged.
    FileResult SaveAs(const std::string& path);

  private:
    class Sink : public RecordSink {
      public:
        explicit Sink(CKVDoc& doc) : doc_(doc) {}
        void OnSample(const CVbusInfo& sample) override;
        void OnSamples(std::span<const CVbusInfo> samples) override;
        void OnPacket(PacketPtr packet) override;
        void OnInfoEntry(const InfoEntry& entry, uint64_t blockOffset) override;

      private:
        CKVDoc& doc_;
    };

    // One operation's hold of the lock. When the thread's outermost operation ends it releases
    // the lock, then tells the observers what the operation collected in notices_.
    class Operation;
    bool Observing(CKVDocObserver* observer) const;

    // Empties the sample and packet arrays; returns the packets that were held.
    std::vector<PacketPtr> ClearContents();
    void StartDecode(const std::string& path);
    void EndDecode();
    void ResetMarkerKeys();
    void ApplyLimits();
    void AcceptPacket(PacketPtr packet);
    void TakeVbusSnapshot(CCCPacket& packet) const;
    FileResult ReadPass(bool& done);
    void InsertPacket(PacketPtr packet);
    void SortNewPackets();
    void RestoreMarkers();
    FileResult AppendMarkerBlocks(const std::string& path) const;
    // Decode passes until the end of the file or a pass that adds nothing; its result. Each pass
    // is an operation of its own: readers and observers get their turn between passes.
    FileResult DecodeToEnd();
    void Status(const std::string& text, int percent);
    // Records the removal of the first count packets (still in packets_) for the observers.
    void NoteFrontTrimmed(size_t count);
    // Tells the observers the packet changes since the last time, then that contents changed.
    void NotifyContentsChanged();
    void PublishPacketChanges();

    // Held by every operation above that is not inline. Recursive: operations call each other.
    mutable std::recursive_mutex mutex_;
    std::vector<CKVDocObserver*> observers_;
    // Operations of the thread holding the lock, and what they will tell the observers.
    int operationDepth_ = 0;
    DocumentNotices notices_;

    std::string recordFilePath_;
    int64_t decodedOffset_ = 0;
    int64_t timeOrigin_ = 0;
    std::vector<PacketPtr> packets_;
    size_t sortedCount_ = 0;     // packets_[0, sortedCount_) are in time order
    int64_t longestPacket_ = 0;  // the longest PacketDuration in packets_
    SampleStore samples_;
    int32_t maxPacketCount_ = kDefaultMaxPacketCount;
    int32_t maxVbusCount_ = kDefaultMaxVbusCount;
    bool autoRemovePackets_ = false;
    bool autoRemoveVbus_ = false;
    bool packetsFull_ = false;
    bool vbusFull_ = false;
    // What the observers were told: packets_[0, publishedCount_) as they know them, and what
    // happened since. Trimmed packets are held until the observers were told.
    size_t publishedCount_ = 0;
    size_t pendingTrim_ = 0;
    size_t pendingMergeFrom_ = kNoMerge;
    bool pendingReset_ = false;
    std::vector<PacketPtr> trimmedHold_;
    static constexpr size_t kNoMerge = static_cast<size_t>(-1);
    bool recording_ = false;
    bool outOfMemory_ = false;
    bool tolerant_ = false;
    TolerantCounts tolerantCounts_;
    RecordFileCheck fileCheck_;
    TolerantScratch tolerantScratch_;
    PacketPtr markerA_;
    PacketPtr markerB_;
    int64_t markerAKey_ = -1;
    int64_t markerBKey_ = -1;
    PacketMarks marks_;
    std::vector<int64_t> markedKeys_;
    int64_t savedOrigin_ = 0;
    int64_t graphMarkerOTime_ = -1;
    int64_t graphMarkerXTime_ = -1;
    bool markersChanged_ = false;
    bool modified_ = false;
    std::function<std::optional<GraphMarkerTimes>()> graphMarkerSource_;
    PacketStatistics packetStatistics_;
    RecordStreamParser stream_;
    PdPortState portState_;
    ChunkAssembler chunkAssembler_;
    std::vector<uint8_t> readBuffer_;
    Sink sink_{*this};
};
