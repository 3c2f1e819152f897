#pragma once

// A pair of arrow buttons that steps Position between Min and Max and shows it in an associated
// control.

#include "framework/controls.h"

#include <QPointer>

class QToolButton;

namespace UpDownTypes {
Q_NAMESPACE
enum TUDBtnType { btNext, btPrev };
Q_ENUM_NS(TUDBtnType)
enum TUDOrientation { udHorizontal, udVertical };
Q_ENUM_NS(TUDOrientation)
enum TUDAlignButton { udLeft, udRight };
Q_ENUM_NS(TUDAlignButton)
} // namespace UpDownTypes
using namespace UpDownTypes;

using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TUpDown : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(UpDownTypes::TUDOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(UpDownTypes::TUDAlignButton AlignButton READ AlignButton WRITE SetAlignButton)
    Q_PROPERTY(bool Wrap READ Wrap WRITE SetWrap)
    Q_PROPERTY(bool ArrowKeys READ ArrowKeys WRITE SetArrowKeys)
    Q_PROPERTY(bool Thousands READ Thousands WRITE SetThousands)
    Q_PROPERTY(TControl* Associate READ Associate WRITE SetAssociate)

public:
    explicit TUpDown(QWidget* parent = nullptr);

    int Min() const { return min_; }
    void SetMin(int v);
    int Max() const { return max_; }
    void SetMax(int v);
    int Position() const { return position_; }
    void SetPosition(int v);
    int Increment() const { return increment_; }
    void SetIncrement(int v) { increment_ = v; }
    TUDOrientation Orientation() const { return orientation_; }
    void SetOrientation(TUDOrientation o);
    TUDAlignButton AlignButton() const { return alignButton_; }
    void SetAlignButton(TUDAlignButton a) { alignButton_ = a; }
    bool Wrap() const { return wrap_; }
    void SetWrap(bool v) { wrap_ = v; }
    bool ArrowKeys() const { return arrowKeys_; }
    void SetArrowKeys(bool v) { arrowKeys_ = v; }
    bool Thousands() const { return thousands_; }
    void SetThousands(bool v) { thousands_ = v; }
    TControl* Associate() const { return associate_; }
    void SetAssociate(TControl* c);

    // One step as a click of the button would: OnChanging may refuse, OnClick follows.
    void Step(TUDBtnType button);

    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    void Resize() override;

private:
    void UpdateAssociate();
    void PlaceButtons();
    QToolButton* up_;
    QToolButton* down_;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int increment_ = 1;
    TUDOrientation orientation_ = udVertical;
    TUDAlignButton alignButton_ = udRight;
    bool wrap_ = false;
    bool arrowKeys_ = true;
    bool thousands_ = true;
    QPointer<TControl> associate_;
};
