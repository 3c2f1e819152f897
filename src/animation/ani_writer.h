#pragma once

// Writing animated cursor files (.ani) from the animated cursor builder's frames: a RIFF "ACON"
// file with the creator text, the animation header, one rate per frame and a "fram" list whose
// "icon" chunks are the frames as cursor images, every frame carrying the builder's hot spot.

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

// The 100 blank-padded bytes of the first LIST chunk.
QByteArray AniCreatorText();

// The cursor image of one frame: the frame's one-image icon file with its type made 2, its
// colour count and reserved byte cleared and the hot spot in the first entry's planes and
// bit-count fields. A file too short to hold an icon header and its first entry is refused with
// EAniError, so no half frame is ever written.
QByteArray AniCursorImage(const QByteArray& iconFile, int hotX, int hotY);

// The whole file from the frames' icon files and their durations (decimal texts, in jiffies).
// Every frame carries the hot spot hotX, hotY, or its own where ownHotSpots gives one (an entry
// of (-1, -1), or none, takes the common one). A frame file that cannot be opened raises the
// framework's file-open error; a duration that is no decimal integer, or is negative, raises the
// conversion error. Odd-sized frame chunks are followed by a pad byte, as RIFF asks, so that
// every reader finds the next chunk.
QByteArray BuildAniFile(const QStringList& frameFiles, const QStringList& durations, int hotX, int hotY,
                        const QList<QPoint>& ownHotSpots = {});

// Builds the file, keeps it as the scratch file "bmp" + scratchNumber + ".ani" and writes it to
// target whole or not at all. Raises as BuildAniFile, and EWriteError when the target cannot be
// written.
void WriteAniFile(const QStringList& frameFiles, const QStringList& durations, int hotX, int hotY,
                  int scratchNumber, const QString& target, const QList<QPoint>& ownHotSpots = {});
