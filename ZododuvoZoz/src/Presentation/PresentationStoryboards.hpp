#pragma once
// The module's storyboards "OtherApps" and "Tour" and the nib "OtherAppCell", registered for its
// bundle on first use.
namespace ZododuvoZoz {

/// Registers the scene factories of "OtherApps", "OtherAppCell" and "Tour" once.
void registerPresentationStoryboards();

}  // namespace ZododuvoZoz
