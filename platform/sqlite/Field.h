#pragma once
// One field of a dataset's record or a query's row: its name, type and size,
// and its value read and written in the forms the program uses.

#include "platform/sqlite/Database.h"

#include <QVariant>

// Where a field's value lives: the dataset's record buffer or the query's row.
class FieldSource {
public:
    virtual ~FieldSource() = default;
    virtual QVariant fieldValue(int index) const = 0;
    // Throws DbError when the source cannot take a value.
    virtual void setFieldValue(int index, const QVariant &value) = 0;
};

class Field {
public:
    Field(FieldSource *source, const FieldInfo &info) : m_source(source), m_info(info) {}

    const FieldInfo &info() const { return m_info; }
    QString FieldName() const { return m_info.name; }
    FieldType DataType() const { return m_info.type; }
    int Size() const { return m_info.size; }
    int Index() const { return m_info.index; }
    bool IsNumeric() const { return m_info.isNumeric(); }

    QVariant Value() const { return m_source->fieldValue(m_info.index); }
    bool IsNull() const { return Value().isNull(); }
    // Null reads as "" (and as 0 through the number forms); a date reads as
    // its display text.
    QString AsString() const { return TextOf(m_info, Value()); }
    int AsInteger() const;
    double AsFloat() const;
    double AsDateTime() const; // the day number
    bool AsBoolean() const { return AsString() == QLatin1String("Y"); }

    // Each assignment marks the record modified, even with an equal value; a
    // value that does not convert to the field's type throws DbError.
    void SetValue(const QVariant &value);
    void SetAsString(const QString &text) { SetValue(FromText(m_info, text)); }
    void SetAsInteger(qint64 value);
    void SetAsFloat(double value);
    void SetAsDateTime(double day);
    void Clear() { m_source->setFieldValue(m_info.index, QVariant()); }

    // The display text of a value of this field.
    static QString TextOf(const FieldInfo &info, const QVariant &value);
    // A typed text turned into the field's value ("" becomes Null for numbers
    // and dates); throws DbError when it does not convert.
    static QVariant FromText(const FieldInfo &info, const QString &text);
    // Why a text cannot go into a sized text field (it is longer than the
    // field's size), as the table words it; "" when it fits.
    static QString SizeFault(const FieldInfo &info, const QString &text);

private:
    FieldSource *m_source;
    FieldInfo m_info;
};
