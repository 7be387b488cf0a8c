// A library that loads but has no CreateObj.
extern "C" __attribute__((visibility("default"))) int NotTheFactory(void) { return 0; }
