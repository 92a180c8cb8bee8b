// The "Standard" toolbar: the routed commands in the toolbar's order, with the application's
// own icons; a command that is not routed (yet) is left out, and so is a separator that
// would stand next to another one or at an end.
#pragma once

class CCommandRouter;
class QMainWindow;
class QToolBar;

QToolBar* BuildStandardToolBar(QMainWindow& window, const CCommandRouter& router);
