#include "document/editor_state.h"

namespace {
TEditorState* g_state = nullptr;
}

TEditorState::~TEditorState()
{
    if (g_state == this)
        g_state = nullptr;
}

TEditorState* EditorState()
{
    return g_state;
}

void SetEditorState(TEditorState* state)
{
    g_state = state;
}
