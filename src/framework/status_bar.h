#pragma once

// The status bar: a row of panels (or one simple text) along the bottom of a window.

#include "framework/controls.h"

#include <QObject>

class TStatusBar;

namespace StatusTypes {
Q_NAMESPACE
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
Q_ENUM_NS(TStatusPanelBevel)
enum TStatusPanelStyle { psText, psOwnerDraw };
Q_ENUM_NS(TStatusPanelStyle)
} // namespace StatusTypes

// One panel of a status bar. (The skinned status bar keeps panels of its own.)
class TStatusBarPanel : public QObject, public TPersistent {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(ControlTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(StatusTypes::TStatusPanelBevel Bevel READ Bevel WRITE SetBevel)
    Q_PROPERTY(StatusTypes::TStatusPanelStyle Style READ Style WRITE SetStyle)

public:
    explicit TStatusBarPanel(TStatusBar* bar);
    QString Text() const { return text_; }
    void SetText(const QString& t);
    int Width() const { return width_; }
    void SetWidth(int w);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    StatusTypes::TStatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(StatusTypes::TStatusPanelBevel b);
    StatusTypes::TStatusPanelStyle Style() const { return style_; }
    void SetStyle(StatusTypes::TStatusPanelStyle s);
    int Index() const;

private:
    void Changed();
    TStatusBar* bar_;
    QString text_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    StatusTypes::TStatusPanelBevel bevel_ = StatusTypes::pbLowered;
    StatusTypes::TStatusPanelStyle style_ = StatusTypes::psText;
};

using TStatusBarDrawPanelEvent = std::function<void(TStatusBar* StatusBar, TStatusBarPanel* Panel, TRect Rect)>;

class TStatusBar : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(bool SimplePanel READ SimplePanel WRITE SetSimplePanel)
    Q_PROPERTY(QString SimpleText READ SimpleText WRITE SetSimpleText)
    Q_PROPERTY(bool SizeGrip READ SizeGrip WRITE SetSizeGrip)

public:
    explicit TStatusBar(QWidget* parent = nullptr);

    int PanelCount() const { return int(panels_.size()); }
    TStatusBarPanel* Panels(int index) const;
    TStatusBarPanel* AddPanel();
    void ClearPanels();
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool v);
    QString SimpleText() const { return simpleText_; }
    void SetSimpleText(const QString& t);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool v);
    // Where panel index sits in the bar; the last panel reaches the right edge.
    TRect PanelRect(int index) const;

    TStatusBarDrawPanelEvent OnDrawPanel;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    void PaintControl() override;
    virtual void DrawPanel(TStatusBarPanel* panel, const TRect& rect);

private:
    friend class TStatusBarPanel;
    QList<TStatusBarPanel*> panels_;
    bool simplePanel_ = false;
    QString simpleText_;
    bool sizeGrip_ = true;
};
