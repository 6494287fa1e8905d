// Options of the sanitizers' runtime that every program of the sanitized build starts with.
//
// The leak check at exit scans each module's thread-local block. For a block made when a module
// was loaded at run time (the add-in module's), the runtime of this compiler takes a block that
// starts 16 bytes into a page for one with a header before it and reads its bounds from there:
// where the module's block lands depends on what the program allocated before, and where it
// lands so, the check reads nonsense bounds and crashes ("Tracer caught signal 11", exit 1).
// The runtime's handling of such blocks is turned off; the add-in module keeps no allocation
// reachable from its thread-local block alone.
extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }
