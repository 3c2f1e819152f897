#pragma once

// Registers the component classes of the utility controls (and of the storage components) with
// the window-definition loader. The program and the tests call it before loading a window that
// uses them.
void RegisterControlsClasses();
