// A capture's plan renamed so that it overwrites no record file already in its folder.
#pragma once

#include "live/capture_state.h"

// Renumbers the plan's name (" (n)" after the base or the external name) so that the capture
// overwrites no file of its folder, neither with its first file nor with a later one; false
// when every number is taken.
bool AvoidExistingRecordFiles(RecordPlan& plan);
