#pragma once
// The module's storyboards "About" and "GradientDialog", registered for its bundle on first use.
namespace ZododuvoZoz {

/// Registers the scene factories of "About" and "GradientDialog" once.
void registerDialogStoryboards();

}  // namespace ZododuvoZoz
