#include "platform/sqlite/Field.h"

#include "base/TextRoutines.h"
#include "platform/sqlite/SqlFunctions.h"

#include <cmath>

namespace {

bool isNumberVariant(const QVariant &v) {
    const int t = v.typeId();
    return t == QMetaType::LongLong || t == QMetaType::Int || t == QMetaType::Double || t == QMetaType::UInt ||
           t == QMetaType::Short || t == QMetaType::Float;
}

DbError badValue(const FieldInfo &info, const QString &text, const char *what) {
    return DbError(QStringLiteral("'%1' is not a valid %2 for field %3.").arg(MessageValue(text), QLatin1String(what), info.name));
}

} // namespace

QString Field::TextOf(const FieldInfo &info, const QVariant &value) {
    if (value.isNull() || !value.isValid()) return QString();
    switch (info.type) {
    case FieldType::DateTime:
        return isNumberVariant(value) ? DayNumberText(value.toDouble()) : value.toString();
    case FieldType::Float:
        if (value.typeId() == QMetaType::Double) return QString::number(value.toDouble(), 'g', 15);
        return value.toString();
    case FieldType::Int16:
    case FieldType::Int32:
        if (value.typeId() == QMetaType::Double) return QString::number(qRound64(value.toDouble()));
        return value.toString();
    default:
        if (value.typeId() == QMetaType::Double) return QString::number(value.toDouble(), 'g', 15);
        return value.toString();
    }
}

QVariant Field::FromText(const FieldInfo &info, const QString &text) {
    switch (info.type) {
    case FieldType::Text:
    case FieldType::Memo:
        return text;
    case FieldType::Int16:
    case FieldType::Int32: {
        const QString t = text.trimmed();
        if (t.isEmpty()) return QVariant();
        bool ok = false;
        const qint64 v = t.toLongLong(&ok);
        if (!ok) throw badValue(info, text, "integer");
        if (info.type == FieldType::Int16 ? (v < -32768 || v > 32767) : (v < INT32_MIN || v > INT32_MAX))
            throw badValue(info, text, "integer");
        return v;
    }
    case FieldType::Float: {
        const QString t = text.trimmed();
        if (t.isEmpty()) return QVariant();
        bool ok = false;
        const double v = t.toDouble(&ok);
        if (!ok || !std::isfinite(v)) throw badValue(info, text, "number");
        return v;
    }
    case FieldType::DateTime: {
        if (text.trimmed().isEmpty()) return QVariant();
        double day = 0;
        if (!ParseDayNumberText(text, &day)) throw badValue(info, text, "date");
        return day;
    }
    }
    return text;
}

QString Field::SizeFault(const FieldInfo &info, const QString &text) {
    if (info.type != FieldType::Text || info.size <= 0 || text.size() <= info.size) return QString();
    return QStringLiteral("The field %1 is too small to accept the amount of data you attempted to add "
                          "(%2 characters at most).")
        .arg(info.name)
        .arg(info.size);
}

int Field::AsInteger() const {
    const QVariant v = Value();
    if (v.isNull()) return 0;
    if (v.typeId() == QMetaType::Double) return int(qRound64(v.toDouble()));
    if (isNumberVariant(v)) return int(v.toLongLong());
    const QString t = v.toString().trimmed();
    if (t.isEmpty()) return 0;
    bool ok = false;
    const int n = t.toInt(&ok);
    if (!ok) throw badValue(m_info, t, "integer");
    return n;
}

double Field::AsFloat() const {
    const QVariant v = Value();
    if (v.isNull()) return 0;
    if (isNumberVariant(v)) return v.toDouble();
    const QString t = v.toString().trimmed();
    if (t.isEmpty()) return 0;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok) throw badValue(m_info, t, "number");
    return d;
}

double Field::AsDateTime() const {
    const QVariant v = Value();
    if (v.isNull()) return 0;
    if (isNumberVariant(v)) return v.toDouble();
    double day = 0;
    if (!ParseDayNumberText(v.toString(), &day)) throw badValue(m_info, v.toString(), "date");
    return day;
}

void Field::SetValue(const QVariant &value) {
    if (value.isNull() || !value.isValid()) return m_source->setFieldValue(m_info.index, QVariant());
    if (!isNumberVariant(value)) return m_source->setFieldValue(m_info.index, FromText(m_info, value.toString()));
    switch (m_info.type) {
    case FieldType::Text:
    case FieldType::Memo:
        return m_source->setFieldValue(m_info.index, TextOf(FieldInfo{}, value));
    case FieldType::Int16:
    case FieldType::Int32:
        return SetAsInteger(value.typeId() == QMetaType::Double ? qRound64(value.toDouble()) : value.toLongLong());
    default:
        return m_source->setFieldValue(m_info.index, value.toDouble());
    }
}

void Field::SetAsInteger(qint64 value) {
    switch (m_info.type) {
    case FieldType::Int16:
    case FieldType::Int32:
        if (m_info.type == FieldType::Int16 ? (value < -32768 || value > 32767) : (value < INT32_MIN || value > INT32_MAX))
            throw badValue(m_info, QString::number(value), "integer");
        return m_source->setFieldValue(m_info.index, value);
    case FieldType::Float:
    case FieldType::DateTime:
        return m_source->setFieldValue(m_info.index, double(value));
    default:
        return m_source->setFieldValue(m_info.index, QString::number(value));
    }
}

void Field::SetAsFloat(double value) {
    if (m_info.type == FieldType::Int16 || m_info.type == FieldType::Int32) return SetAsInteger(qRound64(value));
    if (m_info.type == FieldType::Text || m_info.type == FieldType::Memo)
        return m_source->setFieldValue(m_info.index, QString::number(value, 'g', 15));
    m_source->setFieldValue(m_info.index, value);
}

void Field::SetAsDateTime(double day) {
    if (m_info.type == FieldType::Text || m_info.type == FieldType::Memo)
        return m_source->setFieldValue(m_info.index, DayNumberText(day));
    SetAsFloat(day);
}
