#pragma once

// The settings windows' definitions and every class they name; the windows call it themselves.
void RegisterSettingsClasses();
