#pragma once

// Format management of a project apart from its window: adding a format (its cells, its picture
// made from another format and reduced to its kind), keeping the table grouped by kind and
// ordered by width, removing a format, and the standard-format checklist with the format it
// offers next. The document window runs these from its format list and its commands.

#include <QString>
#include <vector>

class TIconDocument;

// The five kinds in the order the table keeps them.
inline constexpr const char* FormatKindOrder[] = {"XP", "16.8M", "256", "16", "Mono"};
// Position of a kind in that order; kinds that are none of the five come last.
int FormatKindRank(const QString& kind);

// What the new-format dialog hands over before it clicks the document's BitBtn18.
struct TNewFormatChoice {
    int FormatWidth = 0;
    int FormatHeight = 0;
    QString FormatKind;
};
TNewFormatChoice& NewFormatChoice();

// The caption of a format: width + " * " + height + " - " + kind.
QString FormatCaption(const TIconDocument& doc, int f);

// Why a format of that size and kind cannot be added, or empty when it can: "Please set image
// size" for a side of 0, a side outside 1..255, an existing format of the same size and kind, or
// a project that already holds the most formats.
QString CheckNewFormat(const TIconDocument& doc, int width, int height, const QString& kind);

// Appends format FormatCount + 1 and makes it current (AppendFormat). With setCells its cells are
// written from width, height and kind, otherwise they must already stand there. The current size
// and kind and the main window's new-image fields take the new format's values, the colour wells
// follow "XP" and "Mono", and when AddingStandardFormat is set its checklist entry is ticked.
// Returns the new number.
int AppendFormat(TIconDocument& doc, bool setCells, int width = 0, int height = 0, const QString& kind = QString());

// Makes the picture of the current (new) format from SourceFormat (BuildFormatImage). "XP" takes
// the source scaled (not drawn when marker is "load"); the other kinds take it scaled over white,
// reduced to the kind's colours, every pixel either opaque (source alpha 130 or more) or fully
// transparent.
void BuildFormatImage(TIconDocument& doc, const QString& marker);

// Regroups the formats by kind in FormatKindOrder, larger widths first within a kind, equal
// widths in their old order. Pictures and undo histories move with their formats. Returns the
// new order: result[k] is the old number of the format now numbered k (result[0] unused).
std::vector<int> SortFormats(TIconDocument& doc);

// Removes the current format (deleteform): nothing with fewer than two formats. Its checklist
// entry is cleared, the formats above move down with their pictures and histories, the format
// count drops by one and the current format stays at the same number or, for the last one,
// moves back by one. Returns false when nothing was removed.
bool RemoveCurrentFormat(TIconDocument& doc);

// Ticks every checklist entry that the project holds (same size and kind, blanks trimmed).
void UpdateStandardChecklist(TIconDocument& doc);
// The first checklist entry not held (1..15), or 0. When there is one its texts are written into
// the cells of format FormatCount + 1 (when there is room for one), StandardFormatIndex takes it
// and AddingStandardFormat is set.
int OfferStandardFormat(TIconDocument& doc);
// "Create " + w + " * " + h + " " + kind + " Image Format" of checklist entry j.
QString StandardFormatOfferCaption(const TIconDocument& doc, int j);

// Makes format f current: the current size and kind, the main window's new-image fields and, for
// the active document, its Undo and Redo controls.
void MakeFormatCurrent(TIconDocument& doc, int f);
// Switches the main window's colour panel to a kind, as a format-list click does (with the
// colour texts and the change handler) or as a new format does (neither).
void SwitchColorPanel(const QString& kind, bool asListClick);
