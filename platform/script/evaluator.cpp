// Expressions and member access of the interpreter.
#include <new>

#include "platform/script/interpreter.h"
#include "platform/script/operators.h"
#include "platform/script/scripthost.h"
#include "platform/script/scriptobject.h"

namespace tev::script {

namespace {

[[noreturn]] void nilAccess(const QString &member)
{
    raiseError(QStringLiteral("EAccessViolation"),
               QStringLiteral("Access to a nil object (member '%1')").arg(member));
}

[[noreturn]] void noMember(const QString &owner, const QString &member)
{
    raiseError(QStringLiteral("EScriptError"),
               QStringLiteral("'%1' has no member '%2'").arg(owner, member));
}

} // namespace

Value Interpreter::eval(const Expr &e, Frame &f)
{
    switch (e.kind) {
    case EK::Literal:
        return static_cast<const LiteralExpr &>(e).value;
    case EK::Local:
        return f.slots[static_cast<const VarExpr &>(e).slot];
    case EK::Global:
        return m_globals[static_cast<size_t>(static_cast<const VarExpr &>(e).slot)];
    case EK::Name:
        return evalName(static_cast<const NameExpr &>(e), f, false);
    case EK::Unary: {
        const auto &u = static_cast<const UnaryExpr &>(e);
        try {
            return unaryOp(u.op, eval(*u.operand, f));
        } catch (ScriptError &err) {
            throw withPosition(err, u.pos);
        }
    }
    case EK::Binary:
        return evalBinary(static_cast<const BinaryExpr &>(e), f);
    case EK::Chain:
        return evalChain(static_cast<const ChainExpr &>(e), f);
    case EK::Call:
        return evalCall(static_cast<const CallExpr &>(e), f);
    case EK::Member:
        return evalMember(static_cast<const MemberExpr &>(e), f);
    case EK::Index:
        return evalIndex(static_cast<const IndexExpr &>(e), f);
    case EK::Set:
        return evalSet(static_cast<const SetExpr &>(e), f);
    case EK::AddressOf: {
        const Expr &op = *static_cast<const AddressExpr &>(e).operand;
        if (op.kind == EK::Name &&
            static_cast<const NameExpr &>(op).res == NameExpr::Res::ScriptRoutine)
            return Value::routine(static_cast<const NameExpr &>(op).routine);
        raiseError(QStringLiteral("EScriptError"), QStringLiteral("'@' needs a script routine"));
    }
    }
    return Value();
}

const Value *Interpreter::withObjectFor(const NameExpr &n, Frame &f)
{
    for (auto it = n.withSlots.rbegin(); it != n.withSlots.rend(); ++it) {
        const Value &obj = slotRef(*it, n.withGlobal, f);
        if (hasMember(obj, n.name))
            return &obj;
    }
    return nullptr;
}

bool Interpreter::hasMember(const Value &obj, const QString &name)
{
    if (obj.type() == VType::Class)
        return obj.rawClass()->findMethod(name) || obj.rawClass()->findConstant(name);
    if (!obj.isObject() || !obj.rawObject() || !obj.rawObject()->alive())
        return false;
    const ScriptClass *c = obj.rawObject()->cls();
    return c->findProperty(name) || c->findMethod(name) || c->findConstant(name) ||
           m_host.hasDynamicMember(obj, name);
}

Value Interpreter::evalName(const NameExpr &n, Frame &f, bool asStatement)
{
    using Res = NameExpr::Res;
    if (!n.withSlots.empty()) {
        if (const Value *obj = withObjectFor(n, f)) {
            const Value self = *obj;
            if (asStatement) {
                std::vector<Value> none;
                return callMethod(self, n.name, none, n.pos);
            }
            return getMember(self, n.name, n.pos);
        }
    }
    switch (n.res) {
    case Res::Variable:
        return n.fallback ? eval(*n.fallback, f) : m_globals[static_cast<size_t>(n.slot)];
    case Res::ScriptRoutine: {
        const Routine &r = *n.routine;
        // A procedure, or a function that needs arguments, named without a call is a reference
        // to it, as an event handler assignment needs.
        if (asStatement || (r.isFunction && r.requiredParams == 0)) {
            static const std::vector<ExprPtr> none;
            return invokeScript(r, none, f, n.pos);
        }
        return Value::routine(&r);
    }
    case Res::NativeRoutine: {
        static const std::vector<ExprPtr> none;
        return invokeNative(*n.native, nullptr, none, f, n.pos);
    }
    case Res::Class:
        return Value::classRef(n.cls);
    case Res::Value:
        return n.value;
    case Res::TypeCast:
        throw withPosition(ScriptError(QStringLiteral("EScriptError"),
                                       QStringLiteral("'%1' is a type, not a value").arg(n.name)),
                           n.pos);
    case Res::Library:
        throw withPosition(
            ScriptError(QStringLiteral("EScriptError"),
                        QStringLiteral("'%1' is a library, not a value").arg(n.name)),
            n.pos);
    case Res::Unresolved:
        break;
    }
    throw withPosition(ScriptError(QStringLiteral("EScriptError"),
                                   QStringLiteral("Undeclared identifier: '%1'").arg(n.name)),
                       n.pos);
}

Value Interpreter::typeCast(TypeCode code, const Value &v, Pos pos)
{
    try {
        switch (code) {
        case TypeCode::Int8:
        case TypeCode::UInt8:
        case TypeCode::Int16:
        case TypeCode::UInt16:
        case TypeCode::Int32:
        case TypeCode::UInt32:
        case TypeCode::Int64: {
            if (v.isString() && v.rawString().size() == 1)
                return coerce(Value(qint64(v.rawString().at(0).unicode())),
                              TypeRef{code, {}, false, 0, -1, {}});
            if (v.type() == VType::Boolean)
                return Value(qint64(v.rawBool() ? 1 : 0));
            if (v.isObject())
                return Value(v.toInteger());
            return coerce(v, TypeRef{code, {}, false, 0, -1, {}});
        }
        case TypeCode::Char:
            if (v.isInteger())
                return Value(QString(QChar(static_cast<char16_t>(v.rawInt() & 0xFFFF))));
            return Value(v.toString().left(1));
        case TypeCode::Boolean:
            if (v.isInteger())
                return Value(v.rawInt() != 0);
            return Value(v.toBoolean());
        default:
            return coerce(v, TypeRef{code, {}, false, 0, -1, {}});
        }
    } catch (ScriptError &e) {
        throw withPosition(e, pos);
    }
}

Value Interpreter::evalCall(const CallExpr &c, Frame &f)
{
    using Res = NameExpr::Res;
    if (c.folded)
        return c.constant;
    if (c.callee->kind == EK::Name) {
        const auto &n = static_cast<const NameExpr &>(*c.callee);
        if (!n.withSlots.empty()) {
            if (const Value *obj = withObjectFor(n, f)) {
                const Value self = *obj;
                if (const NativeRoutine *m = lookupMethod(self, n.name))
                    return invokeNative(*m, &self, c.args, f, c.pos);
                std::vector<Value> args = evalArgs(c.args, f);
                return callMethod(self, n.name, args, c.pos);
            }
        }
        switch (n.res) {
        case Res::ScriptRoutine:
            return invokeScript(*n.routine, c.args, f, c.pos);
        case Res::NativeRoutine:
            return invokeNative(*n.native, nullptr, c.args, f, c.pos);
        case Res::Class: {
            if (c.args.size() != 1)
                break;
            Value v = eval(*c.args[0], f);
            if (v.isEmpty() || v.isNull())
                return Value::nil();
            if (v.isObject() && (!v.rawObject() || v.rawObject()->cls()->inheritsFrom(n.cls)))
                return v;
            throw withPosition(ScriptError(QStringLiteral("EInvalidCast"),
                                           QStringLiteral("Invalid class typecast")),
                               c.pos);
        }
        case Res::TypeCast:
            if (c.args.size() != 1)
                break;
            return typeCast(n.cast, eval(*c.args[0], f), c.pos);
        case Res::Variable: {
            const Value target = eval(n, f);
            if (target.type() == VType::Routine) {
                std::vector<Value> args = evalArgs(c.args, f);
                return call(*target.rawRoutine(), args);
            }
            break;
        }
        case Res::Unresolved:
            return evalName(n, f, false); // raises "Undeclared identifier"
        default:
            break;
        }
        throw withPosition(
            ScriptError(QStringLiteral("EScriptError"),
                        QStringLiteral("'%1' cannot be called with these arguments").arg(n.name)),
            c.pos);
    }
    if (c.callee->kind == EK::Member)
        return callMemberExpr(static_cast<const MemberExpr &>(*c.callee), c.args, f, c.pos);
    const Value target = eval(*c.callee, f);
    if (target.type() == VType::Routine) {
        std::vector<Value> args = evalArgs(c.args, f);
        return call(*target.rawRoutine(), args);
    }
    throw withPosition(
        ScriptError(QStringLiteral("EScriptError"), QStringLiteral("Expression is not callable")),
        c.pos);
}

Value Interpreter::callMemberExpr(const MemberExpr &m, const std::vector<ExprPtr> &args, Frame &f,
                                  Pos pos)
{
    if (m.object->kind == EK::Name) {
        const auto &lib = static_cast<const NameExpr &>(*m.object);
        if (lib.res == NameExpr::Res::Library && !withObjectFor(lib, f)) {
            const auto it = lib.library->routines.constFind(m.member.toLower());
            if (it == lib.library->routines.cend())
                throw withPosition(
                    ScriptError(QStringLiteral("EScriptError"),
                                QStringLiteral("'%1' has no routine '%2'").arg(lib.name, m.member)),
                    m.pos);
            return invokeNative(**it, nullptr, args, f, pos);
        }
    }
    const Value self = eval(*m.object, f);
    if (self.isObject() && !self.rawObject()) {
        if (m.member.compare(QLatin1String("Free"), Qt::CaseInsensitive) == 0)
            return Value(); // nil.Free does nothing, as in the dialect
        throw withPosition(
            ScriptError(QStringLiteral("EAccessViolation"),
                        QStringLiteral("Access to a nil object (member '%1')").arg(m.member)),
            pos);
    }
    if (const NativeRoutine *method = lookupMethod(self, m.member))
        return invokeNative(*method, &self, args, f, pos);
    std::vector<Value> values = evalArgs(args, f);
    return callMethod(self, m.member, values, pos);
}

Value Interpreter::evalMember(const MemberExpr &m, Frame &f)
{
    if (m.object->kind == EK::Name) {
        const auto &lib = static_cast<const NameExpr &>(*m.object);
        if (lib.res == NameExpr::Res::Library && !withObjectFor(lib, f)) {
            const QString key = m.member.toLower();
            if (const auto it = lib.library->routines.constFind(key);
                it != lib.library->routines.cend()) {
                static const std::vector<ExprPtr> none;
                return invokeNative(**it, nullptr, none, f, m.pos);
            }
            if (const auto it = lib.library->constants.constFind(key);
                it != lib.library->constants.cend())
                return *it;
            if (const auto it = lib.library->classes.constFind(key);
                it != lib.library->classes.cend())
                return Value::classRef(*it);
            throw withPosition(
                ScriptError(QStringLiteral("EScriptError"),
                            QStringLiteral("'%1' has no member '%2'").arg(lib.name, m.member)),
                m.pos);
        }
    }
    const Value self = eval(*m.object, f);
    return getMember(self, m.member, m.pos);
}

const NativeRoutine *Interpreter::lookupMethod(const Value &self, const QString &name)
{
    if (self.type() == VType::Class)
        return self.rawClass()->findMethod(name);
    if (self.isObject() && self.rawObject()) {
        self.rawObject()->checkAlive();
        return self.rawObject()->cls()->findMethod(name);
    }
    return nullptr;
}

Value Interpreter::getMember(const Value &self, const QString &name, Pos pos)
{
    try {
        if (self.type() == VType::Class) {
            const ScriptClass *c = self.rawClass();
            if (const NativeRoutine *m = c->findMethod(name)) {
                std::vector<Value> none;
                return invokeNativeValues(*m, &self, none, pos);
            }
            if (const Value *k = c->findConstant(name))
                return *k;
            if (name.compare(QLatin1String("ClassName"), Qt::CaseInsensitive) == 0)
                return Value(c->name());
            noMember(c->name(), name);
        }
        if (!self.isObject())
            raiseError(QStringLiteral("EScriptError"),
                       QStringLiteral("Cannot read member '%1' of a value of type %2")
                           .arg(name, self.typeName()));
        if (!self.rawObject())
            nilAccess(name);
        ObjectBox &box = *self.rawObject();
        box.checkAlive();
        const ScriptClass *c = box.cls();
        if (const ScriptProperty *p = c->findProperty(name)) {
            if (p->indexCount == 0 && p->getter) {
                std::vector<Value> none;
                return invokeProc(p->getter, &self, none, pos);
            }
        }
        if (const NativeRoutine *m = c->findMethod(name)) {
            std::vector<Value> none;
            return invokeNativeValues(*m, &self, none, pos);
        }
        if (const Value *k = c->findConstant(name))
            return *k;
        std::vector<Value> none;
        Value result;
        if (m_host.dynamicMember(self, name, ScriptHost::Access::Get, none, result))
            return result;
        noMember(c->name(), name);
    } catch (ScriptError &e) {
        throw withPosition(e, pos);
    }
}

void Interpreter::setMember(const Value &self, const QString &name, std::vector<Value> &indexArgs,
                            const Value &v, Pos pos)
{
    try {
        if (!self.isObject())
            raiseError(QStringLiteral("EScriptError"),
                       QStringLiteral("Cannot set member '%1' of a value of type %2")
                           .arg(name, self.typeName()));
        if (!self.rawObject())
            nilAccess(name);
        ObjectBox &box = *self.rawObject();
        box.checkAlive();
        if (const ScriptProperty *p = box.cls()->findProperty(name)) {
            if (!p->setter)
                raiseError(QStringLiteral("EScriptError"),
                           QStringLiteral("Property '%1' is read-only").arg(p->name));
            std::vector<Value> args = indexArgs;
            args.push_back(v);
            invokeProc(p->setter, &self, args, pos);
            return;
        }
        std::vector<Value> args = indexArgs;
        args.push_back(v);
        Value ignored;
        if (m_host.dynamicMember(self, name, ScriptHost::Access::Set, args, ignored))
            return;
        noMember(box.cls()->name(), name);
    } catch (ScriptError &e) {
        throw withPosition(e, pos);
    }
}

Value Interpreter::callMethod(const Value &self, const QString &name, std::vector<Value> &args,
                              Pos pos, bool *, const std::vector<int> **)
{
    try {
        if (self.isObject() && !self.rawObject()) {
            if (name.compare(QLatin1String("Free"), Qt::CaseInsensitive) == 0)
                return Value();
            nilAccess(name);
        }
        if (const NativeRoutine *m = lookupMethod(self, name))
            return invokeNativeValues(*m, &self, args, pos);
        if (self.isObject()) {
            const ScriptClass *c = self.rawObject()->cls();
            if (const ScriptProperty *p = c->findProperty(name); p && args.empty() && p->getter)
                return invokeProc(p->getter, &self, args, pos);
            Value result;
            if (m_host.dynamicMember(self, name, ScriptHost::Access::Call, args, result))
                return result;
            if (args.empty())
                return getMember(self, name, pos);
            noMember(c->name(), name);
        }
        if (self.type() == VType::Class && args.empty())
            return getMember(self, name, pos);
        raiseError(
            QStringLiteral("EScriptError"),
            QStringLiteral("Cannot call '%1' on a value of type %2").arg(name, self.typeName()));
    } catch (ScriptError &e) {
        throw withPosition(e, pos);
    }
}

// The value an index applies to, or (self, prop) when the base names an indexed property.
Value Interpreter::evalIndexBase(const Expr &base, Frame &f, Value &self,
                                 const ScriptProperty *&prop)
{
    prop = nullptr;
    QString name;
    if (base.kind == EK::Member) {
        const auto &m = static_cast<const MemberExpr &>(base);
        if (m.object->kind == EK::Name &&
            static_cast<const NameExpr &>(*m.object).res == NameExpr::Res::Library)
            return eval(base, f);
        self = eval(*m.object, f);
        name = m.member;
    } else if (base.kind == EK::Name) {
        const auto &n = static_cast<const NameExpr &>(base);
        const Value *obj = n.withSlots.empty() ? nullptr : withObjectFor(n, f);
        if (!obj)
            return eval(base, f);
        self = *obj;
        name = n.name;
    } else {
        return eval(base, f);
    }
    if (self.isObject() && self.rawObject() && self.rawObject()->alive()) {
        const ScriptProperty *p = self.rawObject()->cls()->findProperty(name);
        if (p && p->indexCount > 0) {
            prop = p;
            return Value();
        }
    }
    return getMember(self, name, base.pos);
}

Value Interpreter::evalIndex(const IndexExpr &x, Frame &f)
{
    Value self;
    const ScriptProperty *prop = nullptr;
    Value base = evalIndexBase(*x.object, f, self, prop);
    if (prop) {
        std::vector<Value> args = evalArgs(x.indices, f);
        if (!prop->getter)
            throw withPosition(
                ScriptError(QStringLiteral("EScriptError"),
                            QStringLiteral("Property '%1' is write-only").arg(prop->name)),
                x.pos);
        return invokeProc(prop->getter, &self, args, x.pos);
    }
    for (size_t k = 0; k < x.indices.size(); ++k) {
        if (base.isObject()) {
            if (!base.rawObject())
                throw withPosition(ScriptError(QStringLiteral("EAccessViolation"),
                                               QStringLiteral("Access to a nil object")),
                                   x.pos);
            base.rawObject()->checkAlive();
            const ScriptProperty *def = base.rawObject()->cls()->defaultProperty();
            if (!def || !def->getter)
                throw withPosition(ScriptError(QStringLiteral("EScriptError"),
                                               QStringLiteral("Class %1 has no default property")
                                                   .arg(base.rawObject()->cls()->name())),
                                   x.pos);
            std::vector<Value> args;
            for (size_t j = k; j < x.indices.size() &&
                               args.size() < static_cast<size_t>(std::max(1, def->indexCount));
                 ++j, ++k)
                args.push_back(eval(*x.indices[j], f));
            --k;
            const Value obj = base;
            base = invokeProc(def->getter, &obj, args, x.pos);
            continue;
        }
        const qint64 i = eval(*x.indices[k], f).toInteger();
        if (base.isString()) {
            const QString &s = base.rawString();
            if (i < 1 || i > s.size())
                throw withPosition(
                    ScriptError(
                        QStringLiteral("ERangeError"),
                        QStringLiteral("Index %1 out of bounds (1..%2)").arg(i).arg(s.size())),
                    x.pos);
            base = Value(QString(s.at(static_cast<qsizetype>(i - 1))));
        } else if (base.isArray()) {
            const ArrayData &a = base.rawArray();
            const qint64 j = i - a.low;
            if (j < 0 || j >= static_cast<qint64>(a.items.size()))
                throw withPosition(ScriptError(QStringLiteral("ERangeError"),
                                               QStringLiteral("Index %1 out of bounds").arg(i)),
                                   x.pos);
            Value item = a.items[static_cast<size_t>(j)];
            base = std::move(item);
        } else {
            throw withPosition(
                ScriptError(QStringLiteral("EScriptError"),
                            QStringLiteral("A %1 value cannot be indexed").arg(base.typeName())),
                x.pos);
        }
    }
    return base;
}

Value Interpreter::evalSet(const SetExpr &s, Frame &f)
{
    std::vector<Value> items;
    for (const auto &[low, high] : s.items) {
        Value lo = eval(*low, f);
        if (!high) {
            items.push_back(std::move(lo));
            continue;
        }
        const Value hi = eval(*high, f);
        const bool chars = lo.isString() && lo.rawString().size() == 1;
        const qint64 a = chars ? lo.rawString().at(0).unicode() : lo.toInteger();
        const qint64 b = chars && hi.isString() && hi.rawString().size() == 1
                             ? hi.rawString().at(0).unicode()
                             : hi.toInteger();
        if (b >= a && b - a >= 65536)
            throw withPosition(
                ScriptError(QStringLiteral("ERangeError"), QStringLiteral("Set range too large")),
                s.pos);
        for (qint64 i = a; i <= b; ++i)
            items.push_back(chars ? Value(QString(QChar(static_cast<char16_t>(i)))) : Value(i));
        if (items.size() > static_cast<size_t>(MaxArrayLength))
            throw withPosition(
                ScriptError(QStringLiteral("ERangeError"), QStringLiteral("Set too large")), s.pos);
    }
    return Value::array(std::move(items));
}

bool Interpreter::inSet(const Value &item, const Expr &setExpr, Frame &f)
{
    if (setExpr.kind == EK::Set) {
        for (const auto &[low, high] : static_cast<const SetExpr &>(setExpr).items) {
            const Value lo = eval(*low, f);
            if (!high) {
                if (equalValues(item, lo))
                    return true;
                continue;
            }
            const Value hi = eval(*high, f);
            if (item.isNull() || item.isObject())
                continue;
            if (compareValues(lo, item) <= 0 && compareValues(item, hi) <= 0)
                return true;
        }
        return false;
    }
    const Value set = eval(setExpr, f);
    if (!set.isArray())
        raiseError(QStringLiteral("EScriptError"), QStringLiteral("'in' needs a set"));
    for (const Value &v : set.rawArray().items)
        if (equalValues(item, v))
            return true;
    return false;
}

namespace {

// The operators whose right side binaryStep evaluates itself, or not at all: "and" and "or"
// short-circuit on Booleans, "in", "is" and "as" take a set or a class.
bool takesRightSideUnevaluated(Tok op)
{
    return op == Tok::And || op == Tok::Or || op == Tok::In || op == Tok::Is || op == Tok::As;
}

// Any other operator on two values; integers take a short way past the Variant rules.
inline Value applyOperator(Tok op, const Value &l, const Value &r)
{
    if (l.isInteger() && r.isInteger()) {
        const qint64 x = l.rawInt(), y = r.rawInt();
        switch (op) {
        case Tok::Plus:
            return Value(static_cast<qint64>(static_cast<quint64>(x) + static_cast<quint64>(y)));
        case Tok::Minus:
            return Value(static_cast<qint64>(static_cast<quint64>(x) - static_cast<quint64>(y)));
        case Tok::Less:
            return Value(x < y);
        case Tok::LessEqual:
            return Value(x <= y);
        case Tok::Greater:
            return Value(x > y);
        case Tok::GreaterEqual:
            return Value(x >= y);
        case Tok::Equal:
            return Value(x == y);
        case Tok::NotEqual:
            return Value(x != y);
        default:
            break;
        }
    }
    return binaryOp(op, l, r);
}

} // namespace

Value Interpreter::evalBinary(const BinaryExpr &b, Frame &f)
{
    try {
        if (!takesRightSideUnevaluated(b.op)) {
            const Value l = eval(*b.lhs, f);
            const Value r = eval(*b.rhs, f);
            return applyOperator(b.op, l, r);
        }
        return binaryStep(b.op, eval(*b.lhs, f), *b.rhs, f);
    } catch (ScriptError &e) {
        throw withPosition(e, b.pos);
    }
}

Value Interpreter::evalChain(const ChainExpr &c, Frame &f)
{
    const size_t steps = c.steps.size();
    size_t i = 0;
    try {
        // Most chains are one operator: no value to carry from step to step.
        if (steps == 1 && !takesRightSideUnevaluated(c.steps[0].op)) {
            const Value l = eval(*c.operands[0], f);
            const Value r = eval(*c.operands[1], f);
            return applyOperator(c.steps[0].op, l, r);
        }
        Value acc = eval(*c.operands[0], f);
        for (; i < steps; ++i) {
            const Tok op = c.steps[i].op;
            if (takesRightSideUnevaluated(op)) {
                acc = binaryStep(op, std::move(acc), *c.operands[i + 1], f);
            } else {
                const Value r = eval(*c.operands[i + 1], f);
                acc = applyOperator(op, acc, r);
            }
        }
        return acc;
    } catch (ScriptError &e) {
        throw withPosition(e, c.steps[std::min(i, steps - 1)].pos);
    }
}

// One operator with its left operand's value.
Value Interpreter::binaryStep(Tok op, Value l, const Expr &rhs, Frame &f)
{
    switch (op) {
    case Tok::And:
    case Tok::Or: {
        if (l.type() == VType::Boolean) {
            // Short-circuit on Booleans; bitwise on integers.
            if (op == Tok::And ? !l.rawBool() : l.rawBool())
                return l;
            Value r = eval(rhs, f);
            if (r.type() == VType::Boolean)
                return r;
            return binaryOp(op, l, r);
        }
        return binaryOp(op, l, eval(rhs, f));
    }
    case Tok::In:
        return Value(inSet(l, rhs, f));
    case Tok::Is:
    case Tok::As: {
        const Value &obj = l;
        const Value cls = eval(rhs, f);
        if (cls.type() != VType::Class)
            raiseError(
                QStringLiteral("EScriptError"),
                QStringLiteral("A class expected after '%1'").arg(QLatin1String(tokenName(op))));
        const bool nil = obj.isEmpty() || obj.isNull() || (obj.isObject() && !obj.rawObject());
        if (!nil && !obj.isObject())
            raiseError(QStringLiteral("EInvalidCast"), QStringLiteral("Invalid class typecast"));
        if (op == Tok::Is) {
            if (nil)
                return Value(false);
            obj.rawObject()->checkAlive();
            return Value(obj.rawObject()->cls()->inheritsFrom(cls.rawClass()));
        }
        if (nil)
            return Value::nil();
        obj.rawObject()->checkAlive();
        if (!obj.rawObject()->cls()->inheritsFrom(cls.rawClass()))
            raiseError(QStringLiteral("EInvalidCast"), QStringLiteral("Invalid class typecast"));
        return obj;
    }
    default: {
        const Value r = eval(rhs, f);
        return applyOperator(op, l, r);
    }
    }
}

} // namespace tev::script
