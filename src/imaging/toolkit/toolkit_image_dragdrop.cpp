// Drag and drop and URL download of the toolkit image control.

#include "imaging/toolkit/toolkit_image.h"

struct TToolkitImage::TDragDropState {
};

void TToolkitImage::TDragDropStateDeleter::operator()(TDragDropState* state) const
{
    delete state;
}

TToolkitImage::TDragDropState& TToolkitImage::DragDropState()
{
    if (!dragDropState_)
        dragDropState_.reset(new TDragDropState);
    return *dragDropState_;
}

void TToolkitImage::ShutDownDragDrop() {}

bool TToolkitImage::MaybeStartOleDrag(TMouseButton)
{
    return false;
}

// ---- Properties ------------------------------------------------------------------------------

void TToolkitImage::SetBitmapDataPath(const QString& v)
{
    bitmapDataPath_ = v;
    LastResult = 1;
}

void TToolkitImage::SetDropFilesAllowed(bool v)
{
    dropFilesAllowed_ = v;
    LastResult = 1;
}

void TToolkitImage::SetDropAutoLoad(bool v)
{
    dropAutoLoad_ = v;
    LastResult = 1;
}

void TToolkitImage::SetEnableOLEDragMethod(bool v)
{
    enableOLEDragMethod_ = v;
    LastResult = 1;
}
