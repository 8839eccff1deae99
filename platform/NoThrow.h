// The platform's calls report failure the platform's way, by their result. What the
// standard library or Qt throws beneath one (memory running out, mostly) ends that
// call with its failure result and goes no further: the callers know no exceptions.
#pragma once

template <class R, class Body>
R CallOrFail(R failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

template <class Body>
void CallOrSkip(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

// Exceptions stopped where the platform calls back into the program (window and
// dialog procedures, enumeration callbacks). The program lets none out; one that
// does all the same cannot pass the window system, so it is stopped and counted
// here, for the tests that hunt for them.
inline long gEscapedExceptions = 0;

template <class R, class Body>
R CallProgram(R failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        gEscapedExceptions++;
        return failure;
    }
}
