#pragma once

// Single-line text entry. The text lives in a Qt line edit inset by BorderWidth; OnChange runs
// on every change of the text, typed or set.

#include "framework/controls.h"

class QLineEdit;

namespace EditTypes {
Q_NAMESPACE
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
Q_ENUM_NS(TEditCharCase)
} // namespace EditTypes
using namespace EditTypes;

class TCustomEdit : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(QString PasswordChar READ PasswordChar WRITE SetPasswordChar)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)
    Q_PROPERTY(EditTypes::TEditCharCase CharCase READ CharCase WRITE SetCharCase)
    Q_PROPERTY(ControlTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(bool HideSelection READ HideSelection WRITE SetHideSelection)

public:
    explicit TCustomEdit(QWidget* parent = nullptr);

    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int n);
    bool ReadOnly() const;
    void SetReadOnly(bool v);
    QString PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(const QString& c);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool v) { autoSelect_ = v; }
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase c);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    bool HideSelection() const { return true; }
    void SetHideSelection(bool) {}
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }

    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    QString SelText() const;
    void SetSelText(const QString& t);
    void SelectAll();
    void Clear() { SetText(QString()); }
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();

    TNotifyEvent OnChange;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

protected:
    virtual void Change();
    QString GetText() const override;
    void TextChanged() override;
    void DoEnter() override;
    QLineEdit* LineEdit() const { return edit_; }
    void ColorChanged() override;

private:
    QLineEdit* edit_;
    int maxLength_ = 0;
    QString passwordChar_;
    bool autoSelect_ = true;
    TEditCharCase charCase_ = ecNormal;
    TBorderStyle borderStyle_ = bsSingle;
    bool modified_ = false;
    bool syncing_ = false;
};

class TEdit : public TCustomEdit {
    Q_OBJECT
public:
    explicit TEdit(QWidget* parent = nullptr) : TCustomEdit(parent) {}
};

// An edit whose text must fit an input mask.
class TMaskEdit : public TCustomEdit {
    Q_OBJECT
    Q_PROPERTY(QString EditMask READ EditMask WRITE SetEditMask)
public:
    explicit TMaskEdit(QWidget* parent = nullptr) : TCustomEdit(parent) {}
    QString EditMask() const { return editMask_; }
    // The framework's mask ("!99/99/00;1;_"): the part before the first ';' is the pattern, the
    // last part the blank character.
    void SetEditMask(const QString& mask);

private:
    QString editMask_;
};
