#pragma once

// Registers the skinned controls, menus and window parts with the window-definition class
// registry, so that window definitions create them by class name. The program and the tests call
// it once before loading a window; calling it again does nothing.
void RegisterSkinControlClasses();
