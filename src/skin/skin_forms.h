#pragma once

// Registers the skinned form and the skinned MDI frame with the window-definition class registry,
// so that window definitions create them by class name. Calling it again does nothing.
void RegisterSkinFormClasses();
