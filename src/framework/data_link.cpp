#include "framework/data_link.h"

// ---- TField ----------------------------------------------------------------------------------

TField::TField(TDataSet* dataSet, int index, const QString& name, TFieldType type, int size)
    : dataSet_(dataSet), index_(index), name_(name), type_(type), size_(size)
{
}

bool TField::IsBlob() const
{
    return type_ == ftBlob || type_ == ftMemo || type_ == ftGraphic || type_ == ftTypedBinary;
}

QVariant TField::Value() const
{
    return dataSet_->FieldValue(index_);
}

bool TField::IsNull() const
{
    return !Value().isValid();
}

QByteArray TField::AsBytes() const
{
    return Value().toByteArray();
}

QString TField::AsString() const
{
    return Value().toString();
}

void TField::SetValue(const QVariant& value)
{
    if (size_ > 0 && value.isValid() && value.toByteArray().size() > size_)
        throw EDatabaseError(QStringLiteral("Value of field '%1' is too long").arg(name_));
    dataSet_->SetFieldValue(this, value);
}

int64_t TField::WriteBlob(const QByteArray& value)
{
    if (size_ > 0 && value.size() > size_)
        return 0;
    SetValue(QVariant(value));
    return value.size();
}

// ---- TDataSet --------------------------------------------------------------------------------

TDataSet::TDataSet(QObject* owner) : TComponent(owner) {}

TDataSet::~TDataSet()
{
    // Sources forget the data set before its fields go.
    const QList<TDataSource*> sources = sources_;
    for (TDataSource* source : sources)
        source->SetDataSet(nullptr);
}

TField* TDataSet::AddField(const QString& name, TFieldType type, int size)
{
    if (Active())
        throw EDatabaseError(QStringLiteral("Cannot add a field to an open data set"));
    fields_.push_back(std::make_unique<TField>(this, int(fields_.size()), name, type, size));
    return fields_.back().get();
}

TField* TDataSet::Fields(int index) const
{
    return index >= 0 && index < FieldCount() ? fields_[size_t(index)].get() : nullptr;
}

TField* TDataSet::FindField(const QString& name) const
{
    for (const auto& field : fields_)
        if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return field.get();
    return nullptr;
}

TField* TDataSet::FieldByName(const QString& name) const
{
    TField* field = FindField(name);
    if (!field)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return field;
}

void TDataSet::CheckActive() const
{
    if (!Active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed data set"));
}

void TDataSet::SetState(TDataSetState state)
{
    if (state_ == state)
        return;
    state_ = state;
    DataEvent(deUpdateState, nullptr);
}

void TDataSet::SetActive(bool value)
{
    if (value == Active())
        return;
    buffer_.clear();
    recNo_ = value && RecordCount() > 0 ? 0 : -1;
    SetState(value ? dsBrowse : dsInactive);
}

void TDataSet::First()
{
    CheckActive();
    if (state_ != dsBrowse)
        Post();
    recNo_ = RecordCount() > 0 ? 0 : -1;
    DataEvent(deDataSetScroll, nullptr);
}

void TDataSet::Next()
{
    CheckActive();
    if (state_ != dsBrowse)
        Post();
    if (recNo_ + 1 < RecordCount()) {
        ++recNo_;
        DataEvent(deDataSetScroll, nullptr);
    }
}

void TDataSet::Prior()
{
    CheckActive();
    if (state_ != dsBrowse)
        Post();
    if (recNo_ > 0) {
        --recNo_;
        DataEvent(deDataSetScroll, nullptr);
    }
}

void TDataSet::Edit()
{
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert)
        return;
    if (recNo_ < 0) {
        Append();
        return;
    }
    buffer_.resize(FieldCount());
    for (int i = 0; i < FieldCount(); ++i)
        buffer_[i] = InternalRead(recNo_, i);
    SetState(dsEdit);
}

void TDataSet::Append()
{
    CheckActive();
    if (state_ != dsBrowse)
        Post();
    buffer_ = QVector<QVariant>(FieldCount());
    SetState(dsInsert);
    DataEvent(deDataSetChange, nullptr);
}

void TDataSet::Post()
{
    CheckActive();
    if (state_ != dsEdit && state_ != dsInsert)
        return;
    DataEvent(deUpdateRecord, nullptr);
    const int record = state_ == dsInsert ? RecordCount() : recNo_;
    InternalWrite(record, buffer_);
    recNo_ = record;
    buffer_.clear();
    SetState(dsBrowse);
    DataEvent(deDataSetChange, nullptr);
}

void TDataSet::Cancel()
{
    if (state_ != dsEdit && state_ != dsInsert)
        return;
    buffer_.clear();
    SetState(dsBrowse);
    DataEvent(deDataSetChange, nullptr);
}

QVariant TDataSet::FieldValue(int field) const
{
    if (state_ == dsEdit || state_ == dsInsert)
        return field < buffer_.size() ? buffer_[field] : QVariant();
    if (!Active() || recNo_ < 0 || recNo_ >= RecordCount())
        return QVariant();
    return InternalRead(recNo_, field);
}

