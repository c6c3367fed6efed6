#include <godot_cpp/core/error_macros.hpp>
#include <standin/error_capture.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace standin {

namespace {

// Live captures, innermost last. Reports made during static destruction, after the list is gone, are
// printed and not recorded.
struct CaptureList {
    std::vector<ErrorCapture *> list;
    static bool &destroyed() {
        static bool flag = false; // constant-initialized: valid during every static destructor
        return flag;
    }
    ~CaptureList() { destroyed() = true; }
};

std::vector<ErrorCapture *> *captures() {
    if (CaptureList::destroyed()) {
        return nullptr;
    }
    static CaptureList captures_list;
    return &captures_list.list;
}

} // namespace

ErrorCapture::ErrorCapture(bool p_quiet) : quiet_(p_quiet) {
    if (std::vector<ErrorCapture *> *list = captures()) {
        list->push_back(this);
    }
}

ErrorCapture::~ErrorCapture() {
    if (std::vector<ErrorCapture *> *list = captures()) {
        list->erase(std::remove(list->begin(), list->end(), this), list->end());
    }
}

void report(const char *p_function, const char *p_file, int p_line, const char *p_error,
            const char *p_message, bool p_is_warning) {
    ErrorRecord record;
    record.function = p_function ? p_function : "";
    record.file = p_file ? p_file : "";
    record.line = p_line;
    record.error = p_error ? p_error : "";
    record.message = p_message ? p_message : "";
    record.is_warning = p_is_warning;

    bool quiet = false;
    if (std::vector<ErrorCapture *> *list = captures()) {
        for (ErrorCapture *capture : *list) {
            capture->record(record);
            quiet = quiet || capture->quiet();
        }
    }
    if (quiet) {
        return;
    }
    const char *text = record.message.empty() ? record.error.c_str() : record.message.c_str();
    std::fprintf(stderr, "%s: %s\n   at: %s (%s:%d)\n", p_is_warning ? "WARNING" : "ERROR", text,
                 record.function.c_str(), record.file.c_str(), p_line);
    std::fflush(stderr);
}

} // namespace standin

namespace godot {

void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error,
                      bool p_editor_notify, bool p_is_warning) {
    (void)p_editor_notify;
    standin::report(p_function, p_file, p_line, p_error, nullptr, p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error,
                      bool p_editor_notify, bool p_is_warning) {
    _err_print_error(p_function, p_file, p_line, p_error.utf8().get_data(), p_editor_notify, p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error,
                      const char *p_message, bool p_editor_notify, bool p_is_warning) {
    (void)p_editor_notify;
    standin::report(p_function, p_file, p_line, p_error, p_message, p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error,
                      const char *p_message, bool p_editor_notify, bool p_is_warning) {
    _err_print_error(p_function, p_file, p_line, p_error.utf8().get_data(), p_message, p_editor_notify,
                     p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const char *p_error,
                      const String &p_message, bool p_editor_notify, bool p_is_warning) {
    _err_print_error(p_function, p_file, p_line, p_error, p_message.utf8().get_data(), p_editor_notify,
                     p_is_warning);
}

void _err_print_error(const char *p_function, const char *p_file, int p_line, const String &p_error,
                      const String &p_message, bool p_editor_notify, bool p_is_warning) {
    _err_print_error(p_function, p_file, p_line, p_error.utf8().get_data(), p_message.utf8().get_data(),
                     p_editor_notify, p_is_warning);
}

void _err_print_index_error(const char *p_function, const char *p_file, int p_line, int64_t p_index,
                            int64_t p_size, const char *p_index_str, const char *p_size_str,
                            const char *p_message, bool p_editor_notify, bool p_fatal) {
    const String text = String(p_fatal ? "FATAL: " : "") + "Index " + p_index_str + " = " + itos(p_index) +
                        " is out of bounds (" + p_size_str + " = " + itos(p_size) + ").";
    _err_print_error(p_function, p_file, p_line, text.utf8().get_data(), p_message, p_editor_notify, false);
}

void _err_print_index_error(const char *p_function, const char *p_file, int p_line, int64_t p_index,
                            int64_t p_size, const char *p_index_str, const char *p_size_str,
                            const String &p_message, bool p_editor_notify, bool p_fatal) {
    _err_print_index_error(p_function, p_file, p_line, p_index, p_size, p_index_str, p_size_str,
                           p_message.utf8().get_data(), p_editor_notify, p_fatal);
}

void _err_flush_stdout() {
    std::fflush(stdout);
}

void _err_crash() {
    std::fflush(stdout);
    std::fflush(stderr);
    std::abort();
}

} // namespace godot
