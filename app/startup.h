// The start of both programs, in place of the C run-time's own start-up code,
// which brings thread-local storage, pseudo-relocation and exception-filter
// machinery (about 8 KB and a dozen imports) that neither program uses.
#pragma once

// Runs the static objects' constructors; their destructors, registered with
// atexit, run when the process ends through exit().
void RunStaticConstructors();
