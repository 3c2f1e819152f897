#pragma once

// Group boxes (a captioned frame round child controls) and radio groups (a group box that makes
// one radio button per item and keeps ItemIndex).

#include "framework/controls.h"

#include <memory>

class TRadioButton;
class TStringList;
class TStrings;

class TCustomGroupBox : public TCustomControl {
    Q_OBJECT
public:
    explicit TCustomGroupBox(QWidget* parent = nullptr);
    void AdjustClientRect(TRect& rect) const override;

protected:
    void Paint() override;
    void TextChanged() override;
};

class TGroupBox : public TCustomGroupBox {
    Q_OBJECT
public:
    explicit TGroupBox(QWidget* parent = nullptr) : TCustomGroupBox(parent) {}
};

class TRadioGroup : public TCustomGroupBox {
    Q_OBJECT
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(int Columns READ Columns WRITE SetColumns)

public:
    explicit TRadioGroup(QWidget* parent = nullptr);
    ~TRadioGroup() override;

    TStrings* Items() const;
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int i);
    int Columns() const { return columns_; }
    void SetColumns(int n);
    TRadioButton* Buttons(int index) const;

    bool ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader) override;

protected:
    void Resize() override;

private:
    void ItemsChanged();
    void ArrangeButtons();
    std::unique_ptr<TStringList> items_;
    QList<TRadioButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false;
};
