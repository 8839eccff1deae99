// The options of every program in the sanitizer build, compiled in so that a test,
// a reader a test starts and the build's own runs of the reader all get them
// without passing anything through the environment (which still overrides them).
// A report ends the process; leaks are checked, except in the memory the system
// libraries keep to the end, which lsan.supp beside this file names.

extern "C" {
// A test that asks for an impossible size gets null, as from the normal allocator.
const char* __asan_default_options() { return "allocator_may_return_null=1"; }
const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
const char* __lsan_default_options() { return "suppressions=" VELUN_LSAN_SUPPRESSIONS ":print_suppressions=0"; }
}
