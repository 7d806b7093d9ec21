#pragma once

#include "platform/script/tokens.h"
#include "platform/script/value.h"

namespace tev::script {

// The dialect's operators on Variants. Integers stay integers (64-bit, wrapping) except under
// "/", which always gives a float; a string meets a number as a number (the Variant rule, so
// '2' + 3 is 5), two strings concatenate; "and", "or", "xor" and "not" are logical on Booleans
// and bitwise on integers. Division by zero raises EDivByZero (div, mod) or EZeroDivide (/).
Value binaryOp(Tok op, const Value &a, const Value &b);
Value unaryOp(Tok op, const Value &a);

// Variant comparison: -1, 0 or 1. Strings compare case-sensitively by character code; Null
// equals only Null and orders before everything; objects are equal only when identical.
int compareValues(const Value &a, const Value &b);
bool equalValues(const Value &a, const Value &b);

} // namespace tev::script
