// A library that loads but has no HtmlHelpA.
extern "C" __attribute__((visibility("default"))) int NotTheHelpEntry(void) { return 0; }
