#include "live/record_plan_names.h"

#include "capture/free_record_name.h"
#include "capture/record_naming.h"

bool AvoidExistingRecordFiles(RecordPlan& plan) {
    const std::optional<int> number = FreeRecordNameNumber(
        plan.baseName, plan.externalName, plan.multiFile, FolderEntryNames(plan.folder));
    if (!number) {
        return false;
    }
    if (*number == 0) {
        return true;
    }
    if (plan.externalName.empty()) {
        plan.baseName = NumberedStem(plan.baseName, *number);
    } else {
        plan.externalName =
            NumberedStem(ExternalNameStem(plan.externalName), *number) + kRecordFileExtension;
    }
    return true;
}
