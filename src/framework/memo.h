#pragma once

// Multi-line text entry. Lines is a string list kept in step with the text both ways.

#include "framework/controls.h"

#include <memory>

class QPlainTextEdit;
class TStringList;
class TStrings;

class TCustomMemo : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(ControlTypes::TScrollStyle ScrollBars READ ScrollBars WRITE SetScrollBars)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool WantReturns READ WantReturns WRITE SetWantReturns)
    Q_PROPERTY(bool WantTabs READ WantTabs WRITE SetWantTabs)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(ControlTypes::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(ControlTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)

public:
    explicit TCustomMemo(QWidget* parent = nullptr);
    ~TCustomMemo() override;

    TStrings* Lines() const;
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle s);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool ReadOnly() const;
    void SetReadOnly(bool v);
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool v) { wantReturns_ = v; }
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool v);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int n) { maxLength_ = std::max(0, n); }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }

    void Clear();
    void SelectAll();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // The Qt editor, for code that scrolls or measures it (the skinned scroll bars).
    QPlainTextEdit* Editor() const { return edit_; }

    TNotifyEvent OnChange;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;
    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    virtual void Change();
    QString GetText() const override;
    void TextChanged() override;
    void KeyPress(QChar& key) override;
    void ColorChanged() override;

private:
    void LinesChanged();
    QPlainTextEdit* edit_;
    std::unique_ptr<TStringList> lines_;
    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    int maxLength_ = 0;
    TAlignment alignment_ = taLeftJustify;
    TBorderStyle borderStyle_ = bsSingle;
    bool modified_ = false;
    bool syncing_ = false;
};

class TMemo : public TCustomMemo {
    Q_OBJECT
public:
    explicit TMemo(QWidget* parent = nullptr) : TCustomMemo(parent) {}
};
