#pragma once

namespace velmora {

// An exception that crosses into the host ends the game, and no slot may report an error: every
// slot that does work runs its body through here, which swallows whatever is thrown (an
// allocation that fails while the settings are read, say) and answers `fallback`.
template <class Result, class Body>
Result Guarded(Result fallback, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}

template <class Body>
void Guarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

}  // namespace velmora
