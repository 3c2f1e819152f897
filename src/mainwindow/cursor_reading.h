#pragma once

// Cursor files (.cur) and animated cursor files (.ani) become icon projects by way of icon files
// in the scratch folder: a cursor becomes one icon file opened as a project whose file is the
// cursor itself; an animated cursor is split into one icon file per frame, its counts, rates and
// sequence go into the main window's fields, and its steps go to the animated cursor builder,
// with a project made from the first step's frame when it comes through File > Open.

#include "mainwindow/file_host.h"

#include <QString>
#include <vector>

class Tnewiconview;

// Largest animated cursor read: past this a file is refused before it is read.
constexpr qint64 MaxAniFileSize = qint64(256) << 20;

// Writes the scratch file "cur.ico" from a cursor file (its bytes with the type field made 1)
// and gives its path. A file that cannot be opened raises the framework's file-open error.
QString CursorToIconFile(const QString& path);

// The cursor road: the cursor's path becomes the current path and, once the project opens, the
// document's file, so File > Save writes a cursor back to it; the cursor's hot spot becomes the
// document's own (and the editor's, as the active document's), so that saving keeps it.
Tnewiconview* OpenCursorAsProject(TFileHost& host, const QString& path);

// The scratch icon file of frame k (from 1) of the animated cursor last read.
QString AniFramePath(int k);

// Reads an animated cursor: its frames into AniFramePath(1..), its counts into AniFrameCount and
// AniStepCount, its rates and frames by step into AniRates and AniSequence (from index 1; the
// rest cleared, so nothing of an earlier file remains). A file that is no readable animated
// cursor shows "This ANI file is error", leaves no frame files and gives false; a file that
// cannot be opened raises the framework's file-open error.
bool OpenAniFile(TFileHost& host, const QString& path);

// The builder's frames for the steps of the animated cursor last read: step 1 from firstFile,
// every other step from its frame's file, each with its rate as duration; the mode word is
// "open" while the steps are the frames in order, else the step's number.
std::vector<TAniBuilderFrame> AniBuilderFrames(const TFileHost& host, const QString& firstFile);

// The animated cursor road of File > Open: the first step's frame opened as a project (with no
// file of its own: it lives in the scratch folder) and every step handed to the builder.
Tnewiconview* OpenAniAsProject(TFileHost& host, const QString& path);

// The builder's own Open: the steps handed to the builder, no project.
void OpenAniInEditor(TFileHost& host, const QString& path);
