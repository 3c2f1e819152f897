#pragma once

// Makes the timer, the window hook and the animation controls known to window definitions.
// Called once by the program at start-up and by tests that load definitions.
void RegisterGifControlClasses();
