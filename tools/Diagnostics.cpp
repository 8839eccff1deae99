// The compiler's error list: every error is collected so that one run reports them all.
#include "PackTypes.h"

void AddError(Diagnostics* diag, const std::string& file, int line, const std::string& message) {
    if (diag) diag->list.push_back({file, line, message});
}

std::string FormatDiagnostic(const Diagnostic& d) {
    if (d.line > 0) return d.file + ":" + std::to_string(d.line) + ": " + d.message;
    return d.file + ": " + d.message;
}
