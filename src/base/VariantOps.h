// VB's operators on Variants: result subtypes, overflow promotion and Null propagation as VB has them.
#pragma once

#include <optional>

#include "base/Variant.h"

Variant VbAdd(const Variant& a, const Variant& b);
Variant VbSub(const Variant& a, const Variant& b);
Variant VbMul(const Variant& a, const Variant& b);
Variant VbDiv(const Variant& a, const Variant& b);     // "/"
Variant VbIntDiv(const Variant& a, const Variant& b);  // "\": operands rounded half to even first
Variant VbMod(const Variant& a, const Variant& b);
Variant VbPow(const Variant& a, const Variant& b);
Variant VbNeg(const Variant& a);
Variant VbConcat(const Variant& a, const Variant& b);  // "&": Null counts as "" unless both are Null
Variant VbNot(const Variant& a);
Variant VbAnd(const Variant& a, const Variant& b);
Variant VbOr(const Variant& a, const Variant& b);
Variant VbXor(const Variant& a, const Variant& b);
Variant VbEqv(const Variant& a, const Variant& b);
Variant VbImp(const Variant& a, const Variant& b);

// Comparison: -1, 0 or 1; no value when either side is Null. Texts compare by code unit
// (binary compare) unless textCompare asks for a case-insensitive one.
std::optional<int> VbCompare(const Variant& a, const Variant& b, bool textCompare = false);

enum class CompareOp { Eq, Ne, Lt, Le, Gt, Ge };
// A comparison operator: Boolean, or Null when either side is Null.
Variant VbCompareOp(CompareOp op, const Variant& a, const Variant& b, bool textCompare = false);

// Null-aware equality: two Nulls are equal, Null never equals a value, values compare as VB does
// (a type mismatch counts as different).
bool ValuesEqual(const Variant& a, const Variant& b);
