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
