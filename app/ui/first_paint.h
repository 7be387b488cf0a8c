// On request (SONMIRA_FIRST_PAINT set), the program writes the monotonic
// time of the main window's first paint to stdout and ends: the start-up
// benchmark measures from its own start of the process to that moment.
#pragma once

class QWidget;

// Watches `window` when the request is set; does nothing otherwise.
void StampFirstPaintOnRequest(QWidget* window);
