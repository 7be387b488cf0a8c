// On request, the program ends right after the main window's first paint:
// SONMIRA_FIRST_PAINT set: it writes the paint's monotonic time to stdout as
// "first_paint_ns N", after "splash_paint_ns N" for the splash (the start-up
// benchmark measures from its start of the process to each);
// SONMIRA_SCREENSHOT=FILE.png: it saves the window as it is then to that file.
#pragma once

class QWidget;

// Watches `window` when a request is set; does nothing otherwise.
void StampFirstPaintOnRequest(QWidget* window);

// Called once the splash has been painted: writes its stamp when SONMIRA_FIRST_PAINT is set.
void StampSplashPaintOnRequest();
