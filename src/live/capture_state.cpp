#include "live/capture_state.h"

#include "capture/record_naming.h"

std::string PlannedFileName(const RecordPlan& plan, int index) {
    return RecordFileName(plan.baseName, index, plan.multiFile, plan.externalName);
}

bool OpenRecordFile(CaptureState& state, int index) {
    if (state.file.IsOpen()) {
        FinishRecordFile(state);
    }
    // On failure the counter keeps the finished file's bytes, so that the stop still has them
    // decoded.
    if (!state.file.Create(JoinRecordPath(state.plan.folder, PlannedFileName(state.plan, index)))) {
        return false;
    }
    state.bytesWritten.store(0);
    state.live.firstSampleTime.store(-1);
    state.liveTimingReset.store(true);
    state.fileIndex.store(index);
    if (state.newFileRequest.exchange(false)) {
        state.countRolloverDone.store(true);
    }
    return true;
}

bool FinishRecordFile(CaptureState& state) {
    if (!state.file.IsOpen()) {
        return false;
    }
    return state.file.Finish(state.plan.identity, state.bytesWritten.load());
}
