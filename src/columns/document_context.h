// The column context of a capture document: its time origin and a sample lookup into it.
#pragma once

#include "columns/column_text.h"

class CKVDoc;
struct DocumentSnapshot;

// The latest sample of the document at or before a relTime. Each lookup searches and reads
// under the document's lock, so a decode pass or a trim on another thread cannot move the
// samples in between. The document must outlive the lookup.
SampleLookup DocumentSampleLookup(const CKVDoc& doc);

// The document's current time origin (read once, under its lock), the current direction and
// the document's sample lookup.
ColumnContext DocumentColumnContext(const CKVDoc& doc, bool reverseCurrent);

// The column context of a snapshot: its time origin and a lookup into its samples, without any
// lock (the snapshot does not change). The snapshot must outlive the context.
ColumnContext SnapshotColumnContext(const DocumentSnapshot& snapshot, bool reverseCurrent);
