#pragma once

// A picture an effect or the colour balance writes into a "256", "16" or "Mono" format is brought
// onto that format's colour table at once, as a stroke is, so that what the canvas shows is what
// the file will hold.

class TForm;

// Nothing for other kinds or windows that are no icon document.
void FitResultToFormatPalette(TForm* document);
