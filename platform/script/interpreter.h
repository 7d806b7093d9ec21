#pragma once

// A tree-walking interpreter over the parser's resolved tree.
//
// Trade-off: walking the tree is slower than a bytecode machine but keeps the interpreter small
// and its errors exact (every node knows its line and column). Variables live in fixed slots of
// one preallocated value stack, so a call costs no hash lookups and no allocation.
//
// Parameters passed by reference (var, out, and the by-reference positions of native routines)
// are copied in and written back when the call ends, also when it ends by an exception; a
// routine therefore sees its own copy while it runs, which differs from the dialect only when the
// same variable is reached two ways at once.

#include <memory>
#include <vector>

#include "platform/script/ast.h"
#include "platform/script/scripterror.h"
#include "platform/script/scriptobject.h"

namespace tev::script {

class ScriptHost;
class ScriptEngine;
class ObjectBox;
struct ScriptProperty;

// Hard limits of a run. Scripts walk folder trees and lists recursively, so the depth allows six
// thousand levels; the script stack (scriptstack.h) has room for them, and a call that finds too
// little room left ends in "Stack overflow" as well.
inline constexpr int MaxCallDepth = 6000;      // nested script calls: "Stack overflow"
inline constexpr int ValueStackSize = 1 << 16; // slots of all active frames together

class Interpreter
{
public:
    Interpreter(ScriptHost &host, ScriptEngine *engine, std::shared_ptr<const Program> program);
    ~Interpreter();
    Interpreter(const Interpreter &) = delete;
    Interpreter &operator=(const Interpreter &) = delete;

    // Sets the globals to their initial values and runs the units' blocks and the constants.
    void initialize();
    // Runs the main block, if any.
    void runMain();
    // Calls a script routine with the given arguments (fewer than its parameters: the
    // defaults); var and out parameters are written back into args.
    Value call(const Routine &routine, std::vector<Value> &args);

    const Program &program() const { return *m_program; }
    bool running() const { return m_depth > 0; }
    // Steps (statements and loop rounds) left before the run stops with an error that no
    // handler catches; 0 means no limit. The count starts again at every outermost call.
    void setStepLimit(qint64 limit) { m_stepLimit = limit; }
    qint64 steps() const { return m_steps; }
    void setPauseRequested(bool p) { m_pauseRequested = p; }

    // Reads, writes and calls members of objects, classes and libraries.
    Value getMember(const Value &self, const QString &name, Pos pos);
    void setMember(const Value &self, const QString &name, std::vector<Value> &indexArgs,
                   const Value &v, Pos pos);
    Value callMethod(const Value &self, const QString &name, std::vector<Value> &args, Pos pos,
                     bool *varArgsOut = nullptr, const std::vector<int> **varPositions = nullptr);

private:
    struct Frame
    {
        Value *slots;
        const Routine *routine;
    };
    enum class Flow { Normal, Break, Continue, Exit };
    class DepthGuard;

    // statements
    Flow exec(const Stmt &s, Frame &f);
    Flow execInner(const Stmt &s, Frame &f);
    Flow execList(const std::vector<StmtPtr> &list, Frame &f);
    Flow execFor(const ForStmt &s, Frame &f);
    Flow execCase(const CaseStmt &s, Frame &f);
    Flow execTryExcept(const TryStmt &s, Frame &f);
    Flow execTryFinally(const TryStmt &s, Frame &f);
    [[noreturn]] void execRaise(const RaiseStmt &s, Frame &f);
    void step();

    // expressions
    Value eval(const Expr &e, Frame &f);
    Value evalName(const NameExpr &n, Frame &f, bool asStatement);
    Value evalCall(const CallExpr &c, Frame &f);
    Value evalMember(const MemberExpr &m, Frame &f);
    Value callMemberExpr(const MemberExpr &m, const std::vector<ExprPtr> &args, Frame &f, Pos pos);
    Value evalIndex(const IndexExpr &x, Frame &f);
    Value evalSet(const SetExpr &s, Frame &f);
    Value evalBinary(const BinaryExpr &b, Frame &f);
    Value evalChain(const ChainExpr &c, Frame &f);
    Value binaryStep(Tok op, Value l, const Expr &rhs, Frame &f);
    bool inSet(const Value &item, const Expr &setExpr, Frame &f);
    Value typeCast(TypeCode code, const Value &v, Pos pos);
    const Value *withObjectFor(const NameExpr &n, Frame &f);
    bool hasMember(const Value &obj, const QString &name);

    // calls
    Value invokeScript(const Routine &r, const std::vector<ExprPtr> &argExprs, Frame &caller,
                       Pos pos);
    Value runRoutine(const Routine &r, Value *slots);
    Value runBody(const Routine &r, Value *slots);
    Value invokeNative(const NativeRoutine &r, const Value *self,
                       const std::vector<ExprPtr> &argExprs, Frame &caller, Pos pos);
    Value invokeNativeValues(const NativeRoutine &r, const Value *self, std::vector<Value> &args,
                             Pos pos);
    Value invokeProc(const NativeProc &proc, const Value *self, std::vector<Value> &args, Pos pos);
    const NativeRoutine *lookupMethod(const Value &self, const QString &name);
    Value evalIndexBase(const Expr &base, Frame &f, Value &self, const ScriptProperty *&prop);
    std::vector<Value> evalArgs(const std::vector<ExprPtr> &argExprs, Frame &f);
    void writeBack(const std::vector<ExprPtr> &argExprs, std::vector<Value> &args,
                   const std::vector<int> &positions, Frame &f);

    // variables
    void assign(const Expr &target, Value v, Frame &f);
    void assignAppending(const AssignStmt &a, Frame &f);
    void assignIndex(const IndexExpr &t, Value v, Frame &f);
    Value *storage(const Expr &e, Frame &f);
    const TypeRef *staticType(const Expr &e, Frame &f) const;
    Value &slotRef(int slot, bool global, Frame &f);

    // exceptions
    Value exceptionObjectFor(ScriptError &e);
    ScriptError withPosition(ScriptError e, Pos pos) const;

    ScriptHost &m_host;
    ScriptEngine *m_engine;
    std::shared_ptr<const Program> m_program;
    std::vector<Value> m_globals;
    std::unique_ptr<Value[]> m_stack;
    int m_sp = 0;
    int m_depth = 0;
    qint64 m_steps = 0;
    qint64 m_stepLimit = 0;
    bool m_pauseRequested = false;
    std::vector<ScriptError> m_handling; // exceptions whose handlers run, for a bare "raise"
};

// The initial value of a variable of a declared type.
Value defaultValue(const TypeRef &t);
// The conversion an assignment to a variable of that type makes.
Value coerce(Value v, const TypeRef &t);

} // namespace tev::script
