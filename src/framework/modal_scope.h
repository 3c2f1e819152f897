#pragma once

// Opened by every modal box, file dialog and modal form of the framework before it asks the
// dialog answerer, and closed when it has its answer: for that time the program's stay-on-top
// windows step down to the ordinary layer, so that none of them hides the question (or its
// buttons) under it; they step up again afterwards. The dialog itself, when it is a window
// already, stays as it is. Scopes nest.

#include <QPointer>
#include <vector>

class QWidget;

class TModalAboveScope {
public:
    explicit TModalAboveScope(const QWidget* dialog = nullptr);
    ~TModalAboveScope();
    TModalAboveScope(const TModalAboveScope&) = delete;
    TModalAboveScope& operator=(const TModalAboveScope&) = delete;

private:
    std::vector<QPointer<QWidget>> lowered_;
};
