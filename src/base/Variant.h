// Variant: a VB-compatible value (Empty, Null, Boolean, Integer, Long, Single, Double,
// Currency, Date, String, Object, Array) with VB's conversions under Italian regional settings.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include "base/Currency.h"

class Object;
class VArray;
using ObjectRef = std::shared_ptr<Object>;

// VB's VarType codes.
enum class VarType : int {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Object = 9,
    Error = 10,  // only as the "missing argument" marker
    Boolean = 11,
    Byte = 17,
    Array = 0x2000,
};

class Variant {
  public:
    Variant() = default;  // Empty
    Variant(bool b);
    Variant(int16_t i);
    Variant(int32_t l);
    Variant(int64_t l);  // Long when it fits, Double otherwise
    Variant(long long l) : Variant(static_cast<int64_t>(l)) {}
    Variant(float f);
    Variant(double d);
    Variant(Currency c);
    Variant(const QString& s);
    Variant(QString&& s);
    Variant(const char* s);
    Variant(ObjectRef o);
    Variant(std::shared_ptr<VArray> a);
    Variant(const VArray& a);

    // Copies an array: arrays are values in VB. Inline: rows copy their values by the dozen.
    Variant(const Variant& o)
        : type_(o.type_),
          b_(o.b_),
          i_(o.i_),
          d_(o.d_),
          s_(o.s_),
          obj_(o.obj_),
          arr_(o.arr_ ? copyArray(*o.arr_) : nullptr) {}
    Variant(Variant&& other) noexcept = default;
    Variant& operator=(const Variant& o) {
        if (this != &o) {
            // The array first: a failed copy leaves the value as it was.
            std::shared_ptr<VArray> arr = o.arr_ ? copyArray(*o.arr_) : nullptr;
            type_ = o.type_;
            b_ = o.b_;
            i_ = o.i_;
            d_ = o.d_;
            s_ = o.s_;
            obj_ = o.obj_;
            arr_ = std::move(arr);
        }
        return *this;
    }
    Variant& operator=(Variant&& other) noexcept = default;
    ~Variant() = default;

    static Variant null();
    static Variant nothing();  // an Object holding no object
    static Variant missing();  // an omitted optional argument
    static Variant fromDate(double oleDate);
    static Variant fromByte(uint8_t b);
    static Variant fromError(int32_t code);

    VarType type() const { return type_; }
    bool isEmpty() const { return type_ == VarType::Empty; }
    bool isNull() const { return type_ == VarType::Null; }
    bool isMissing() const;
    bool isObject() const { return type_ == VarType::Object; }
    bool isNothing() const { return type_ == VarType::Object && !obj_; }
    bool isArray() const { return type_ == VarType::Array; }
    bool isString() const { return type_ == VarType::String; }
    bool isNumeric() const;  // Boolean, Byte, Integer, Long, Single, Double, Currency
    bool isEmptyOrNull() const { return isEmpty() || isNull(); }

    // Raw access; the caller knows the type.
    bool boolValue() const { return b_; }
    double doubleValue() const { return d_; }
    int64_t intValue() const { return i_; }
    Currency currencyValue() const { return Currency::fromRaw(i_); }
    double dateValue() const { return d_; }
    const QString& stringValue() const { return s_; }
    const ObjectRef& objectValue() const { return obj_; }
    VArray* arrayValue() const { return arr_.get(); }
    int32_t errorValue() const { return static_cast<int32_t>(i_); }

    // VB conversions; they raise AppError 13 (type mismatch), 6 (overflow) or 94 (invalid use of Null).
    bool toBool() const;
    uint8_t toByte() const;
    int16_t toInteger() const;
    int32_t toLong() const;
    float toSingle() const;
    double toDouble() const;
    Currency toCurrency() const;
    double toDate() const;
    QString toString() const;    // CStr: Null raises 94
    ObjectRef toObject() const;  // raises 424 when not an object

    // Text as shown: Null and Empty give "", otherwise CStr.
    QString toText() const;
    // The same value with a different subtype, as CInt/CLng/... do; Null stays Null.
    Variant convert(VarType to) const;

    // Numeric value for arithmetic: Empty 0, Boolean -1/0, strings parsed; errors as above.
    double toNumber() const;

    QString typeName() const;  // TypeName()

  private:
    static std::shared_ptr<VArray> copyArray(const VArray& a);

    VarType type_ = VarType::Empty;
    bool b_ = false;
    int64_t i_ = 0;  // Byte, Integer, Long, Currency raw, Error code
    double d_ = 0;   // Single, Double, Date
    QString s_;
    ObjectRef obj_;
    std::shared_ptr<VArray> arr_;
};

using VariantList = std::vector<Variant>;

// Whole-number rounding with halves to the even neighbour, as VB's CInt/CLng and the data model do.
double RoundHalfEven(double v);

// A text that is a number under Italian settings ("12,5", "1.234,5", " -3 ", "&HFF", "1E3").
bool ParseVbNumber(const QString& text, double& out);
// A text that is a date or time under Italian settings ("31/12/2024", "31/12/2024 08:30", "08:30:15").
bool ParseVbDate(const QString& text, double& out);
// CStr of a Double/Single: up to 15 (7) significant digits, "," as decimal point, E notation past them.
QString FormatVbDouble(double v, int significantDigits = 15);
