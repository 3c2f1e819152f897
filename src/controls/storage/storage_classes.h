#pragma once

// Registers the storage components (TFormPlacement, TFormStorage) with the window-definition
// loader; called before a window that carries one is loaded.
void RegisterStorageClasses();
