#pragma once

// The snapshot sheet of a project: every format side by side on one line under the document's
// caption, each with its size and kind written below it, on a transparent ground.

#include <QString>
#include <vector>

class QImage;
class TIconDocument;

struct TSnapshotLayout {
    int Width = 0;
    int Height = 350;
    // The left edge of each format, in table order; every image stands on the line y = 255.
    std::vector<int> Left;
};

// The sheet for formats of those widths, in table order.
TSnapshotLayout LayOutSnapshot(const std::vector<int>& widths);

// The sheet of the document's formats with its caption.
QImage RenderSnapshotSheet(const TIconDocument& doc, const QString& caption);
