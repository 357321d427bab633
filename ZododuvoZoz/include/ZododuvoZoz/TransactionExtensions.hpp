#pragma once
// Layer changes without implicit animations.
#include <type_traits>

#include "QuartzCore/CATransaction.hpp"

namespace ZododuvoZoz {

/// Runs the body inside a transaction with actions disabled and returns what it returns; the
/// transaction is committed also when the body throws, and the exception goes on.
template <class F>
auto performWithoutActions(F&& body) -> std::invoke_result_t<F&> {
    struct Commit {
        ~Commit() { CATransaction::commit(); }
    };
    CATransaction::begin();
    Commit commit;
    CATransaction::setDisableActions(true);
    return body();
}

}  // namespace ZododuvoZoz
