// The text that Copy puts on the clipboard for the view that has the keyboard focus: the
// selected row of the message list or of the field table (its cells in the order the header
// shows them, separated by tabs), or the text of the selected tree node.
#pragma once

#include <QString>

class QWidget;

// "" when the focus is in none of the three views or nothing is selected there.
QString SelectionText(const QWidget* focus);
