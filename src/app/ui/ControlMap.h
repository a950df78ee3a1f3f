#pragma once
// For driving the program from outside under a real window manager (the desktop walk test): when
// TARNWICK_CONTROL_MAP names a file, the program keeps in it, a few times a second, where every
// visible window and every visible named control lies on the screen, so that a mouse can be moved
// to a control by its name.
namespace tarnwick {

// Starts keeping the map if the variable is set; does nothing otherwise.
void KeepControlMapWhenAsked();

} // namespace tarnwick
