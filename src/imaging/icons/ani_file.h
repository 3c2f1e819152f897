#pragma once

// Reading animated cursor files (.ani): a RIFF container of form "ACON" holding an "anih"
// animation header, optional "rate" and "seq " chunks of one 32-bit value per step, and a
// "LIST" of type "fram" whose "icon" chunks are the frames, each a complete icon or cursor file.
// Chunks may come in any order and other chunks ("LIST" "INFO", creator texts) are skipped by
// their size. Every size and count is checked against the file before anything is copied, so a
// damaged file is refused with a reason and never read past its end.

#include "framework/exceptions.h"

#include <QByteArray>
#include <QPoint>
#include <cstdint>
#include <vector>

BRELNOVA_EXCEPTION(EAniError, EInvalidGraphic)

// Most steps (and frames) an animated cursor may have: the main window keeps the rates and the
// sequence of 1000 steps.
constexpr int MaxAniSteps = 1000;
constexpr int AniHeaderSize = 36;

struct TAniCursor {
    int FrameCount = 0;
    int StepCount = 0;
    // The header's default display rate, in sixtieths of a second.
    int DefaultRate = 0;
    bool HasRates = false;
    bool HasSequence = false;
    // StepCount entries each: the display rate of every step (the default rate where the file
    // has no "rate" chunk), and the frame (from 0) shown at every step (frame k at step k where
    // the file has no "seq " chunk).
    std::vector<int> Rates;
    std::vector<int> Sequence;
    // FrameCount entries: each frame as an icon file, that is the frame's bytes with the type
    // field made 1, so a cursor frame reads as an icon whose hot spot stays in the entries'
    // planes and bit-count fields.
    std::vector<QByteArray> Frames;
    // FrameCount entries: the hot spot of each frame stored as a cursor (its first entry's
    // planes and bit-count fields), (-1, -1) for a frame stored as an icon, which has none.
    std::vector<QPoint> HotSpots;
};

// Reads a whole .ani file. Raises EAniError with the reason when the bytes are no RIFF "ACON"
// file, a chunk runs past the end, the header is missing, repeated or not 36 bytes, the counts
// are 0 or above MaxAniSteps, the rate or sequence chunk does not hold one value per step, a
// sequence entry names a frame that does not exist, the frames do not match the header's count,
// or a frame is no icon or cursor file.
TAniCursor ReadAniCursor(const QByteArray& data);
