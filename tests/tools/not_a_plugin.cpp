// A shared library that loads but is no VST 2.4 plug-in.
extern "C" __attribute__((visibility("default"))) int notAPlugin() { return 42; }
