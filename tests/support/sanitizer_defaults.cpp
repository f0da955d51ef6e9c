// Sanitizer settings of every test executable. The leak suppressions name only
// libraries of the window system and Qt's own one-time start-up, never our code.
extern "C" {
const char *__asan_default_options() { return "detect_leaks=1:strict_string_checks=1"; }
const char *__ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
const char *__lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libQt6Core\n"
           "leak:libQt6Gui\n"
           "leak:libQt6Widgets\n"
           "leak:libglib-2.0\n"
           "leak:libgobject-2.0\n"
           "leak:libdbus-1\n"
           "leak:libX11\n"
           "leak:libxcb\n";
}
}
