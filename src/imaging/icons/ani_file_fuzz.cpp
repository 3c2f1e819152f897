// Reads arbitrary bytes as an animated cursor. Beyond not crashing, a file that reads must give
// counts within the limits, one rate and one frame number per step, and frames that are icons.
#include "imaging/icons/ani_file.h"

#include <QByteArray>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TAniCursor ani;
    try {
        ani = ReadAniCursor(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    } catch (const EAniError&) {
        return 0;
    }
    if (ani.FrameCount < 1 || ani.FrameCount > MaxAniSteps || ani.StepCount < 1 || ani.StepCount > MaxAniSteps)
        std::abort();
    if (int(ani.Rates.size()) != ani.StepCount || int(ani.Sequence.size()) != ani.StepCount ||
        int(ani.Frames.size()) != ani.FrameCount)
        std::abort();
    for (int f : ani.Sequence)
        if (f < 0 || f >= ani.FrameCount)
            std::abort();
    for (const QByteArray& frame : ani.Frames)
        if (frame.size() > qsizetype(size) || frame.size() < 22 || frame[2] != 1)
            std::abort();
    return 0;
}
