#pragma once

#include <QString>
#include <QVariant>
#include <Qt>
#include <functional>

namespace tev {

class DataSet;

// The value kinds a field can hold. Memo is text without a size; String has one.
enum class FieldType { Integer, String, Memo, Double };

// One column of the current record of a DataSet. The value access is abstract, so that the
// in-memory dataset and the database row sets answer it from their own storage; the display
// properties (label, width, visibility, alignment, text handlers) live here, shared by both.
//
// Null is an invalid QVariant. The typed accessors follow the data layer's conventions: a null
// reads as 0, 0.0 or the empty text, and writing the empty text to a String or Memo field stores
// null. A conversion that cannot be made throws tev::Error.
class Field
{
public:
    using GetTextHandler = std::function<QString(const Field &field)>;
    using SetTextHandler = std::function<void(Field &field, const QString &text)>;

    Field(const QString &name, FieldType type, int size, bool required);
    virtual ~Field();
    Field(const Field &) = delete;
    Field &operator=(const Field &) = delete;

    const QString &fieldName() const { return m_name; }
    FieldType dataType() const { return m_type; }
    int size() const { return m_size; }
    bool required() const { return m_required; }
    void setRequired(bool required) { m_required = required; }

    virtual DataSet &dataSet() const = 0;
    // The value of the current record (the edit buffer while editing); invalid for null.
    virtual QVariant value() const = 0;
    // Stores a value in the edit buffer; the dataset must be editing or inserting.
    virtual void setValue(const QVariant &value) = 0;

    bool isNull() const { return !value().isValid(); }
    void clear() { setValue(QVariant()); }
    bool isFloat() const { return m_type == FieldType::Double; }

    int asInteger() const;
    void setAsInteger(int value) { setValue(value); }
    double asFloat() const;
    void setAsFloat(double value) { setValue(value); }
    QString asString() const;
    void setAsString(const QString &value) { setValue(value); }

    // Converts a value to what this field stores: null stays null, the empty text becomes null
    // for text fields, numbers and number texts become int or double. Throws on a mismatch.
    QVariant convert(const QVariant &value) const;
    static QVariant convertTo(FieldType type, const QString &name, const QVariant &value);

    // Display properties.
    const QString &displayLabel() const { return m_displayLabel; }
    void setDisplayLabel(const QString &label) { m_displayLabel = label; }
    int displayWidth() const { return m_displayWidth; }
    void setDisplayWidth(int width) { m_displayWidth = width; }
    bool visible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }

    void setOnGetText(GetTextHandler handler) { m_onGetText = std::move(handler); }
    void setOnSetText(SetTextHandler handler) { m_onSetText = std::move(handler); }
    bool hasGetTextHandler() const { return bool(m_onGetText); }
    // The text shown for the value: the get-text handler's, or the value as text.
    QString displayText() const;
    // Stores a text the user entered: through the set-text handler, or as the value.
    void setText(const QString &text);

private:
    QString m_name;
    FieldType m_type;
    int m_size;
    bool m_required;
    QString m_displayLabel;
    int m_displayWidth;
    bool m_visible = true;
    Qt::Alignment m_alignment;
    GetTextHandler m_onGetText;
    SetTextHandler m_onSetText;
};

} // namespace tev
