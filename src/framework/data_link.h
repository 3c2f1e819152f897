#pragma once

// The framework's data-aware layer, as far as data-aware controls need it: a data set of records
// with typed fields (an interface, with an in-memory implementation), the data source that joins
// a data set to controls, and the field data link through which a control follows one field of
// the current record and writes it back when the record is posted.
//
// Events flow one way: the data set tells its sources, each source its links. A link hears when
// its data set opens or closes, when the current record changes (scrolling, a post, a cancel, a
// field written by someone else) and, before a post stores the record, that it should write what
// it changed. Everything runs on the GUI thread.

#include "framework/component.h"
#include "framework/exceptions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

#include <memory>
#include <vector>

BRELNOVA_EXCEPTION(EDatabaseError, Exception)
// A field of the wrong type connected to a control.
BRELNOVA_EXCEPTION(EInvalidFieldType, EDatabaseError)

enum TFieldType { ftUnknown, ftString, ftInteger, ftBoolean, ftFloat, ftBytes, ftVarBytes, ftBlob, ftMemo, ftGraphic, ftTypedBinary };
enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
enum TDataEvent { deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll, deUpdateRecord, deUpdateState };

class TDataSet;
class TDataSource;
class TDataLink;

// One field of a data set: its value in the current record (the edit buffer while the data set
// edits). A null value is an invalid QVariant.
class TField {
public:
    TField(TDataSet* dataSet, int index, const QString& name, TFieldType type, int size);

    TDataSet* DataSet() const { return dataSet_; }
    int Index() const { return index_; }
    const QString& FieldName() const { return name_; }
    TFieldType DataType() const { return type_; }
    // The most bytes a value may hold; 0 without a limit.
    int Size() const { return size_; }
    // Blob, memo, graphic and typed-binary fields.
    bool IsBlob() const;

    bool IsNull() const;
    QVariant Value() const;
    QByteArray AsBytes() const;
    QString AsString() const;
    // Writing needs the data set in edit or insert mode (EDatabaseError otherwise); a value longer
    // than Size raises and leaves the field as it was.
    void SetValue(const QVariant& value);
    void SetAsBytes(const QByteArray& value) { SetValue(QVariant(value)); }
    void Clear() { SetValue(QVariant()); }
    // Writes a blob whole or not at all: the bytes taken, 0 when they do not fit.
    int64_t WriteBlob(const QByteArray& value);

private:
    TDataSet* dataSet_;
    int index_;
    QString name_;
    TFieldType type_;
    int size_;
};

// The data set interface: state, fields, navigation and editing. An implementation keeps the
// records (InternalRead, InternalWrite, RecordCount).
class TDataSet : public TComponent {
    Q_OBJECT
public:
    explicit TDataSet(QObject* owner = nullptr);
    ~TDataSet() override;

    bool Active() const { return state_ != dsInactive; }
    void SetActive(bool value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const { return state_; }

    TField* AddField(const QString& name, TFieldType type, int size = 0);
    int FieldCount() const { return int(fields_.size()); }
    TField* Fields(int index) const;
    // Found without regard to case; FieldByName raises "Field 'X' not found".
    TField* FindField(const QString& name) const;
    TField* FieldByName(const QString& name) const;

    virtual int RecordCount() const = 0;
    // The current record, from 0; -1 when there is none.
    int RecNo() const { return recNo_; }
    void First();
    void Next();
    void Prior();
    bool Eof() const { return recNo_ < 0 || recNo_ >= RecordCount() - 1; }

    void Edit();
    void Append();
    // Asks the links to write what they changed, then stores the record.
    void Post();
    void Cancel();

protected:
    virtual QVariant InternalRead(int record, int field) const = 0;
    // Stores a whole record; record == RecordCount() appends one.
    virtual void InternalWrite(int record, const QVector<QVariant>& values) = 0;

private:
    friend class TField;
    friend class TDataSource;
    void DataEvent(TDataEvent event, TField* field);
    void SetState(TDataSetState state);
    void CheckActive() const;
    QVariant FieldValue(int field) const;
    void SetFieldValue(TField* field, const QVariant& value);

    TDataSetState state_ = dsInactive;
    int recNo_ = -1;
    std::vector<std::unique_ptr<TField>> fields_;
    QVector<QVariant> buffer_;
    QList<TDataSource*> sources_;
};

// Records held in memory, for data sets built in code (and tests).
class TMemoryDataSet : public TDataSet {
    Q_OBJECT
public:
    explicit TMemoryDataSet(QObject* owner = nullptr) : TDataSet(owner) {}
    int RecordCount() const override { return int(records_.size()); }

protected:
    QVariant InternalRead(int record, int field) const override;
    void InternalWrite(int record, const QVector<QVariant>& values) override;

private:
    QVector<QVector<QVariant>> records_;
};

// Joins a data set to the links of controls.
class TDataSource : public TComponent {
    Q_OBJECT
public:
    explicit TDataSource(QObject* owner = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);
    // A disabled source tells its links the data set is closed.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    TDataSetState State() const { return dataSet_ && enabled_ ? dataSet_->State() : dsInactive; }

private:
    friend class TDataSet;
    friend class TDataLink;
    void DataEvent(TDataEvent event, TField* field);

    TDataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    QList<TDataLink*> links_;
};

class TDataLink : public TObject {
public:
    TDataLink() = default;
    ~TDataLink() override;
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* source);
    // A fixed source is not changed while its control is being read from a definition.
    bool DataSourceFixed() const { return dataSourceFixed_; }
    void SetDataSourceFixed(bool value) { dataSourceFixed_ = value; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool Active() const { return active_; }
    bool Editing() const { return editing_; }
    TDataSet* DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }
    // Puts the data set into edit mode unless the link is read-only; whether it now edits.
    bool Edit();
    // Asks the link to write what it changed (a post does this first).
    void UpdateRecord();

protected:
    virtual void ActiveChanged() {}
    virtual void EditingChanged() {}
    virtual void RecordChanged(TField*) {}
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    void DataEvent(TDataEvent event, TField* field);
    void UpdateState();

    TDataSource* dataSource_ = nullptr;
    bool dataSourceFixed_ = false;
    bool readOnly_ = false;
    bool active_ = false;
    bool editing_ = false;
    bool updating_ = false;
};

// Follows one field of the current record. OnDataChange fires when the field's value may have
// changed (another record, the data set opened or closed, the field connected); OnUpdateData when
// a post asks a link marked modified to write the field.
class TFieldDataLink : public TDataLink {
public:
    QString FieldName() const { return fieldName_; }
    // Connects the field of that name (FieldByName raises for a name the open data set lacks).
    void SetFieldName(const QString& name);
    TField* Field() const { return field_; }
    bool CanModify() const;
    // The control changed the field's value: a post will ask for it.
    void Modified() { modified_ = true; }
    bool IsModified() const { return modified_; }
    void ClearModified() { modified_ = false; }

    TNotifyEvent OnDataChange;
    TNotifyEvent OnUpdateData;
    TNotifyEvent OnEditingChange;
    TNotifyEvent OnActiveChange;

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    void UpdateField();
    void SetField(TField* field);

    QString fieldName_;
    TField* field_ = nullptr;
    bool modified_ = false;
};
