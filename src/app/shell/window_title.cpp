#include "app/shell/window_title.h"

QString FrameTitle(const QString& documentTitle, bool modified) {
    return documentTitle + (modified ? QStringLiteral("*") : QString()) + QStringLiteral(" - ") +
           QString::fromLatin1(kAppTitle);
}
