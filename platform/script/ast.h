#pragma once

// The syntax tree of a compiled script. The parser resolves every variable to a frame slot
// (locals) or a global slot while it reads, so the interpreter never looks names up in a hash
// table on the hot path; names that are no variable (routines, classes, constants, host objects)
// are resolved once after the whole script is read.

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

#include "platform/script/tokens.h"
#include "platform/script/value.h"

namespace tev::script {

struct NativeRoutine;
class LibraryScope;

struct Pos
{
    int line = 0;
    int column = 0;
};

// The declared type of a variable, parameter or result. Values stay Variants; the type gives the
// initial value and the conversion an assignment makes.
enum class TypeCode : quint8 {
    Variant,
    Int8,
    UInt8,
    Int16,
    UInt16,
    Int32,
    UInt32,
    Int64,
    Float,
    String,
    Char,
    Boolean,
    DateTime,
    Object,
    Array
};

struct TypeRef
{
    TypeCode code = TypeCode::Variant;
    QString name;             // as written, for messages
    bool staticArray = false; // array[low..high] of element
    qint64 low = 0;
    qint64 high = -1;
    std::shared_ptr<TypeRef> element;
};

// ---- expressions ----

enum class EK : quint8 {
    Literal,
    Local,
    Global,
    Name,
    Unary,
    Binary,
    Chain,
    Call,
    Member,
    Index,
    Set,
    AddressOf
};

struct Expr
{
    explicit Expr(EK k, Pos p)
        : kind(k)
        , pos(p)
    {}
    virtual ~Expr() = default;
    EK kind;
    Pos pos;
    int depth = 1; // height of the tree below, bounded by the parser
};
using ExprPtr = std::unique_ptr<Expr>;

struct LiteralExpr : Expr
{
    LiteralExpr(Pos p, Value v)
        : Expr(EK::Literal, p)
        , value(std::move(v))
    {}
    Value value;
};

struct VarExpr : Expr
{
    VarExpr(EK k, Pos p, int s, const QString &n)
        : Expr(k, p)
        , slot(s)
        , name(n)
    {}
    int slot;
    QString name;
};

struct Routine;

// A name that is no variable: routine, class, type cast, constant, host object, library, or a
// member of an object of an enclosing "with".
struct NameExpr : Expr
{
    enum class Res : quint8 {
        Unresolved,
        ScriptRoutine,
        NativeRoutine,
        Class,
        TypeCast,
        Value,
        Library,
        Variable
    };
    NameExpr(Pos p, const QString &n)
        : Expr(EK::Name, p)
        , name(n)
    {}
    QString name;
    Res res = Res::Unresolved;
    const Routine *routine = nullptr;
    const NativeRoutine *native = nullptr;
    const ScriptClass *cls = nullptr;
    const LibraryScope *library = nullptr;
    TypeCode cast = TypeCode::Variant;
    Value value;
    int slot = -1;            // Variable: the implicit global a script without OptionExplicit made
    bool isCallee = false;    // the name is called with an argument list
    bool isStatement = false; // the name alone is a statement: always a call
    // Inside "with": the hidden slots holding the with-objects, outermost first, and whether
    // those slots are globals. A member of one of them wins over every other meaning.
    std::vector<int> withSlots;
    bool withGlobal = false;
    ExprPtr fallback; // the variable the name means when no with-object has such a member
};

struct UnaryExpr : Expr
{
    UnaryExpr(Pos p, Tok o, ExprPtr e)
        : Expr(EK::Unary, p)
        , op(o)
        , operand(std::move(e))
    {}
    Tok op;
    ExprPtr operand;
};

struct BinaryExpr : Expr
{
    BinaryExpr(Pos p, Tok o, ExprPtr l, ExprPtr r)
        : Expr(EK::Binary, p)
        , op(o)
        , lhs(std::move(l))
        , rhs(std::move(r))
    {}
    Tok op;
    ExprPtr lhs, rhs;
};

// A run of operators of one precedence level, "a + b - c + ...": the left-leaning tree it stands
// for, ((a + b) - c) + ..., held flat. The interpreter walks it in a loop, so a chain of any length
// costs one level of recursion, not one per operator.
struct ChainExpr : Expr
{
    struct Step
    {
        Tok op;
        Pos pos;
    };
    explicit ChainExpr(Pos p)
        : Expr(EK::Chain, p)
    {}
    std::vector<ExprPtr> operands; // one more than steps
    std::vector<Step> steps;       // steps[i] joins the result so far with operands[i + 1]
};

struct CallExpr : Expr
{
    CallExpr(Pos p, ExprPtr c)
        : Expr(EK::Call, p)
        , callee(std::move(c))
    {}
    ExprPtr callee;
    std::vector<ExprPtr> args;
    // A call the compiler computed, such as High(Integer): its value, without a call at run time.
    bool folded = false;
    Value constant;
};

struct MemberExpr : Expr
{
    MemberExpr(Pos p, ExprPtr o, const QString &m)
        : Expr(EK::Member, p)
        , object(std::move(o))
        , member(m)
    {}
    ExprPtr object;
    QString member;
};

struct IndexExpr : Expr
{
    IndexExpr(Pos p, ExprPtr o)
        : Expr(EK::Index, p)
        , object(std::move(o))
    {}
    ExprPtr object;
    std::vector<ExprPtr> indices;
};

// [a, b..c]: a set constructor, or an open array when passed as an argument.
struct SetExpr : Expr
{
    explicit SetExpr(Pos p)
        : Expr(EK::Set, p)
    {}
    std::vector<std::pair<ExprPtr, ExprPtr>> items; // second is the range's upper end or null
};

struct AddressExpr : Expr
{
    AddressExpr(Pos p, ExprPtr e)
        : Expr(EK::AddressOf, p)
        , operand(std::move(e))
    {}
    ExprPtr operand;
};

// ---- statements ----

enum class SK : quint8 {
    Empty,
    Assign,
    Call,
    Compound,
    If,
    While,
    Repeat,
    For,
    Case,
    TryExcept,
    TryFinally,
    Raise,
    Break,
    Continue,
    Exit,
    With
};

struct Stmt
{
    explicit Stmt(SK k, Pos p)
        : kind(k)
        , pos(p)
    {}
    virtual ~Stmt() = default;
    SK kind;
    Pos pos;
};
using StmtPtr = std::unique_ptr<Stmt>;

// Whether Value is "Target + X + ..." with Target a variable (not a member of a "with" object).
inline bool appendsTo(const Expr &target, const Expr &value)
{
    if ((target.kind != EK::Local && target.kind != EK::Global) || value.kind != EK::Chain)
        return false;
    const auto &chain = static_cast<const ChainExpr &>(value);
    for (const ChainExpr::Step &step : chain.steps)
        if (step.op != Tok::Plus)
            return false;
    const Expr &first = *chain.operands.front();
    return first.kind == target.kind &&
           static_cast<const VarExpr &>(first).slot == static_cast<const VarExpr &>(target).slot;
}

struct AssignStmt : Stmt
{
    AssignStmt(Pos p, ExprPtr t, ExprPtr v)
        : Stmt(SK::Assign, p)
        , target(std::move(t))
        , value(std::move(v))
        , appends(appendsTo(*target, *value))
    {}
    ExprPtr target, value;
    // "S := S + X + ...", S a variable: the text may grow in place instead of being copied.
    bool appends;
};

struct CallStmt : Stmt
{
    CallStmt(Pos p, ExprPtr e)
        : Stmt(SK::Call, p)
        , call(std::move(e))
    {}
    ExprPtr call;
};

struct CompoundStmt : Stmt
{
    explicit CompoundStmt(Pos p)
        : Stmt(SK::Compound, p)
    {}
    std::vector<StmtPtr> body;
};

struct IfStmt : Stmt
{
    explicit IfStmt(Pos p)
        : Stmt(SK::If, p)
    {}
    ExprPtr cond;
    StmtPtr then, otherwise;
};

struct WhileStmt : Stmt
{
    explicit WhileStmt(Pos p)
        : Stmt(SK::While, p)
    {}
    ExprPtr cond;
    StmtPtr body;
};

struct RepeatStmt : Stmt
{
    explicit RepeatStmt(Pos p)
        : Stmt(SK::Repeat, p)
    {}
    std::vector<StmtPtr> body;
    ExprPtr cond;
};

struct ForStmt : Stmt
{
    explicit ForStmt(Pos p)
        : Stmt(SK::For, p)
    {}
    ExprPtr var, from, to;
    bool down = false;
    StmtPtr body;
};

struct CaseBranch
{
    std::vector<std::pair<ExprPtr, ExprPtr>> labels; // value, or range low and high
    std::vector<std::pair<Value, Value>> cached;     // labels evaluated once
    StmtPtr body;
};

struct CaseStmt : Stmt
{
    explicit CaseStmt(Pos p)
        : Stmt(SK::Case, p)
    {}
    ExprPtr selector;
    std::vector<CaseBranch> branches;
    std::vector<StmtPtr> otherwise;
    bool hasElse = false;
    bool labelsCached = false;
};

struct ExceptHandler
{
    QString className; // empty: "else" part or bare handler
    Pos pos;
    const ScriptClass *cls = nullptr;
    int slot = -1; // variable E of "on E: T do", or -1
    bool global = false;
    StmtPtr body;
};

struct TryStmt : Stmt
{
    TryStmt(SK k, Pos p)
        : Stmt(k, p)
    {}
    std::vector<StmtPtr> body;
    std::vector<ExceptHandler> handlers; // "on" handlers
    std::vector<StmtPtr> bare;           // handler statements without "on", or the "else" part
    bool hasBare = false;
    std::vector<StmtPtr> finally;
};

struct RaiseStmt : Stmt
{
    explicit RaiseStmt(Pos p)
        : Stmt(SK::Raise, p)
    {}
    ExprPtr value; // null: re-raise the current exception
};

struct ExitStmt : Stmt
{
    explicit ExitStmt(Pos p)
        : Stmt(SK::Exit, p)
    {}
    ExprPtr value;
    int resultSlot = -1;
};

struct WithStmt : Stmt
{
    explicit WithStmt(Pos p)
        : Stmt(SK::With, p)
    {}
    std::vector<ExprPtr> objects;
    std::vector<int> slots;
    bool global = false;
    StmtPtr body;
};

// ---- routines and the program ----

enum class ParamMode : quint8 { Value, Var, Const, Out };

struct ParamDecl
{
    QString name;
    ParamMode mode = ParamMode::Value;
    TypeRef type;
    ExprPtr defaultValue;
};

struct Routine
{
    QString name;
    QString unit;
    Pos pos;
    bool isFunction = false;
    bool defined = false; // has a body (not only a forward declaration)
    std::vector<ParamDecl> params;
    int requiredParams = 0;
    TypeRef resultType;
    int resultSlot = -1;
    std::vector<TypeRef> slotTypes; // params, then Result, then locals and hidden slots
    std::vector<StmtPtr> inits;     // local constants and initialised variables
    std::unique_ptr<CompoundStmt> body;
};

struct Program
{
    std::vector<std::unique_ptr<Routine>> routines;
    QHash<QString, Routine *> routineIndex; // lower-case name
    std::vector<TypeRef> globalTypes;
    std::vector<QString> globalNames;
    QHash<QString, int> globalIndex; // lower-case name
    std::vector<bool> globalConst;
    std::vector<StmtPtr> globalInits; // constants and initialised variables, in order
    std::vector<std::unique_ptr<CompoundStmt>> unitInits; // main blocks of used units
    std::unique_ptr<CompoundStmt> main;
    QStringList units;
};

} // namespace tev::script
