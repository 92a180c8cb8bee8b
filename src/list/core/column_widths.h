// What the default column widths are measured against on a first run.
#pragma once

#include <string>

// The widest text the column shows for captures of up to an hour, where its texts have a known
// widest form ("" otherwise): a first-run default width is widened to fit it.
std::string WidestColumnText(int column);
