#pragma once

// One script value, with the Variant semantics of the dialect: Unassigned, Null, Boolean,
// integer, float, date-time, string, object, class reference, array and routine reference.
//
// Design: a std::variant keeps a value at 32 bytes and makes copies cheap (strings are Qt's
// shared strings; arrays share their items until one side writes, so arrays have value
// semantics like a Variant array). Objects are shared handles to an ObjectBox, which knows
// whether its object still lives; a freed or destroyed object is an error on access, never a
// dangling pointer.

#include <QString>
#include <memory>
#include <variant>
#include <vector>

namespace tev::script {

class ScriptClass;
class ObjectBox;
struct Routine;
class Value;

using ObjectRef = std::shared_ptr<ObjectBox>;

struct ArrayData
{
    qint64 low = 0;
    std::vector<Value> items;
};

enum class VType : quint8 {
    Empty,
    Null,
    Boolean,
    Integer,
    Float,
    DateTime,
    String,
    Object,
    Class,
    Array,
    Routine
};

// Limits that keep a script from exhausting memory with a few doubling steps.
inline constexpr qsizetype MaxStringLength = 1 << 24; // characters
inline constexpr qsizetype MaxArrayLength = 1 << 22;  // elements

class Value
{
public:
    Value() = default;
    Value(bool b)
        : m_v(b)
    {}
    Value(int i)
        : m_v(static_cast<qint64>(i))
    {}
    Value(qint64 i)
        : m_v(i)
    {}
    Value(double d)
        : m_v(d)
    {}
    Value(const QString &s)
        : m_v(s)
    {}
    Value(QString &&s)
        : m_v(std::move(s))
    {}
    Value(const char *) = delete;

    static Value null();
    static Value dateTime(double d);
    static Value object(ObjectRef o);
    static Value nil() { return object(nullptr); }
    static Value classRef(const ScriptClass *c);
    static Value array(std::vector<Value> items, qint64 low = 0);
    static Value routine(const Routine *r);

    VType type() const { return static_cast<VType>(m_v.index()); }
    bool isEmpty() const { return type() == VType::Empty; }
    bool isNull() const { return type() == VType::Null; }
    bool isString() const { return type() == VType::String; }
    bool isInteger() const { return type() == VType::Integer; }
    bool isFloat() const { return type() == VType::Float || type() == VType::DateTime; }
    bool isNumber() const { return isInteger() || isFloat(); }
    bool isObject() const { return type() == VType::Object; }
    bool isArray() const { return type() == VType::Array; }

    // Raw access; the caller has checked the type.
    bool rawBool() const { return std::get<bool>(m_v); }
    qint64 rawInt() const { return std::get<qint64>(m_v); }
    double rawFloat() const;
    const QString &rawString() const { return std::get<QString>(m_v); }
    // The text for writing in place; a write detaches it from every other value that shares it.
    QString &mutableString() { return std::get<QString>(m_v); }
    const ObjectRef &rawObject() const { return std::get<ObjectRef>(m_v); }
    const ScriptClass *rawClass() const;
    const Routine *rawRoutine() const;
    const ArrayData &rawArray() const { return *std::get<std::shared_ptr<ArrayData>>(m_v); }
    // The array for writing: detached from every other value that shares it.
    ArrayData &mutableArray();

    // Conversions by the dialect's Variant rules; a value that cannot convert throws
    // ScriptError of class EConvertError (Null to a number, 'abc' to a number, an object to text).
    QString toString() const;
    qint64 toInteger() const;
    double toFloat() const;
    bool toBoolean() const;

    // The Variant type's name in messages: "Integer", "String", "Null", ...
    QString typeName() const;

private:
    struct NullTag
    {
    };
    struct DateTag
    {
        double d;
    };
    struct ClassTag
    {
        const ScriptClass *c;
    };
    struct RoutineTag
    {
        const Routine *r;
    };
    // The order matches VType.
    std::variant<std::monostate, NullTag, bool, qint64, double, DateTag, QString, ObjectRef,
                 ClassTag, std::shared_ptr<ArrayData>, RoutineTag>
        m_v;
};

// Number texts in the program-wide decimal separator: the shortest text of at most 15
// significant digits, as FloatToStr gives it.
QString floatToText(double d);
// Reads a number text written with the program-wide separator; false when it is none.
bool textToFloat(const QString &text, double &out);
// Reads an integer text, decimal or hexadecimal after "$"; false when it is none.
bool textToInteger(const QString &text, qint64 &out);

// Delphi's rounding of a float to an integer: halves go to the even neighbour. Throws
// EConvertError for a value outside the 64-bit range or NaN.
qint64 roundToInteger(double d);

} // namespace tev::script