void TDataSet::SetFieldValue(TField* field, const QVariant& value)
{
    if (state_ != dsEdit && state_ != dsInsert)
        throw EDatabaseError(QStringLiteral("Data set is not in edit or insert mode"));
    buffer_[field->Index()] = value;
    DataEvent(deFieldChange, field);
}

void TDataSet::DataEvent(TDataEvent event, TField* field)
{
    const QList<TDataSource*> sources = sources_;
    for (TDataSource* source : sources)
        source->DataEvent(event, field);
}

// ---- TMemoryDataSet --------------------------------------------------------------------------

QVariant TMemoryDataSet::InternalRead(int record, int field) const
{
    if (record < 0 || record >= records_.size())
        return QVariant();
    const QVector<QVariant>& values = records_[record];
    return field >= 0 && field < values.size() ? values[field] : QVariant();
}

void TMemoryDataSet::InternalWrite(int record, const QVector<QVariant>& values)
{
    if (record == records_.size())
        records_.append(values);
    else if (record >= 0 && record < records_.size())
        records_[record] = values;
}

// ---- TDataSource -----------------------------------------------------------------------------

TDataSource::TDataSource(QObject* owner) : TComponent(owner) {}

TDataSource::~TDataSource()
{
    SetDataSet(nullptr);
    const QList<TDataLink*> links = links_;
    for (TDataLink* link : links)
        link->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet)
{
    if (dataSet_ == dataSet)
        return;
    if (dataSet_)
        dataSet_->sources_.removeOne(this);
    dataSet_ = dataSet;
    if (dataSet_)
        dataSet_->sources_.append(this);
    DataEvent(deUpdateState, nullptr);
}

void TDataSource::SetEnabled(bool value)
{
    if (enabled_ == value)
        return;
    enabled_ = value;
    DataEvent(deUpdateState, nullptr);
}

void TDataSource::DataEvent(TDataEvent event, TField* field)
{
    const QList<TDataLink*> links = links_;
    for (TDataLink* link : links)
        if (links_.contains(link))
            link->DataEvent(event, field);
}

// ---- TDataLink -------------------------------------------------------------------------------

TDataLink::~TDataLink()
{
    if (dataSource_)
        dataSource_->links_.removeOne(this);
}

void TDataLink::SetDataSource(TDataSource* source)
{
    if (dataSource_ == source)
        return;
    if (dataSource_)
        dataSource_->links_.removeOne(this);
    dataSource_ = source;
    if (dataSource_)
        dataSource_->links_.append(this);
    UpdateState();
}

void TDataLink::SetReadOnly(bool value)
{
    if (readOnly_ == value)
        return;
    readOnly_ = value;
    UpdateState();
}

bool TDataLink::Edit()
{
    if (!readOnly_ && active_ && DataSet())
        DataSet()->Edit();
    return editing_;
}

void TDataLink::UpdateRecord()
{
    updating_ = true;
    try {
        UpdateData();
    } catch (...) {
        updating_ = false;
        throw;
    }
    updating_ = false;
}

void TDataLink::UpdateState()
{
    const bool active = dataSource_ && dataSource_->State() != dsInactive;
    if (active != active_) {
        active_ = active;
        ActiveChanged();
    }
    const bool editing = active_ && !readOnly_ &&
                         (dataSource_->State() == dsEdit || dataSource_->State() == dsInsert);
    if (editing != editing_) {
        editing_ = editing;
        EditingChanged();
    }
}

void TDataLink::DataEvent(TDataEvent event, TField* field)
{
    switch (event) {
    case deUpdateState:
        UpdateState();
        break;
    case deFieldChange:
    case deRecordChange:
        // A link writing its own field hears nothing of it.
        if (active_ && !updating_)
            RecordChanged(field);
        break;
    case deDataSetChange:
    case deDataSetScroll:
        if (active_)
            RecordChanged(nullptr);
        break;
    case deUpdateRecord:
        if (active_)
            UpdateRecord();
        break;
    }
}

// ---- TFieldDataLink --------------------------------------------------------------------------

void TFieldDataLink::SetFieldName(const QString& name)
{
    if (fieldName_ == name)
        return;
    fieldName_ = name;
    UpdateField();
}

bool TFieldDataLink::CanModify() const
{
    return !ReadOnly() && field_ && DataSet() && DataSet()->Active();
}

void TFieldDataLink::UpdateField()
{
    SetField(nullptr);
    if (Active() && !fieldName_.isEmpty())
        SetField(DataSet()->FieldByName(fieldName_));
}

void TFieldDataLink::SetField(TField* field)
{
    if (field_ == field)
        return;
    field_ = field;
    EditingChanged();
    RecordChanged(nullptr);
}

void TFieldDataLink::ActiveChanged()
{
    UpdateField();
    if (OnActiveChange)
        OnActiveChange(this);
}

void TFieldDataLink::EditingChanged()
{
    if (OnEditingChange)
        OnEditingChange(this);
}

void TFieldDataLink::RecordChanged(TField* field)
{
    if (field && field != field_)
        return;
    if (OnDataChange)
        OnDataChange(this);
    modified_ = false;
}

void TFieldDataLink::UpdateData()
{
    if (!modified_)
        return;
    if (field_ && OnUpdateData)
        OnUpdateData(this);
    modified_ = false;
}
