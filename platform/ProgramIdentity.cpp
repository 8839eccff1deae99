#include "ProgramIdentity.h"

namespace {
// Constant-initialised, so that a registration from a static initialiser is kept.
ProgramIdentity gProgram = {};
}  // namespace

void RegisterProgram(const ProgramIdentity& identity) { gProgram = identity; }

const ProgramIdentity& RegisteredProgram() { return gProgram; }

const char* ProgramName() { return gProgram.name ? gProgram.name : ""; }
