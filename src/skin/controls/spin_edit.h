#pragma once

// The skinned spin edit: a skinned edit for whole numbers with a pair of arrow buttons that step
// the value by Increment within MinValue..MaxValue (no limits when the two are equal).

#include "skin/controls/edit.h"

class TsuiArrowButton;

class TsuiSpinButtons : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(SkinTypes::TsuiUIStyle UIStyle READ UIStyle WRITE SetUIStyle)
    Q_PROPERTY(TsuiFileTheme* FileTheme READ FileTheme WRITE SetFileTheme)

public:
    explicit TsuiSpinButtons(QWidget* parent = nullptr);

    TsuiUIStyle UIStyle() const;
    void SetUIStyle(TsuiUIStyle style);
    TsuiFileTheme* FileTheme() const;
    void SetFileTheme(TsuiFileTheme* fileTheme);

    TsuiArrowButton* UpButton() const { return up_; }
    TsuiArrowButton* DownButton() const { return down_; }

    // The wanted size with the buttons laid out: at least 15 wide, the two halves overlapping
    // by one pixel.
    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    bool BindEvent(const QString& name, const TMethodRef& handler) override;

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;

protected:
    void KeyDown(WORD& key, TShiftState shift) override;
    void Resize() override;

private:
    void AdjustButtons(int& width, int& height);
    void ButtonClick(TObject* sender);

    TsuiArrowButton* up_ = nullptr;
    TsuiArrowButton* down_ = nullptr;
};

class TsuiSpinEdit : public TsuiEdit {
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(bool EditorEnabled READ EditorEnabled WRITE SetEditorEnabled)
    Q_PROPERTY(int Value READ Value WRITE SetValue)

public:
    explicit TsuiSpinEdit(QWidget* parent = nullptr);
    ~TsuiSpinEdit() override;

    int MinValue() const { return minValue_; }
    void SetMinValue(int v) { minValue_ = v; }
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int v) { maxValue_ = v; }
    int Increment() const { return increment_; }
    void SetIncrement(int v) { increment_ = v; }
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool v);
    // The text as a decimal number; MinValue when it is not one.
    int Value() const;
    void SetValue(int v);
    int CheckValue(int v) const;

    TsuiSpinButtons* Buttons() const { return buttons_; }

    virtual bool IsValidChar(QChar key) const;
    virtual void UpClick(TObject* sender);
    virtual void DownClick(TObject* sender);

protected:
    void UIStyleChanged() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(QChar& key) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void SetEditRect();
    bool ParsedValue(int& v) const;

    int minValue_ = 0;
    int maxValue_ = 0;
    int increment_ = 1;
    bool editorEnabled_ = true;
    TsuiSpinButtons* buttons_ = nullptr;
};
