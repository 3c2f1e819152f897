#include "document/editor_state.h"

#include "framework/exceptions.h"

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

TEditorState* RequiredEditorState()
{
    if (!g_state)
        throw EInvalidOperation(QStringLiteral("The document window needs the main window's editor state"));
    return g_state;
}
