#pragma once

// The cell table of a document: 102,127 cells, each holding a text or an integer, in which the
// document keeps its formats (width, height and kind texts), the standard-format checklist, the
// undo file numbers and counters, the current format and count, the pattern paths and a few
// flags. Code of the document and of the drawing engines addresses these cells by number; the
// named accessors below spell out the layout once.

#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

class TFormatTable {
public:
    static constexpr int CellCount = 102127;
    static constexpr int MaxFormats = 100;
    static constexpr int StandardFormatCount = 15;
    // Undo states 0..MaxUndoState of one format have a file-number cell each.
    static constexpr int MaxUndoState = 1000;

    // Cell numbers.
    static constexpr int WidthCell(int f) { return 3 * f; }
    static constexpr int HeightCell(int f) { return 3 * f + 1; }
    static constexpr int KindCell(int f) { return 3 * f + 2; }
    static constexpr int StandardCell(int j) { return 303 + 4 * j; } // +0 width, +1 height, +2 kind, +3 flag
    static constexpr int UndoFileNumberCell(int f, int n) { return 507 + 1001 * f + n; }
    static constexpr int UndoStateCountCell(int f) { return 101607 + 2 * f; }
    static constexpr int CurrentFormatCell = 102118;
    static constexpr int FormatCountCell = 102119;
    static constexpr int PatternPathCell = 102122; // primary; the secondary follows
    static constexpr int CaptureStateCell = 102124;
    static constexpr int StrokeButtonCell = 102125;

    TFormatTable();

    // A cell out of 0..CellCount - 1 raises EListError. Reading a cell of the other kind gives
    // the empty text or 0.
    QString Text(int cell) const;
    int Integer(int cell) const;
    void SetText(int cell, const QString& text);
    void SetInteger(int cell, int value);

    QString Width(int f) const { return Text(WidthCell(f)); }
    QString Height(int f) const { return Text(HeightCell(f)); }
    QString Kind(int f) const { return Text(KindCell(f)); }
    void SetFormat(int f, int width, int height, const QString& kind);

    // Entry j (1..15) of the standard-format checklist.
    QString StandardWidth(int j) const { return Text(StandardCell(j)); }
    QString StandardHeight(int j) const { return Text(StandardCell(j) + 1); }
    QString StandardKind(int j) const { return Text(StandardCell(j) + 2); }
    QString StandardFlag(int j) const { return Text(StandardCell(j) + 3); }
    // Any flag but "FALSE" counts as present.
    bool StandardPresent(int j) const { return StandardFlag(j) != QLatin1String("FALSE"); }
    void SetStandardFormat(int j, const QString& width, const QString& height, const QString& kind, bool present);
    // The checklist entry of that size and kind, or 0.
    static int StandardIndexOf(int width, int height, const QString& kind);

    int UndoFileNumber(int f, int n) const { return Integer(UndoFileNumberCell(f, n)); }
    void SetUndoFileNumber(int f, int n, int number) { SetInteger(UndoFileNumberCell(f, n), number); }
    int UndoStateCount(int f) const { return Integer(UndoStateCountCell(f)); }
    void SetUndoStateCount(int f, int n) { SetInteger(UndoStateCountCell(f), n); }

    int CurrentFormat() const { return Integer(CurrentFormatCell); }
    void SetCurrentFormat(int f) { SetInteger(CurrentFormatCell, f); }
    int FormatCount() const { return Integer(FormatCountCell); }
    void SetFormatCount(int n) { SetInteger(FormatCountCell, n); }
    // index 0 the primary pattern, 1 the secondary.
    QString PatternPath(int index) const { return Text(PatternPathCell + index); }
    void SetPatternPath(int index, const QString& path) { SetText(PatternPathCell + index, path); }
    int CaptureState() const { return Integer(CaptureStateCell); }
    void SetCaptureState(int v) { SetInteger(CaptureStateCell, v); }
    int StrokeButton() const { return Integer(StrokeButtonCell); }
    void SetStrokeButton(int v) { SetInteger(StrokeButtonCell, v); }

private:
    static void Check(int cell);

    std::vector<int32_t> integers_;
    QHash<int, QString> texts_;
};

// The standard formats in checklist order: 48, 32 and 16 pixels square in each kind.
struct TStandardFormat {
    int Width;
    int Height;
    const char* Kind;
};
extern const TStandardFormat StandardFormats[TFormatTable::StandardFormatCount];
