#include "platform/script/interpreter.h"

#include <cxxabi.h>
#include <new>

#include "platform/script/datetime.h"
#include "platform/script/operators.h"
#include "platform/script/scripthost.h"
#include "platform/script/scriptobject.h"
#include "platform/script/scriptstack.h"

namespace tev::script {

// Counts one nested call and frees its frame slots when the call ends, however it ends.
class Interpreter::DepthGuard
{
public:
    DepthGuard(Interpreter &in, int slots)
        : m_in(in)
        , m_base(in.m_sp)
    {
        if (in.m_depth >= MaxCallDepth || ScriptStack::exhausted())
            raiseError(QStringLiteral("EStackOverflow"),
                       QStringLiteral("Stack overflow: calls nested too deeply"));
        if (in.m_sp + slots > ValueStackSize)
            raiseError(QStringLiteral("EStackOverflow"), QStringLiteral("Stack overflow"));
        ++in.m_depth;
        in.m_sp += slots;
    }
    ~DepthGuard()
    {
        for (int i = m_base; i < m_in.m_sp; ++i)
            m_in.m_stack[static_cast<size_t>(i)] = Value();
        m_in.m_sp = m_base;
        --m_in.m_depth;
    }
    Value *slots() const { return m_in.m_stack.get() + m_base; }
    DepthGuard(const DepthGuard &) = delete;
    DepthGuard &operator=(const DepthGuard &) = delete;

private:
    Interpreter &m_in;
    int m_base;
};

Value defaultValue(const TypeRef &t)
{
    switch (t.code) {
    case TypeCode::Variant:
        return Value();
    case TypeCode::Int8:
    case TypeCode::UInt8:
    case TypeCode::Int16:
    case TypeCode::UInt16:
    case TypeCode::Int32:
    case TypeCode::UInt32:
    case TypeCode::Int64:
        return Value(qint64(0));
    case TypeCode::Float:
        return Value(0.0);
    case TypeCode::String:
    case TypeCode::Char:
        return Value(QString());
    case TypeCode::Boolean:
        return Value(false);
    case TypeCode::DateTime:
        return Value::dateTime(0);
    case TypeCode::Object:
        return Value::nil();
    case TypeCode::Array: {
        if (!t.staticArray)
            return Value::array({}, 0);
        std::vector<Value> items(static_cast<size_t>(t.high - t.low + 1),
                                 t.element ? defaultValue(*t.element) : Value());
        return Value::array(std::move(items), t.low);
    }
    }
    return Value();
}

Value coerce(Value v, const TypeRef &t)
{
    auto integer = [&]() { return v.isInteger() ? v.rawInt() : v.toInteger(); };
    switch (t.code) {
    case TypeCode::Variant:
        return v;
    case TypeCode::Int8:
        return Value(qint64(static_cast<qint8>(integer())));
    case TypeCode::UInt8:
        return Value(qint64(static_cast<quint8>(integer())));
    case TypeCode::Int16:
        return Value(qint64(static_cast<qint16>(integer())));
    case TypeCode::UInt16:
        return Value(qint64(static_cast<quint16>(integer())));
    case TypeCode::Int32:
        return Value(qint64(static_cast<qint32>(integer())));
    case TypeCode::UInt32:
        return Value(qint64(static_cast<quint32>(integer())));
    case TypeCode::Int64:
        return v.isInteger() ? v : Value(integer());
    case TypeCode::Float:
        return v.type() == VType::Float ? v : Value(v.toFloat());
    case TypeCode::String:
    case TypeCode::Char:
        return v.isString() ? v : Value(v.toString());
    case TypeCode::Boolean:
        return v.type() == VType::Boolean ? v : Value(v.toBoolean());
    case TypeCode::DateTime: {
        if (v.type() == VType::DateTime)
            return v;
        if (v.isString()) {
            double d;
            if (textToDateTime(v.rawString(), d))
                return Value::dateTime(d);
        }
        return Value::dateTime(v.toFloat());
    }
    case TypeCode::Object:
        if (v.isObject() || v.type() == VType::Class)
            return v;
        if (v.isEmpty() || v.isNull() || (v.isInteger() && v.rawInt() == 0))
            return Value::nil();
        raiseError(QStringLiteral("EInvalidCast"),
                   QStringLiteral("Incompatible types: an object expected but %1 found")
                       .arg(v.typeName()));
    case TypeCode::Array:
        if (v.isArray())
            return v;
        if (v.isEmpty())
            return defaultValue(t);
        raiseError(
            QStringLiteral("EInvalidCast"),
            QStringLiteral("Incompatible types: an array expected but %1 found").arg(v.typeName()));
    }
    return v;
}

Interpreter::Interpreter(ScriptHost &host, ScriptEngine *engine,
                         std::shared_ptr<const Program> program)
    : m_host(host)
    , m_engine(engine)
    , m_program(std::move(program))
    , m_stack(new Value[ValueStackSize])
{}

Interpreter::~Interpreter() = default;

void Interpreter::initialize()
{
    m_globals.clear();
    m_globals.reserve(m_program->globalTypes.size());
    for (const TypeRef &t : m_program->globalTypes)
        m_globals.push_back(defaultValue(t));
    Frame f{nullptr, nullptr};
    m_steps = 0;
    ++m_depth;
    struct Leave
    {
        int &d;
        ~Leave() { --d; }
    } leave{m_depth};
    execList(m_program->globalInits, f);
    for (const auto &block : m_program->unitInits)
        exec(*block, f);
}

void Interpreter::runMain()
{
    if (!m_program->main)
        return;
    Frame f{nullptr, nullptr};
    m_steps = 0;
    ++m_depth;
    struct Leave
    {
        int &d;
        ~Leave() { --d; }
    } leave{m_depth};
    exec(*m_program->main, f);
}

Value Interpreter::call(const Routine &r, std::vector<Value> &args)
{
    if (m_depth == 0)
        m_steps = 0;
    if (static_cast<int>(args.size()) < r.requiredParams)
        raiseError(QStringLiteral("EScriptError"),
                   QStringLiteral("Not enough actual parameters for '%1'").arg(r.name));
    if (args.size() > r.params.size())
        raiseError(QStringLiteral("EScriptError"),
                   QStringLiteral("Too many actual parameters for '%1'").arg(r.name));
    DepthGuard guard(*this, static_cast<int>(r.slotTypes.size()));
    Value *slots = guard.slots();
    Frame caller{nullptr, nullptr};
    for (size_t i = 0; i < r.params.size(); ++i) {
        const ParamDecl &p = r.params[i];
        if (i < args.size())
            slots[i] = p.mode == ParamMode::Out ? defaultValue(p.type) : coerce(args[i], p.type);
        else
            slots[i] = coerce(eval(*p.defaultValue, caller), p.type);
    }
    struct WriteBack
    {
        const Routine &r;
        std::vector<Value> &args;
        Value *slots;
        ~WriteBack()
        {
            for (size_t i = 0; i < args.size() && i < r.params.size(); ++i)
                if (r.params[i].mode == ParamMode::Var || r.params[i].mode == ParamMode::Out)
                    args[i] = slots[i];
        }
    } writeBack{r, args, slots};
    return runRoutine(r, slots);
}

// Runs the body of a routine whose parameters are in place; a call that finds the thread's own
// stack running low goes on on the script stack.
Value Interpreter::runRoutine(const Routine &r, Value *slots)
{
    if (ScriptStack::shouldSwitch()) {
        Value result;
        ScriptStack::run([&] { result = runBody(r, slots); });
        return result;
    }
    return runBody(r, slots);
}

Value Interpreter::runBody(const Routine &r, Value *slots)
{
    for (size_t i = r.params.size(); i < r.slotTypes.size(); ++i)
        slots[i] = defaultValue(r.slotTypes[i]);
    Frame f{slots, &r};
    execList(r.inits, f);
    if (r.body)
        exec(*r.body, f);
    return r.resultSlot >= 0 ? slots[r.resultSlot] : Value();
}

Value Interpreter::invokeScript(const Routine &r, const std::vector<ExprPtr> &argExprs,
                                Frame &caller, Pos pos)
{
    if (static_cast<int>(argExprs.size()) < r.requiredParams || argExprs.size() > r.params.size())
        throw withPosition(
            ScriptError(QStringLiteral("EScriptError"),
                        QStringLiteral("Wrong number of arguments for '%1'").arg(r.name)),
            pos);
    if (m_depth >= MaxCallDepth || ScriptStack::exhausted())
        throw withPosition(ScriptError(QStringLiteral("EStackOverflow"),
                                       QStringLiteral("Stack overflow: calls nested too deeply")),
                           pos);
    DepthGuard guard(*this, static_cast<int>(r.slotTypes.size()));
    Value *slots = guard.slots();
    bool byRef = false;
    for (size_t i = 0; i < r.params.size(); ++i) {
        const ParamDecl &p = r.params[i];
        if (p.mode == ParamMode::Var || p.mode == ParamMode::Out)
            byRef = true;
        if (i < argExprs.size())
            slots[i] = p.mode == ParamMode::Out ? defaultValue(p.type)
                                                : coerce(eval(*argExprs[i], caller), p.type);
        else
            slots[i] = coerce(eval(*p.defaultValue, caller), p.type);
    }
    if (!byRef)
        return runRoutine(r, slots);
    auto writeBack = [&]() {
        for (size_t i = 0; i < argExprs.size(); ++i)
            if (r.params[i].mode == ParamMode::Var || r.params[i].mode == ParamMode::Out)
                assign(*argExprs[i], slots[i], caller);
    };
    Value result;
    try {
        result = runRoutine(r, slots);
    } catch (...) {
        try {
            writeBack();
        } catch (...) {
        }
        throw;
    }
    writeBack();
    return result;
}

std::vector<Value> Interpreter::evalArgs(const std::vector<ExprPtr> &argExprs, Frame &f)
{
    std::vector<Value> args;
    args.reserve(argExprs.size());
    for (const auto &a : argExprs)
        args.push_back(eval(*a, f));
    return args;
}

void Interpreter::writeBack(const std::vector<ExprPtr> &argExprs, std::vector<Value> &args,
                            const std::vector<int> &positions, Frame &f)
{
    for (int i : positions) {
        if (i >= 0 && static_cast<size_t>(i) < argExprs.size() &&
            static_cast<size_t>(i) < args.size())
            assign(*argExprs[static_cast<size_t>(i)], args[static_cast<size_t>(i)], f);
    }
}

Value Interpreter::invokeNative(const NativeRoutine &r, const Value *self,
                                const std::vector<ExprPtr> &argExprs, Frame &caller, Pos pos)
{
    std::vector<Value> args = evalArgs(argExprs, caller);
    Value result = invokeNativeValues(r, self, args, pos);
    if (!r.varArgs.empty())
        writeBack(argExprs, args, r.varArgs, caller);
    return result;
}

Value Interpreter::invokeNativeValues(const NativeRoutine &r, const Value *self,
                                      std::vector<Value> &args, Pos pos)
{
    const int given = static_cast<int>(args.size());
    if (r.argCount >= 0 && (given > r.argCount || given < r.argCount - r.defArgCount))
        throw withPosition(
            ScriptError(QStringLiteral("EScriptError"),
                        QStringLiteral("Wrong number of arguments for '%1'").arg(r.name)),
            pos);
    return invokeProc(r.proc, self, args, pos);
}

Value Interpreter::invokeProc(const NativeProc &proc, const Value *self, std::vector<Value> &args,
                              Pos pos)
{
    NativeCall call(m_engine, args, self);
    try {
        proc(call);
    } catch (ScriptError &e) {
        if (!e.hasPosition())
            e.setPosition(pos.line, pos.column);
        throw;
    } catch (const tev::Error &e) {
        throw withPosition(ScriptError(QStringLiteral("Exception"), e.message()), pos);
    } catch (const std::bad_alloc &) {
        throw withPosition(
            ScriptError(QStringLiteral("EOutOfMemory"), QStringLiteral("Out of memory")), pos);
    } catch (const std::exception &e) {
        throw withPosition(
            ScriptError(QStringLiteral("Exception"), QString::fromLocal8Bit(e.what())), pos);
    } catch (const abi::__forced_unwind &) {
        throw; // a thread being cancelled must unwind
    } catch (...) {
        throw withPosition(ScriptError(QStringLiteral("Exception"), unknownHostError()), pos);
    }
    return call.result();
}

ScriptError Interpreter::withPosition(ScriptError e, Pos pos) const
{
    if (!e.hasPosition())
        e.setPosition(pos.line, pos.column);
    return e;
}

// ---- statements ----

void Interpreter::step()
{
    ++m_steps;
    if (m_stepLimit > 0 && m_steps > m_stepLimit) {
        ScriptError e(
            QStringLiteral("EScriptAbort"),
            QStringLiteral("Script stopped: the limit of %1 steps is reached").arg(m_stepLimit));
        e.setCatchable(false);
        throw e;
    }
    if (m_pauseRequested)
        m_host.pausePoint();
}

Interpreter::Flow Interpreter::execList(const std::vector<StmtPtr> &list, Frame &f)
{
    for (const auto &s : list) {
        const Flow flow = exec(*s, f);
        if (flow != Flow::Normal)
            return flow;
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::exec(const Stmt &s, Frame &f)
{
    try {
        step();
        return execInner(s, f);
    } catch (ScriptError &e) {
        if (!e.hasPosition())
            e.setPosition(s.pos.line, s.pos.column);
        throw;
    } catch (const std::bad_alloc &) {
        throw withPosition(
            ScriptError(QStringLiteral("EOutOfMemory"), QStringLiteral("Out of memory")), s.pos);
    }
}

Interpreter::Flow Interpreter::execInner(const Stmt &s, Frame &f)
{
    switch (s.kind) {
    case SK::Empty:
        return Flow::Normal;
    case SK::Assign: {
        const auto &a = static_cast<const AssignStmt &>(s);
        if (a.appends)
            assignAppending(a, f);
        else
            assign(*a.target, eval(*a.value, f), f);
        return Flow::Normal;
    }
    case SK::Call: {
        const auto &c = static_cast<const CallStmt &>(s);
        static const std::vector<ExprPtr> none;
        if (c.call->kind == EK::Name)
            evalName(static_cast<const NameExpr &>(*c.call), f, true);
        else if (c.call->kind == EK::Member)
            callMemberExpr(static_cast<const MemberExpr &>(*c.call), none, f, c.call->pos);
        else
            eval(*c.call, f);
        return Flow::Normal;
    }
    case SK::Compound:
        return execList(static_cast<const CompoundStmt &>(s).body, f);
    case SK::If: {
        const auto &i = static_cast<const IfStmt &>(s);
        if (eval(*i.cond, f).toBoolean())
            return exec(*i.then, f);
        if (i.otherwise)
            return exec(*i.otherwise, f);
        return Flow::Normal;
    }
    case SK::While: {
        const auto &w = static_cast<const WhileStmt &>(s);
        while (eval(*w.cond, f).toBoolean()) {
            const Flow flow = exec(*w.body, f);
            if (flow == Flow::Break)
                break;
            if (flow == Flow::Exit)
                return flow;
        }
        return Flow::Normal;
    }
    case SK::Repeat: {
        const auto &r = static_cast<const RepeatStmt &>(s);
        for (;;) {
            step();
            const Flow flow = execList(r.body, f);
            if (flow == Flow::Break)
                break;
            if (flow == Flow::Exit)
                return flow;
            if (eval(*r.cond, f).toBoolean())
                break;
        }
        return Flow::Normal;
    }
    case SK::For:
        return execFor(static_cast<const ForStmt &>(s), f);
    case SK::Case:
        return execCase(static_cast<const CaseStmt &>(s), f);
    case SK::TryExcept:
        return execTryExcept(static_cast<const TryStmt &>(s), f);
    case SK::TryFinally:
        return execTryFinally(static_cast<const TryStmt &>(s), f);
    case SK::Raise:
        execRaise(static_cast<const RaiseStmt &>(s), f);
    case SK::Break:
        return Flow::Break;
    case SK::Continue:
        return Flow::Continue;
    case SK::Exit: {
        const auto &e = static_cast<const ExitStmt &>(s);
        if (e.value && f.routine) {
            Value v = eval(*e.value, f);
            f.slots[e.resultSlot] = coerce(std::move(v), f.routine->resultType);
        }
        return Flow::Exit;
    }
    case SK::With: {
        const auto &w = static_cast<const WithStmt &>(s);
        for (size_t i = 0; i < w.objects.size(); ++i) {
            Value obj = eval(*w.objects[i], f);
            if (!obj.isObject() && obj.type() != VType::Class)
                raiseError(QStringLiteral("EScriptError"),
                           QStringLiteral("'with' needs an object"));
            if (obj.isObject()) {
                if (!obj.rawObject())
                    raiseError(QStringLiteral("EAccessViolation"),
                               QStringLiteral("Access to a nil object"));
                obj.rawObject()->checkAlive();
            }
            slotRef(w.slots[i], w.global, f) = std::move(obj);
        }
        return exec(*w.body, f);
    }
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::execFor(const ForStmt &s, Frame &f)
{
    const Value from = eval(*s.from, f);
    const Value to = eval(*s.to, f);
    const bool chars = from.isString() && from.rawString().size() == 1;
    const qint64 first = chars ? from.rawString().at(0).unicode() : from.toInteger();
    const qint64 last =
        chars ? (to.isString() && to.rawString().size() == 1 ? to.rawString().at(0).unicode()
                                                             : to.toInteger())
              : to.toInteger();
    if (s.down ? first < last : first > last)
        return Flow::Normal;
    Value *counter = storage(*s.var, f);
    const TypeRef *type = staticType(*s.var, f);
    for (qint64 i = first;; s.down ? --i : ++i) {
        Value v = chars ? Value(QString(QChar(static_cast<char16_t>(i)))) : Value(i);
        if (counter)
            *counter = type ? coerce(std::move(v), *type) : std::move(v);
        else
            assign(*s.var, std::move(v), f);
        const Flow flow = exec(*s.body, f);
        if (flow == Flow::Break)
            break;
        if (flow == Flow::Exit)
            return flow;
        if (i == last)
            break;
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::execCase(const CaseStmt &s, Frame &f)
{
    auto &mut = const_cast<CaseStmt &>(s);
    if (!s.labelsCached) {
        // Labels are constants: evaluated once, on the first run.
        for (CaseBranch &b : mut.branches) {
            b.cached.clear();
            for (auto &[low, high] : b.labels)
                b.cached.emplace_back(eval(*low, f), high ? eval(*high, f) : Value());
        }
        mut.labelsCached = true;
    }
    const Value sel = eval(*s.selector, f);
    for (const CaseBranch &b : s.branches) {
        for (size_t i = 0; i < b.cached.size(); ++i) {
            const auto &[low, high] = b.cached[i];
            const bool hit = b.labels[i].second
                                 ? (compareValues(low, sel) <= 0 && compareValues(sel, high) <= 0)
                                 : equalValues(sel, low);
            if (hit)
                return exec(*b.body, f);
        }
    }
    if (s.hasElse)
        return execList(s.otherwise, f);
    return Flow::Normal;
}

Value Interpreter::exceptionObjectFor(ScriptError &e)
{
    if (e.exceptionObject().isEmpty())
        e.setExceptionObject(m_host.makeException(e.className(), e.message()));
    return e.exceptionObject();
}

Interpreter::Flow Interpreter::execTryExcept(const TryStmt &s, Frame &f)
{
    try {
        return execList(s.body, f);
    } catch (ScriptError &e) {
        if (!e.catchable())
            throw;
        const Value obj = exceptionObjectFor(e);
        const ScriptClass *cls =
            obj.isObject() && obj.rawObject() ? obj.rawObject()->cls() : nullptr;
        struct Handling
        {
            std::vector<ScriptError> &stack;
            Handling(std::vector<ScriptError> &s, const ScriptError &e)
                : stack(s)
            {
                stack.push_back(e);
            }
            ~Handling() { stack.pop_back(); }
        } handling(m_handling, e);
        for (const ExceptHandler &h : s.handlers) {
            if (cls && h.cls && cls->inheritsFrom(h.cls)) {
                if (h.slot >= 0)
                    slotRef(h.slot, h.global, f) = obj;
                return exec(*h.body, f);
            }
        }
        if (s.hasBare)
            return execList(s.bare, f);
        throw;
    }
}

Interpreter::Flow Interpreter::execTryFinally(const TryStmt &s, Frame &f)
{
    Flow flow;
    try {
        flow = execList(s.body, f);
    } catch (...) {
        execList(s.finally, f);
        throw;
    }
    const Flow after = execList(s.finally, f);
    return after != Flow::Normal ? after : flow;
}

void Interpreter::execRaise(const RaiseStmt &s, Frame &f)
{
    if (!s.value) {
        if (m_handling.empty())
            raiseError(
                QStringLiteral("EScriptError"),
                QStringLiteral("Re-raising an exception is only allowed in an exception handler"));
        ScriptError again = m_handling.back();
        throw again;
    }
    const Value obj = eval(*s.value, f);
    if (!obj.isObject() || !obj.rawObject())
        raiseError(QStringLiteral("EScriptError"),
                   QStringLiteral("'raise' needs an exception object"));
    obj.rawObject()->checkAlive();
    QString message;
    if (hasMember(obj, QStringLiteral("Message")))
        message = getMember(obj, QStringLiteral("Message"), s.pos).toString();
    ScriptError e(obj.rawObject()->cls()->name(), message);
    e.setExceptionObject(obj);
    e.setPosition(s.pos.line, s.pos.column);
    throw e;
}

// ---- variables ----

Value &Interpreter::slotRef(int slot, bool global, Frame &f)
{
    return global ? m_globals[static_cast<size_t>(slot)] : f.slots[slot];
}

Value *Interpreter::storage(const Expr &e, Frame &f)
{
    switch (e.kind) {
    case EK::Local:
        return &f.slots[static_cast<const VarExpr &>(e).slot];
    case EK::Global:
        return &m_globals[static_cast<size_t>(static_cast<const VarExpr &>(e).slot)];
    case EK::Name: {
        const auto &n = static_cast<const NameExpr &>(e);
        if (n.res != NameExpr::Res::Variable || withObjectFor(n, f))
            return nullptr;
        if (n.fallback)
            return storage(*n.fallback, f);
        return &m_globals[static_cast<size_t>(n.slot)];
    }
    case EK::Index: {
        const auto &x = static_cast<const IndexExpr &>(e);
        Value *base = storage(*x.object, f);
        for (const auto &idx : x.indices) {
            if (!base || !base->isArray())
                return nullptr;
            const qint64 i = eval(*idx, f).toInteger();
            ArrayData &a = base->mutableArray();
            const qint64 k = i - a.low;
            if (k < 0 || k >= static_cast<qint64>(a.items.size()))
                raiseError(QStringLiteral("ERangeError"),
                           QStringLiteral("Index %1 out of bounds").arg(i));
            base = &a.items[static_cast<size_t>(k)];
        }
        return base;
    }
    default:
        return nullptr;
    }
}

const TypeRef *Interpreter::staticType(const Expr &e, Frame &f) const
{
    switch (e.kind) {
    case EK::Local:
        return f.routine
                   ? &f.routine
                          ->slotTypes[static_cast<size_t>(static_cast<const VarExpr &>(e).slot)]
                   : nullptr;
    case EK::Global:
        return &m_program->globalTypes[static_cast<size_t>(static_cast<const VarExpr &>(e).slot)];
    case EK::Index: {
        const auto &x = static_cast<const IndexExpr &>(e);
        const TypeRef *t = staticType(*x.object, f);
        for (size_t i = 0; t && i < x.indices.size(); ++i)
            t = t->code == TypeCode::Array && t->element ? t->element.get() : nullptr;
        return t;
    }
    default:
        return nullptr;
    }
}

void Interpreter::assign(const Expr &target, Value v, Frame &f)
{
    switch (target.kind) {
    case EK::Local: {
        const int slot = static_cast<const VarExpr &>(target).slot;
        f.slots[slot] = f.routine
                            ? coerce(std::move(v), f.routine->slotTypes[static_cast<size_t>(slot)])
                            : std::move(v);
        return;
    }
    case EK::Global: {
        const auto slot = static_cast<size_t>(static_cast<const VarExpr &>(target).slot);
        m_globals[slot] = coerce(std::move(v), m_program->globalTypes[slot]);
        return;
    }
    case EK::Name: {
        const auto &n = static_cast<const NameExpr &>(target);
        if (const Value *obj = withObjectFor(n, f)) {
            std::vector<Value> none;
            setMember(*obj, n.name, none, v, n.pos);
            return;
        }
        if (n.res == NameExpr::Res::Variable) {
            if (n.fallback)
                assign(*n.fallback, std::move(v), f);
            else
                m_globals[static_cast<size_t>(n.slot)] = std::move(v);
            return;
        }
        raiseError(QStringLiteral("EScriptError"),
                   QStringLiteral("Undeclared identifier: '%1'").arg(n.name));
    }
    case EK::Member: {
        const auto &m = static_cast<const MemberExpr &>(target);
        const Value self = eval(*m.object, f);
        std::vector<Value> none;
        setMember(self, m.member, none, v, m.pos);
        return;
    }
    case EK::Index:
        assignIndex(static_cast<const IndexExpr &>(target), std::move(v), f);
        return;
    default:
        raiseError(QStringLiteral("EScriptError"),
                   QStringLiteral("Left side cannot be assigned to"));
    }
}

// S := S + X + ...: while S and every X are texts, the X are appended to S where it is stored,
// so a loop that builds a text costs time in proportion to what it appends, not to the square of
// the result. The values and errors are those of the chain: the X are evaluated in order before S
// changes, and the first X that is no text continues the chain as usual.
void Interpreter::assignAppending(const AssignStmt &a, Frame &f)
{
    const auto &chain = static_cast<const ChainExpr &>(*a.value);
    const size_t steps = chain.steps.size();
    // Shares S's text, which keeps its buffer alive: whether S still holds that buffer afterwards
    // tells whether an X changed S meanwhile.
    Value acc = *storage(*a.target, f);
    size_t i = 0;
    try {
        if (acc.isString()) {
            std::vector<Value> texts;
            qsizetype length = acc.rawString().size();
            bool allTexts = true;
            for (; i < steps; ++i) {
                Value x = eval(*chain.operands[i + 1], f);
                if (x.isEmpty())
                    continue; // adds nothing to a text
                if (!x.isString()) {
                    allTexts = false;
                    for (const Value &text : texts)
                        acc = binaryOp(Tok::Plus, acc, text);
                    acc = binaryOp(Tok::Plus, acc, x);
                    ++i;
                    break;
                }
                length += x.rawString().size();
                if (length > MaxStringLength)
                    raiseError(QStringLiteral("EOutOfMemory"), QStringLiteral("String too long"));
                texts.push_back(std::move(x));
            }
            if (allTexts) {
                Value *target = storage(*a.target, f);
                if (target->isString() && target->rawString().isSharedWith(acc.rawString())) {
                    acc = Value();
                    QString &text = target->mutableString();
                    for (const Value &x : texts)
                        text.append(x.rawString());
                    return;
                }
                for (const Value &x : texts)
                    acc = binaryOp(Tok::Plus, acc, x);
            }
        }
        for (; i < steps; ++i)
            acc = binaryStep(chain.steps[i].op, std::move(acc), *chain.operands[i + 1], f);
    } catch (ScriptError &e) {
        throw withPosition(e, chain.steps[std::min(i, steps - 1)].pos);
    }
    assign(*a.target, std::move(acc), f);
}

void Interpreter::assignIndex(const IndexExpr &t, Value v, Frame &f)
{
    if (t.object->kind == EK::Member ||
        (t.object->kind == EK::Name &&
         withObjectFor(static_cast<const NameExpr &>(*t.object), f))) {
        Value self;
        const ScriptProperty *prop = nullptr;
        const Value base = evalIndexBase(*t.object, f, self, prop);
        if (prop) {
            std::vector<Value> args = evalArgs(t.indices, f);
            args.push_back(std::move(v));
            if (!prop->setter)
                raiseError(QStringLiteral("EScriptError"),
                           QStringLiteral("Property '%1' is read-only").arg(prop->name));
            invokeProc(prop->setter, &self, args, t.pos);
            return;
        }
        if (base.isObject() && base.rawObject()) {
            base.rawObject()->checkAlive();
            const ScriptProperty *def = base.rawObject()->cls()->defaultProperty();
            if (def && def->setter) {
                std::vector<Value> args = evalArgs(t.indices, f);
                args.push_back(std::move(v));
                invokeProc(def->setter, &base, args, t.pos);
                return;
            }
        }
        raiseError(QStringLiteral("EScriptError"),
                   QStringLiteral("Left side cannot be assigned to"));
    }
    if (Value *base = storage(*t.object, f)) {
        if (t.indices.size() == 1 && base->isString()) {
            const qint64 i = eval(*t.indices[0], f).toInteger();
            QString s = base->rawString();
            if (i < 1 || i > s.size())
                raiseError(QStringLiteral("ERangeError"),
                           QStringLiteral("Index %1 out of bounds").arg(i));
            const QString c = v.toString();
            if (c.size() != 1)
                raiseError(QStringLiteral("EConvertError"), QStringLiteral("A character expected"));
            s[static_cast<qsizetype>(i - 1)] = c.at(0);
            *base = Value(std::move(s));
            return;
        }
        if (base->isArray()) {
            Value *target = storage(t, f);
            if (target) {
                const TypeRef *type = staticType(t, f);
                *target = type ? coerce(std::move(v), *type) : std::move(v);
                return;
            }
        }
    }
    const Value obj = eval(*t.object, f);
    if (obj.isObject()) {
        if (!obj.rawObject())
            raiseError(QStringLiteral("EAccessViolation"),
                       QStringLiteral("Access to a nil object"));
        obj.rawObject()->checkAlive();
        const ScriptProperty *def = obj.rawObject()->cls()->defaultProperty();
        if (def && def->setter) {
            std::vector<Value> args = evalArgs(t.indices, f);
            args.push_back(std::move(v));
            invokeProc(def->setter, &obj, args, t.pos);
            return;
        }
        raiseError(QStringLiteral("EScriptError"),
                   QStringLiteral("Class %1 has no default property to assign to")
                       .arg(obj.rawObject()->cls()->name()));
    }
    raiseError(QStringLiteral("EScriptError"), QStringLiteral("Left side cannot be assigned to"));
}

} // namespace tev::script
