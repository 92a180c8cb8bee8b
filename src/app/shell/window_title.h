// The main window's title: the document's name, a "*" after it while the document holds
// unsaved changes (markers, marks, time origin), and the application's title.
#pragma once

#include <QString>

inline constexpr const char* kAppTitle = "Zoduz App";

// "x.zaz - Zoduz App", or "x.zaz* - Zoduz App" when modified.
QString FrameTitle(const QString& documentTitle, bool modified);
