#pragma once

// The skinned status bar: panels of text (or drawn by the program) on the theme's form colour,
// with a drawn size grip that resizes a sizeable window and does nothing on a maximised one.

#include "framework/collection.h"
#include "framework/controls.h"
#include "skin/file_theme.h"
#include "skin/theme_items.h"

#include <memory>

class TsuiStatusBar;

namespace StatusBarTypes {
Q_NAMESPACE
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
Q_ENUM_NS(TStatusPanelBevel)
enum TStatusPanelStyle { psText, psOwnerDraw };
Q_ENUM_NS(TStatusPanelStyle)
} // namespace StatusBarTypes
using namespace StatusBarTypes;

class TStatusPanel : public QObject, public TCollectionItem {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(ControlTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(StatusBarTypes::TStatusPanelBevel Bevel READ Bevel WRITE SetBevel)
    Q_PROPERTY(StatusBarTypes::TStatusPanelStyle Style READ Style WRITE SetStyle)

public:
    explicit TStatusPanel(TCollection* collection);

    QString Text() const { return text_; }
    void SetText(const QString& v);
    int Width() const { return width_; }
    void SetWidth(int v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TStatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(TStatusPanelBevel v);
    TStatusPanelStyle Style() const { return style_; }
    void SetStyle(TStatusPanelStyle v);
    void Assign(TPersistent* source) override;

private:
    QString text_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    TStatusPanelBevel bevel_ = pbLowered;
    TStatusPanelStyle style_ = psText;
};

class TStatusPanels : public TCollection {
public:
    explicit TStatusPanels(TsuiStatusBar* bar);
    TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }

protected:
    void Update(TCollectionItem* item) override;

private:
    TsuiStatusBar* bar_;
};

using TDrawPanelEvent = std::function<void(TObject* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TsuiStatusBar : public TCustomControl {
    Q_OBJECT
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(uint PanelColor READ PanelColor WRITE SetPanelColor)
    Q_PROPERTY(bool SimplePanel READ SimplePanel WRITE SetSimplePanel)
    Q_PROPERTY(QString SimpleText READ SimpleText WRITE SetSimpleText)
    Q_PROPERTY(bool SizeGrip READ SizeGrip WRITE SetSizeGrip)
    Q_PROPERTY(bool AutoHint READ AutoHint WRITE SetAutoHint)
    Q_PROPERTY(bool UseSystemFont READ UseSystemFont WRITE SetUseSystemFont)

public:
    explicit TsuiStatusBar(QWidget* parent = nullptr);
    ~TsuiStatusBar() override;

    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* fileTheme);
    TsuiUIStyle UIStyle() const { return style_; }
    void SetUIStyle(TsuiUIStyle style);
    TColor PanelColor() const { return Color(); }
    void SetPanelColor(TColor c) { SetColor(c); }
    TStatusPanels* Panels() const { return panels_.get(); }
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool v);
    QString SimpleText() const { return simpleText_; }
    void SetSimpleText(const QString& v);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool v);
    bool AutoHint() const { return autoHint_; }
    void SetAutoHint(bool v) { autoHint_ = v; }
    bool UseSystemFont() const { return useSystemFont_; }
    void SetUseSystemFont(bool v);

    // The rectangle of panel index in the bar.
    TRect PanelRect(int index) const;
    // The size grip's square, and whether it takes the mouse now (a sizeable window that is
    // not maximised): on a maximised window the grip answers nowhere.
    TRect GripRect() const;
    bool GripActive() const;

    void Notification(QObject* AComponent, TOperation Operation) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    TDrawPanelEvent OnDrawPanel;
    TNotifyEvent OnHint;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    bool FormSizeable() const;
    bool FormMaximized() const;

    TsuiFileTheme* fileTheme_ = nullptr;
    TsuiUIStyle style_ = DeepBlue;
    std::unique_ptr<TStatusPanels> panels_;
    bool simplePanel_ = false;
    QString simpleText_;
    bool sizeGrip_ = true;
    bool autoHint_ = false;
    bool useSystemFont_ = true;
    // Our own resize loop where the system cannot resize the window.
    bool sizing_ = false;
    QPoint sizeStart_;
    QSize sizeStartSize_;
};
