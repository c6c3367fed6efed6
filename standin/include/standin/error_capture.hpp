// Records what the engine's error channel reports, for tests.
#pragma once

#include <string>
#include <vector>

namespace standin {

struct ErrorRecord {
    std::string function;
    std::string file;
    int line = 0;
    // The error text, e.g. `Parameter "p" is null.`
    std::string error;
    // The caller's message; empty when the macro carries none.
    std::string message;
    bool is_warning = false;
};

// While alive, every error and warning reported through the error macros is recorded here; a quiet
// capture also keeps them off stderr. Captures nest: each live capture records every report.
class ErrorCapture {
public:
    explicit ErrorCapture(bool p_quiet = true);
    ~ErrorCapture();
    ErrorCapture(const ErrorCapture &) = delete;
    ErrorCapture &operator=(const ErrorCapture &) = delete;

    const std::vector<ErrorRecord> &errors() const { return records_; }
    void clear() { records_.clear(); }
    bool quiet() const { return quiet_; }

    // Called by the error channel.
    void record(const ErrorRecord &p_record) { records_.push_back(p_record); }

private:
    std::vector<ErrorRecord> records_;
    bool quiet_;
};

} // namespace standin
