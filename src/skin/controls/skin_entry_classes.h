#pragma once

// Registers the skinned range, text-entry, list, tab and page controls, the colour box and the
// URL label with the window-definition class registry. Calling it again does nothing.
void RegisterSkinEntryControlClasses();
