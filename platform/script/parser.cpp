#include "platform/script/parser.h"

#include <limits>

#include "platform/script/scripterror.h"
#include "platform/script/scripthost.h"
#include "platform/script/scriptobject.h"

namespace tev::script {

namespace {

// Counts one level of recursion of the parser for as long as it lives.
class NestingGuard
{
public:
    explicit NestingGuard(int &depth)
        : m_depth(depth)
    {
        ++m_depth;
    }
    ~NestingGuard() { --m_depth; }
    NestingGuard(const NestingGuard &) = delete;
    NestingGuard &operator=(const NestingGuard &) = delete;

private:
    int &m_depth;
};

struct TypeName
{
    const char *name;
    TypeCode code;
};

// The simple type names of the dialect; each is also a type cast, such as Integer(x).
const TypeName simpleTypes[] = {
    {"integer", TypeCode::Int32},
    {"longint", TypeCode::Int32},
    {"nativeint", TypeCode::Int64},
    {"int64", TypeCode::Int64},
    {"cardinal", TypeCode::UInt32},
    {"longword", TypeCode::UInt32},
    {"dword", TypeCode::UInt32},
    {"word", TypeCode::UInt16},
    {"smallint", TypeCode::Int16},
    {"byte", TypeCode::UInt8},
    {"shortint", TypeCode::Int8},
    {"string", TypeCode::String},
    {"ansistring", TypeCode::String},
    {"widestring", TypeCode::String},
    {"unicodestring", TypeCode::String},
    {"shortstring", TypeCode::String},
    {"char", TypeCode::Char},
    {"ansichar", TypeCode::Char},
    {"widechar", TypeCode::Char},
    {"boolean", TypeCode::Boolean},
    {"bytebool", TypeCode::Boolean},
    {"wordbool", TypeCode::Boolean},
    {"longbool", TypeCode::Boolean},
    {"double", TypeCode::Float},
    {"extended", TypeCode::Float},
    {"single", TypeCode::Float},
    {"real", TypeCode::Float},
    {"currency", TypeCode::Float},
    {"tdatetime", TypeCode::DateTime},
    {"tdate", TypeCode::DateTime},
    {"ttime", TypeCode::DateTime},
    {"variant", TypeCode::Variant},
    {"olevariant", TypeCode::Variant},
    {"tobject", TypeCode::Object},
};

bool simpleType(const QString &lowerName, TypeCode &code)
{
    for (const TypeName &t : simpleTypes) {
        if (lowerName == QLatin1String(t.name)) {
            code = t.code;
            return true;
        }
    }
    return false;
}

bool isStatementStart(Tok k)
{
    switch (k) {
    case Tok::Identifier:
    case Tok::Begin:
    case Tok::If:
    case Tok::While:
    case Tok::Repeat:
    case Tok::For:
    case Tok::Case:
    case Tok::Try:
    case Tok::Raise:
    case Tok::With:
        return true;
    default:
        return false;
    }
}

} // namespace

Parser::Parser(ScriptHost &host, Program &program, bool optionExplicit)
    : m_host(host)
    , m_program(program)
    , m_optionExplicit(optionExplicit)
{}

// ---- errors and tokens ----

void Parser::error(const QString &message, Pos pos)
{
    throw CompileError(message, pos.line, pos.column, m_unit);
}

QString Parser::describe(const Token &t) const
{
    switch (t.kind) {
    case Tok::Identifier:
        return QStringLiteral("identifier '%1'").arg(t.text);
    case Tok::IntegerLiteral:
    case Tok::FloatLiteral:
        return QStringLiteral("number");
    case Tok::StringLiteral:
        return QStringLiteral("string constant");
    case Tok::EndOfFile:
        return QStringLiteral("end of file");
    default:
        return QStringLiteral("'%1'").arg(QLatin1String(tokenName(t.kind)));
    }
}

void Parser::errorExpected(const QString &what)
{
    error(QStringLiteral("%1 expected but %2 found").arg(what, describe(peek())), here());
}

const Token &Parser::peek(int ahead) const
{
    const size_t p = m_pos + static_cast<size_t>(ahead);
    return p < m_tokens.size() ? m_tokens[p] : m_tokens.back();
}

Token Parser::next()
{
    Token t = peek();
    if (m_pos < m_tokens.size() - 1)
        ++m_pos;
    return t;
}

bool Parser::accept(Tok kind)
{
    if (!check(kind))
        return false;
    next();
    return true;
}

Token Parser::expect(Tok kind)
{
    if (!check(kind)) {
        if (kind == Tok::Identifier)
            errorExpected(QStringLiteral("Identifier"));
        errorExpected(QStringLiteral("'%1'").arg(QLatin1String(tokenName(kind))));
    }
    return next();
}

// Lua's check_match: a block left open names the keyword that opened it and its line.
void Parser::expectClosing(Tok kind, const char *opener, Pos openedAt)
{
    if (check(kind)) {
        next();
        return;
    }
    if (isStatementStart(peek().kind) && kind == Tok::End && peek(-1).kind != Tok::Semicolon)
        errorExpected(QStringLiteral("';'"));
    if (openedAt.line == here().line)
        errorExpected(QStringLiteral("'%1'").arg(QLatin1String(tokenName(kind))));
    error(QStringLiteral("'%1' expected (to close '%2' at line %3) but %4 found")
              .arg(QLatin1String(tokenName(kind)), QLatin1String(opener))
              .arg(openedAt.line)
              .arg(describe(peek())),
          here());
}

QString Parser::expectIdentifier()
{
    return expect(Tok::Identifier).text;
}

Pos Parser::here() const
{
    return {peek().line, peek().column};
}

// ---- program ----

void Parser::parseMain(const QString &source)
{
    parseSource(source, QString());
    resolveNames();
    checkCalls();
    for (const auto &r : m_program.routines) {
        if (!r->defined)
            throw CompileError(
                QStringLiteral("Unsatisfied forward or external declaration: '%1'").arg(r->name),
                r->pos.line, r->pos.column, r->unit);
    }
}

void Parser::parseSource(const QString &source, const QString &unit)
{
    Lexer lexer(source);
    std::vector<Token> tokens = lexer.tokenize();
    if (lexer.failed())
        throw CompileError(lexer.error().message, lexer.error().line, lexer.error().column, unit);
    std::swap(tokens, m_tokens);
    const size_t savedPos = m_pos;
    const QString savedUnit = m_unit;
    m_pos = 0;
    m_unit = unit;
    parseProgramOrUnit();
    m_tokens = std::move(tokens);
    m_pos = savedPos;
    m_unit = savedUnit;
}

// program := ["program" ident ";"] ["uses" ...] declarations ["begin" stmts "end"] ["."]
// unit    := "unit" ident ";" "interface" [uses] declarations "implementation" [uses]
//            declarations ["initialization" stmts | "begin" stmts] "end" "."
void Parser::parseProgramOrUnit()
{
    bool isUnit = false;
    if (accept(Tok::Program)) {
        expectIdentifier();
        expect(Tok::Semicolon);
    } else if (accept(Tok::Unit)) {
        isUnit = true;
        expectIdentifier();
        expect(Tok::Semicolon);
        m_inInterface = accept(Tok::Interface);
    }
    if (check(Tok::Uses))
        parseUses();
    parseDeclarations(true);
    if (isUnit && accept(Tok::Implementation)) {
        m_inInterface = false;
        if (check(Tok::Uses))
            parseUses();
        parseDeclarations(true);
    }
    m_inInterface = false;
    auto block = [&]() {
        auto c = std::make_unique<CompoundStmt>(here());
        parseStatementList(c->body, {Tok::End});
        return c;
    };
    if (check(Tok::Identifier) &&
        peek().text.compare(QLatin1String("initialization"), Qt::CaseInsensitive) == 0) {
        const Pos at = here();
        next();
        auto c = block();
        expectClosing(Tok::End, "initialization", at);
        accept(Tok::Dot);
        m_program.unitInits.push_back(std::move(c));
    } else if (check(Tok::Begin)) {
        auto c = parseCompound();
        accept(Tok::Dot);
        if (m_unit.isEmpty())
            m_program.main = std::move(c);
        else
            m_program.unitInits.push_back(std::move(c));
    } else if (check(Tok::End) && (isUnit || peek(1).kind == Tok::Dot)) {
        next();
        accept(Tok::Dot);
    }
    if (!check(Tok::EndOfFile))
        errorExpected(QStringLiteral("Declaration"));
}

// uses := "uses" ident {"," ident} ";"
void Parser::parseUses()
{
    expect(Tok::Uses);
    do {
        const Pos at = here();
        const QString name = expectIdentifier();
        if (accept(Tok::In))
            expect(Tok::StringLiteral);
        if (m_host.attachLibrary(name))
            continue;
        if (m_program.units.contains(name, Qt::CaseInsensitive))
            continue;
        QString source, fileName;
        bool found = false;
        try {
            found = m_host.findUnit(name, source, fileName);
        } catch (const CompileError &) {
            throw;
        } catch (const tev::Error &e) {
            error(e.message(), at); // a unit the host refuses, with its reason
        }
        if (!found)
            error(QStringLiteral("Library '%1' not found").arg(name), at);
        if (m_unitDepth >= MaxUnitNesting)
            error(QStringLiteral("Units nested too deeply"), at);
        m_program.units << name;
        ++m_unitDepth;
        Routine *savedRoutine = m_routine;
        m_routine = nullptr;
        const bool savedInterface = m_inInterface;
        parseSource(source, fileName);
        m_inInterface = savedInterface;
        m_routine = savedRoutine;
        --m_unitDepth;
    } while (accept(Tok::Comma));
    expect(Tok::Semicolon);
}

void Parser::rejectUnsupported()
{
    const Pos at = here();
    switch (peek().kind) {
    case Tok::Type:
        error(QStringLiteral("Type declarations are not supported"), at);
    case Tok::Label:
        error(QStringLiteral("Labels are not supported"), at);
    case Tok::Goto:
        error(QStringLiteral("'goto' is not supported"), at);
    case Tok::Caret:
        error(QStringLiteral("Pointers are not supported"), at);
    default:
        break;
    }
}

// declarations := { "var" vars | "const" consts | procedure | function }
void Parser::parseDeclarations(bool topLevel)
{
    for (;;) {
        rejectUnsupported();
        if (check(Tok::Var)) {
            parseVarSection(topLevel);
        } else if (check(Tok::Const)) {
            parseConstSection(topLevel);
        } else if (check(Tok::Procedure) || check(Tok::Function)) {
            if (!topLevel)
                error(QStringLiteral("Nested routines are not supported"), here());
            parseRoutine();
        } else if (check(Tok::Uses) && topLevel) {
            parseUses();
        } else {
            return;
        }
    }
}

int Parser::declareVariable(const QString &name, const TypeRef &type, Pos pos, bool global,
                            bool isConst)
{
    const QString key = name.toLower();
    if (global) {
        if (m_program.globalIndex.contains(key) || m_program.routineIndex.contains(key))
            error(QStringLiteral("Identifier redeclared: '%1'").arg(name), pos);
        const int slot = static_cast<int>(m_program.globalTypes.size());
        m_program.globalTypes.push_back(type);
        m_program.globalNames.push_back(name);
        m_program.globalConst.push_back(isConst);
        m_program.globalIndex.insert(key, slot);
        return slot;
    }
    if (m_locals.contains(key))
        error(QStringLiteral("Identifier redeclared: '%1'").arg(name), pos);
    const int slot = static_cast<int>(m_routine->slotTypes.size());
    m_routine->slotTypes.push_back(type);
    m_locals.insert(key, slot);
    return slot;
}

int Parser::hiddenSlot(bool global)
{
    const QString name = QStringLiteral(" hidden%1").arg(++m_hiddenCount);
    if (global)
        return declareVariable(name, TypeRef(), {}, true, false);
    const int slot = static_cast<int>(m_routine->slotTypes.size());
    m_routine->slotTypes.push_back(TypeRef());
    return slot;
}

// vars := ident {"," ident} ":" type ["=" expression] ";" {...}
void Parser::parseVarSection(bool global)
{
    expect(Tok::Var);
    do {
        std::vector<std::pair<QString, Pos>> names;
        do {
            const Pos at = here();
            names.emplace_back(expectIdentifier(), at);
        } while (accept(Tok::Comma));
        expect(Tok::Colon);
        const TypeRef type = parseType();
        ExprPtr init;
        if (accept(Tok::Equal)) {
            if (names.size() != 1)
                errorExpected(QStringLiteral("';'"));
            init = parseTypedConstValue(type);
        }
        expect(Tok::Semicolon);
        for (auto &[name, at] : names) {
            const int slot = declareVariable(name, type, at, global, false);
            if (init) {
                auto target =
                    std::make_unique<VarExpr>(global ? EK::Global : EK::Local, at, slot, name);
                auto stmt = std::make_unique<AssignStmt>(at, std::move(target), std::move(init));
                (global ? m_program.globalInits : m_routine->inits).push_back(std::move(stmt));
            }
        }
    } while (check(Tok::Identifier));
}

// A typed constant's value: an expression, or "(a, b, c)" for an array type.
ExprPtr Parser::parseTypedConstValue(const TypeRef &type)
{
    if (type.code == TypeCode::Array && check(Tok::LParen)) {
        const Pos at = here();
        next();
        auto set = std::make_unique<SetExpr>(at);
        if (!check(Tok::RParen)) {
            do {
                set->items.emplace_back(
                    parseTypedConstValue(type.element ? *type.element : TypeRef()), nullptr);
            } while (accept(Tok::Comma));
        }
        expect(Tok::RParen);
        return set;
    }
    return parseExpression();
}

// consts := ident [":" type] "=" expression ";" {...}
void Parser::parseConstSection(bool global)
{
    expect(Tok::Const);
    do {
        const Pos at = here();
        const QString name = expectIdentifier();
        TypeRef type;
        bool typed = false;
        if (accept(Tok::Colon)) {
            type = parseType();
            typed = true;
        }
        expect(Tok::Equal);
        ExprPtr value = parseTypedConstValue(type);
        expect(Tok::Semicolon);
        // Typed constants are variables with an initial value, as in the dialect; plain
        // constants cannot be assigned to.
        const int slot = declareVariable(name, type, at, global, !typed);
        auto target = std::make_unique<VarExpr>(global ? EK::Global : EK::Local, at, slot, name);
        auto stmt = std::make_unique<AssignStmt>(at, std::move(target), std::move(value));
        (global ? m_program.globalInits : m_routine->inits).push_back(std::move(stmt));
    } while (check(Tok::Identifier));
}

// type := ident | "array" ["[" const ".." const {"," ...} "]"] "of" type | "set" "of" type
TypeRef Parser::parseType()
{
    rejectUnsupported();
    TypeRef t;
    const Pos at = here();
    if (accept(Tok::Array)) {
        t.code = TypeCode::Array;
        t.name = QStringLiteral("array");
        std::vector<std::pair<qint64, qint64>> bounds;
        if (accept(Tok::LBracket)) {
            do {
                auto constant = [&]() -> qint64 {
                    const bool negative = accept(Tok::Minus);
                    if (check(Tok::IntegerLiteral))
                        return negative ? -next().intValue : next().intValue;
                    if (check(Tok::StringLiteral) && peek().text.size() == 1)
                        return next().text.at(0).unicode();
                    errorExpected(QStringLiteral("Constant array bound"));
                };
                const qint64 low = constant();
                expect(Tok::DotDot);
                const qint64 high = constant();
                if (high < low || high - low >= MaxArrayLength)
                    error(QStringLiteral("Invalid array bounds"), at);
                bounds.emplace_back(low, high);
            } while (accept(Tok::Comma));
            expect(Tok::RBracket);
        }
        expect(Tok::Of);
        TypeRef element;
        if (accept(Tok::Const))
            element = TypeRef(); // array of const
        else
            element = parseType();
        if (bounds.empty()) {
            t.element = std::make_shared<TypeRef>(element);
            return t;
        }
        // array[a..b, c..d] of T is array[a..b] of array[c..d] of T.
        TypeRef inner = element;
        for (auto it = bounds.rbegin(); it != bounds.rend(); ++it) {
            TypeRef level;
            level.code = TypeCode::Array;
            level.name = QStringLiteral("array");
            level.staticArray = true;
            level.low = it->first;
            level.high = it->second;
            level.element = std::make_shared<TypeRef>(inner);
            inner = level;
        }
        return inner;
    }
    if (accept(Tok::Set)) {
        expect(Tok::Of);
        parseType();
        t.name = QStringLiteral("set");
        return t;
    }
    const QString name = expectIdentifier();
    t.name = name;
    if (check(Tok::Less))
        error(QStringLiteral("Generics are not supported"), here());
    if (check(Tok::Dot)) { // Unit.TypeName
        next();
        t.name = expectIdentifier();
    }
    TypeCode code;
    if (simpleType(t.name.toLower(), code)) {
        t.code = code;
        return t;
    }
    if (m_host.findClass(t.name) || (t.name.startsWith(QLatin1Char('T')) &&
                                     m_host.lookup(t.name).kind == HostSymbol::Kind::Class))
        t.code = TypeCode::Object;
    // Other type names (TColor, TNotifyEvent, ...) hold any value.
    return t;
}

// routine := ("procedure" | "function") ident [params] [":" type] ";" {directive ";"}
//            [declarations "begin" stmts "end" ";"]
void Parser::parseRoutine()
{
    const bool isFunction = next().kind == Tok::Function;
    const Pos at = here();
    const QString name = expectIdentifier();
    if (check(Tok::Dot))
        error(QStringLiteral("Methods of classes are not supported"), here());
    auto routine = std::make_unique<Routine>();
    routine->name = name;
    routine->unit = m_unit;
    routine->pos = at;
    routine->isFunction = isFunction;
    Routine *saved = m_routine;
    m_routine = routine.get();
    m_locals.clear();
    if (check(Tok::LParen))
        parseParameters(*routine);
    if (isFunction) {
        expect(Tok::Colon);
        routine->resultType = parseType();
    }
    expect(Tok::Semicolon);
    bool forward = m_inInterface;
    for (;;) {
        if (!check(Tok::Identifier))
            break;
        const QString d = peek().text.toLower();
        if (d == QLatin1String("overload"))
            error(QStringLiteral("Overloaded routines are not supported"), here());
        if (d == QLatin1String("forward")) {
            forward = true;
        } else if (d != QLatin1String("stdcall") && d != QLatin1String("register") &&
                   d != QLatin1String("cdecl") && d != QLatin1String("inline")) {
            break;
        }
        next();
        expect(Tok::Semicolon);
    }
    // Slots: parameters, then Result.
    for (size_t i = 0; i < routine->params.size(); ++i) {
        const ParamDecl &p = routine->params[i];
        if (m_locals.contains(p.name.toLower()))
            error(QStringLiteral("Identifier redeclared: '%1'").arg(p.name), at);
        m_locals.insert(p.name.toLower(), static_cast<int>(i));
        routine->slotTypes.push_back(p.type);
    }
    if (isFunction) {
        routine->resultSlot = static_cast<int>(routine->slotTypes.size());
        routine->slotTypes.push_back(routine->resultType);
        m_locals.insert(QStringLiteral("result"), routine->resultSlot);
    }

    const QString key = name.toLower();
    Routine *target = routine.get();
    if (Routine *existing = m_program.routineIndex.value(key)) {
        if (existing->defined || forward)
            error(QStringLiteral("Identifier redeclared: '%1'").arg(name), at);
        if (existing->params.size() != routine->params.size() || existing->isFunction != isFunction)
            error(QStringLiteral("Declaration of '%1' differs from previous declaration").arg(name),
                  at);
    } else if (m_program.globalIndex.contains(key)) {
        error(QStringLiteral("Identifier redeclared: '%1'").arg(name), at);
    }

    if (!forward) {
        parseDeclarations(false);
        routine->body = parseCompound();
        expect(Tok::Semicolon);
        routine->defined = true;
    }
    m_routine = saved;
    m_locals.clear();

    if (Routine *existing = m_program.routineIndex.value(key)) {
        // The body of a forward declaration: the first declaration's object keeps every
        // reference made to it so far.
        existing->params = std::move(routine->params);
        existing->requiredParams = routine->requiredParams;
        existing->resultType = routine->resultType;
        existing->resultSlot = routine->resultSlot;
        existing->slotTypes = std::move(routine->slotTypes);
        existing->inits = std::move(routine->inits);
        existing->body = std::move(routine->body);
        existing->defined = true;
        existing->pos = at;
        return;
    }
    m_program.routineIndex.insert(key, target);
    m_program.routines.push_back(std::move(routine));
}

// params := "(" [group {";" group}] ")"
// group  := ["var" | "const" | "out"] ident {"," ident} [":" type] ["=" expression]
void Parser::parseParameters(Routine &r)
{
    expect(Tok::LParen);
    if (accept(Tok::RParen))
        return;
    bool sawDefault = false;
    do {
        ParamMode mode = ParamMode::Value;
        if (accept(Tok::Var))
            mode = ParamMode::Var;
        else if (accept(Tok::Const))
            mode = ParamMode::Const;
        else if (accept(Tok::Out))
            mode = ParamMode::Out;
        std::vector<QString> names;
        do {
            names.push_back(expectIdentifier());
        } while (accept(Tok::Comma));
        TypeRef type;
        if (accept(Tok::Colon))
            type = parseType();
        const Pos defaultAt = here();
        ExprPtr def;
        if (accept(Tok::Equal)) {
            if (names.size() != 1 || mode == ParamMode::Var || mode == ParamMode::Out)
                error(QStringLiteral("Default value not allowed here"), defaultAt);
            def = parseExpression();
            sawDefault = true;
        } else if (sawDefault) {
            error(QStringLiteral("Default value required for '%1'").arg(names.front()), defaultAt);
        }
        for (const QString &n : names) {
            ParamDecl p;
            p.name = n;
            p.mode = mode;
            p.type = type;
            p.defaultValue = std::move(def);
            if (!p.defaultValue)
                ++r.requiredParams;
            r.params.push_back(std::move(p));
        }
    } while (accept(Tok::Semicolon));
    expect(Tok::RParen);
}

// ---- statements ----

// compound := "begin" stmts "end"
std::unique_ptr<CompoundStmt> Parser::parseCompound()
{
    const Pos at = here();
    expect(Tok::Begin);
    auto c = std::make_unique<CompoundStmt>(at);
    parseStatementList(c->body, {Tok::End});
    expectClosing(Tok::End, "begin", at);
    return c;
}

// stmts := stmt {";" stmt}
void Parser::parseStatementList(std::vector<StmtPtr> &into, std::initializer_list<Tok> terminators)
{
    auto atEnd = [&]() {
        for (Tok t : terminators)
            if (check(t))
                return true;
        return check(Tok::EndOfFile);
    };
    for (;;) {
        if (atEnd())
            return;
        StmtPtr s = parseStatement();
        if (s->kind != SK::Empty)
            into.push_back(std::move(s));
        if (!accept(Tok::Semicolon))
            return;
    }
}

StmtPtr Parser::parseStatement()
{
    NestingGuard guard(m_nesting);
    if (m_nesting > MaxParseNesting)
        error(QStringLiteral("Statements nested too deeply"), here());
    rejectUnsupported();
    switch (peek().kind) {
    case Tok::Begin:
        return parseCompound();
    case Tok::If:
        return parseIf();
    case Tok::While:
        return parseWhile();
    case Tok::Repeat:
        return parseRepeat();
    case Tok::For:
        return parseFor();
    case Tok::Case:
        return parseCase();
    case Tok::Try:
        return parseTry();
    case Tok::Raise:
        return parseRaise();
    case Tok::With:
        return parseWith();
    case Tok::Semicolon:
    case Tok::End:
    case Tok::Else:
    case Tok::Until:
    case Tok::Except:
    case Tok::Finally:
    case Tok::EndOfFile:
        return std::make_unique<Stmt>(SK::Empty, here());
    default:
        return parseSimpleStatement();
    }
}

// simple := designator [":=" expression] | "Break" | "Continue" | "Exit" ["(" expression ")"]
StmtPtr Parser::parseSimpleStatement()
{
    const Pos at = here();
    if (check(Tok::Identifier)) {
        const QString word = peek().text.toLower();
        const bool shadowed = m_locals.contains(word) || m_program.globalIndex.contains(word);
        if (!shadowed && (word == QLatin1String("break") || word == QLatin1String("continue"))) {
            next();
            if (m_loopDepth == 0)
                error(QStringLiteral("%1 outside a loop")
                          .arg(word == QLatin1String("break") ? QStringLiteral("Break")
                                                              : QStringLiteral("Continue")),
                      at);
            return std::make_unique<Stmt>(word == QLatin1String("break") ? SK::Break : SK::Continue,
                                          at);
        }
        if (!shadowed && word == QLatin1String("exit")) {
            next();
            auto e = std::make_unique<ExitStmt>(at);
            if (accept(Tok::LParen)) {
                if (!check(Tok::RParen)) {
                    if (!m_routine || !m_routine->isFunction)
                        error(QStringLiteral("Exit with a value is only allowed in a function"),
                              at);
                    e->value = parseExpression();
                    e->resultSlot = m_routine->resultSlot;
                }
                expect(Tok::RParen);
            }
            return e;
        }
        // FunctionName := value sets the result.
        if (m_routine && m_routine->isFunction && word == m_routine->name.toLower() &&
            peek(1).kind == Tok::Assign && !m_locals.contains(word)) {
            next();
            next();
            auto target = std::make_unique<VarExpr>(EK::Local, at, m_routine->resultSlot,
                                                    QStringLiteral("Result"));
            return std::make_unique<AssignStmt>(at, std::move(target), parseExpression());
        }
    } else if (!check(Tok::LParen) && !check(Tok::At)) {
        errorExpected(QStringLiteral("Statement"));
    }
    ExprPtr target = parseDesignator();
    if (check(Tok::Assign)) {
        const Pos assignAt = here();
        next();
        if (!isAssignable(*target))
            error(QStringLiteral("Left side cannot be assigned to"), assignAt);
        return std::make_unique<AssignStmt>(at, std::move(target), parseExpression());
    }
    if (check(Tok::Equal))
        errorExpected(QStringLiteral("':='"));
    if (target->kind == EK::Name)
        static_cast<NameExpr &>(*target).isStatement = true;
    if (target->kind != EK::Call && target->kind != EK::Name && target->kind != EK::Member)
        error(QStringLiteral("Statement expected but expression found"), at);
    return std::make_unique<CallStmt>(at, std::move(target));
}

bool Parser::isAssignable(const Expr &e) const
{
    switch (e.kind) {
    case EK::Local:
        return true;
    case EK::Global:
        return !m_program.globalConst[static_cast<size_t>(static_cast<const VarExpr &>(e).slot)];
    case EK::Index:
    case EK::Member:
        return true;
    case EK::Name: {
        const auto &n = static_cast<const NameExpr &>(e);
        return !n.withSlots.empty() || n.res == NameExpr::Res::Unresolved;
    }
    default:
        return false;
    }
}

// if := "if" expression "then" stmt ["else" stmt]
StmtPtr Parser::parseIf()
{
    auto s = std::make_unique<IfStmt>(here());
    expect(Tok::If);
    s->cond = parseExpression();
    expect(Tok::Then);
    s->then = parseStatement();
    if (accept(Tok::Else))
        s->otherwise = parseStatement();
    return s;
}

// while := "while" expression "do" stmt
StmtPtr Parser::parseWhile()
{
    auto s = std::make_unique<WhileStmt>(here());
    expect(Tok::While);
    s->cond = parseExpression();
    expect(Tok::Do);
    ++m_loopDepth;
    s->body = parseStatement();
    --m_loopDepth;
    return s;
}

// repeat := "repeat" stmts "until" expression
StmtPtr Parser::parseRepeat()
{
    const Pos at = here();
    auto s = std::make_unique<RepeatStmt>(at);
    expect(Tok::Repeat);
    ++m_loopDepth;
    parseStatementList(s->body, {Tok::Until});
    --m_loopDepth;
    expectClosing(Tok::Until, "repeat", at);
    s->cond = parseExpression();
    return s;
}

// for := "for" ident ":=" expression ("to" | "downto") expression "do" stmt
StmtPtr Parser::parseFor()
{
    auto s = std::make_unique<ForStmt>(here());
    expect(Tok::For);
    const Pos at = here();
    const QString name = expectIdentifier();
    s->var = variableExpr(name, at);
    if (s->var->kind != EK::Local && s->var->kind != EK::Global &&
        !(s->var->kind == EK::Name &&
          static_cast<NameExpr &>(*s->var).res == NameExpr::Res::Unresolved))
        error(QStringLiteral("Illegal counter variable"), at);
    if (s->var->kind == EK::Global &&
        m_program.globalConst[static_cast<size_t>(static_cast<VarExpr &>(*s->var).slot)])
        error(QStringLiteral("Illegal counter variable"), at);
    expect(Tok::Assign);
    s->from = parseExpression();
    if (accept(Tok::Downto))
        s->down = true;
    else if (!accept(Tok::To))
        errorExpected(QStringLiteral("'to' or 'downto'"));
    s->to = parseExpression();
    expect(Tok::Do);
    ++m_loopDepth;
    s->body = parseStatement();
    --m_loopDepth;
    return s;
}

// case := "case" expression "of" branch {";" branch} [";"] ["else" stmts] "end"
// branch := label {"," label} ":" stmt;  label := expression [".." expression]
StmtPtr Parser::parseCase()
{
    const Pos at = here();
    auto s = std::make_unique<CaseStmt>(at);
    expect(Tok::Case);
    s->selector = parseExpression();
    expect(Tok::Of);
    while (!check(Tok::Else) && !check(Tok::End) && !check(Tok::EndOfFile)) {
        CaseBranch b;
        do {
            ExprPtr low = parseExpression();
            ExprPtr high;
            if (accept(Tok::DotDot))
                high = parseExpression();
            b.labels.emplace_back(std::move(low), std::move(high));
        } while (accept(Tok::Comma));
        expect(Tok::Colon);
        b.body = parseStatement();
        s->branches.push_back(std::move(b));
        if (!accept(Tok::Semicolon))
            break;
    }
    if (accept(Tok::Else)) {
        s->hasElse = true;
        parseStatementList(s->otherwise, {Tok::End});
    }
    expectClosing(Tok::End, "case", at);
    return s;
}

// try := "try" stmts ("finally" stmts | "except" handlers) "end"
// handlers := {"on" [ident ":"] ident "do" stmt [";"]} ["else" stmts] | stmts
StmtPtr Parser::parseTry()
{
    const Pos at = here();
    expect(Tok::Try);
    std::vector<StmtPtr> body;
    parseStatementList(body, {Tok::Except, Tok::Finally});
    if (accept(Tok::Finally)) {
        auto s = std::make_unique<TryStmt>(SK::TryFinally, at);
        s->body = std::move(body);
        parseStatementList(s->finally, {Tok::End});
        expectClosing(Tok::End, "try", at);
        return s;
    }
    if (!accept(Tok::Except))
        expectClosing(Tok::Except, "try", at);
    auto s = std::make_unique<TryStmt>(SK::TryExcept, at);
    s->body = std::move(body);
    if (check(Tok::On)) {
        while (check(Tok::On)) {
            ExceptHandler h;
            h.pos = here();
            next();
            QString first = expectIdentifier();
            QString var;
            if (accept(Tok::Colon)) {
                var = first;
                first = expectIdentifier();
            }
            h.className = first;
            h.cls = m_host.findClass(first);
            if (!h.cls)
                error(QStringLiteral("Undeclared identifier: '%1'").arg(first), h.pos);
            expect(Tok::Do);
            const size_t blockNames = m_blockNames.size();
            if (!var.isEmpty()) {
                h.global = m_routine == nullptr;
                h.slot = hiddenSlot(h.global);
                m_blockNames.emplace_back(var.toLower(), h.slot);
            }
            h.body = parseStatement();
            m_blockNames.resize(blockNames);
            s->handlers.push_back(std::move(h));
            if (!accept(Tok::Semicolon))
                break;
        }
        if (accept(Tok::Else)) {
            s->hasBare = true;
            parseStatementList(s->bare, {Tok::End});
        }
    } else {
        s->hasBare = true;
        parseStatementList(s->bare, {Tok::End});
    }
    expectClosing(Tok::End, "try", at);
    return s;
}

// raise := "raise" [expression ["at" expression]]
StmtPtr Parser::parseRaise()
{
    auto s = std::make_unique<RaiseStmt>(here());
    expect(Tok::Raise);
    if (!check(Tok::Semicolon) && !check(Tok::End) && !check(Tok::Else) && !check(Tok::Until) &&
        !check(Tok::Except) && !check(Tok::Finally))
        s->value = parseExpression();
    return s;
}

// with := "with" expression {"," expression} "do" stmt
StmtPtr Parser::parseWith()
{
    auto s = std::make_unique<WithStmt>(here());
    expect(Tok::With);
    s->global = m_routine == nullptr;
    const size_t saved = m_withSlots.size();
    do {
        s->objects.push_back(parseExpression());
        const int slot = hiddenSlot(s->global);
        s->slots.push_back(slot);
    } while (accept(Tok::Comma));
    expect(Tok::Do);
    for (int slot : s->slots)
        m_withSlots.push_back(slot);
    s->body = parseStatement();
    m_withSlots.resize(saved);
    return s;
}

// ---- expressions ----

ExprPtr Parser::binary(Pos pos, Tok op, ExprPtr lhs, ExprPtr rhs)
{
    const int depth = 1 + std::max(lhs->depth, rhs->depth);
    if (depth > MaxExpressionDepth)
        error(QStringLiteral("Expression too complex"), pos);
    auto e = std::make_unique<BinaryExpr>(pos, op, std::move(lhs), std::move(rhs));
    e->depth = depth;
    return e;
}

namespace {

bool isRelational(Tok k)
{
    return k == Tok::Equal || k == Tok::NotEqual || k == Tok::Less || k == Tok::LessEqual ||
           k == Tok::Greater || k == Tok::GreaterEqual || k == Tok::In || k == Tok::Is;
}

} // namespace

// expression := simple [("=" | "<>" | "<" | "<=" | ">" | ">=" | "in" | "is") simple]
// One comparison per level: "and" binds tighter, so "A < B and C > D" would otherwise compare
// A with (B and C) and the result with D. A second one is refused where it stands.
ExprPtr Parser::parseExpression()
{
    NestingGuard guard(m_nesting);
    if (m_nesting > MaxParseNesting)
        error(QStringLiteral("Expression nested too deeply"), here());
    ExprPtr lhs = parseSimpleExpression();
    const Tok k = peek().kind;
    if (!isRelational(k))
        return lhs;
    const Pos at = here();
    next();
    lhs = binary(at, k, std::move(lhs), parseSimpleExpression());
    if (isRelational(peek().kind))
        error(QStringLiteral("'%1' cannot follow a comparison; put each comparison in parentheses")
                  .arg(QLatin1String(tokenName(peek().kind))),
              here());
    return lhs;
}

// simple := ["+" | "-"] term {("+" | "-" | "or" | "xor") term}
ExprPtr Parser::parseSimpleExpression()
{
    return parseChain(&Parser::parseTerm, [](Tok k) {
        return k == Tok::Plus || k == Tok::Minus || k == Tok::Or || k == Tok::Xor;
    });
}

// term := factor {("*" | "/" | "div" | "mod" | "and" | "shl" | "shr" | "as") factor}
ExprPtr Parser::parseTerm()
{
    return parseChain(&Parser::parseFactor, [](Tok k) {
        return k == Tok::Star || k == Tok::Slash || k == Tok::Div || k == Tok::Mod ||
               k == Tok::And || k == Tok::Shl || k == Tok::Shr || k == Tok::As;
    });
}

// operand {operator operand}, for one precedence level. The operators associate to the left; the
// run is kept as one chain however long it is, so its length is no depth.
ExprPtr Parser::parseChain(ExprPtr (Parser::*operand)(), bool (*isOperator)(Tok))
{
    ExprPtr first = (this->*operand)();
    if (!isOperator(peek().kind))
        return first;
    auto chain = std::make_unique<ChainExpr>(here());
    int depth = first->depth;
    chain->operands.push_back(std::move(first));
    while (isOperator(peek().kind)) {
        const Pos at = here();
        const Tok op = next().kind;
        chain->steps.push_back({op, at});
        chain->operands.push_back((this->*operand)());
        depth = std::max(depth, chain->operands.back()->depth);
    }
    chain->depth = depth + 1;
    if (chain->depth > MaxExpressionDepth)
        error(QStringLiteral("Expression too complex"), chain->pos);
    return chain;
}

// factor := ("not" | "-" | "+") factor | "@" designator | literal | "nil" | "[" set "]"
//         | "(" expression ")" | designator
ExprPtr Parser::parseFactor()
{
    NestingGuard guard(m_nesting);
    if (m_nesting > MaxParseNesting)
        error(QStringLiteral("Expression nested too deeply"), here());
    const Pos at = here();
    switch (peek().kind) {
    case Tok::Not:
    case Tok::Minus:
    case Tok::Plus: {
        const Tok op = next().kind;
        ExprPtr operand = parseFactor();
        if (op == Tok::Minus && operand->kind == EK::Literal) {
            Value &v = static_cast<LiteralExpr &>(*operand).value;
            if (v.isInteger()) {
                v = Value(static_cast<qint64>(0ULL - static_cast<quint64>(v.rawInt())));
                return operand;
            }
            if (v.type() == VType::Float) {
                v = Value(-v.rawFloat());
                return operand;
            }
        }
        const int depth = operand->depth + 1;
        auto e = std::make_unique<UnaryExpr>(at, op, std::move(operand));
        e->depth = depth;
        return e;
    }
    case Tok::At: {
        next();
        ExprPtr operand = parseDesignator();
        if (operand->kind == EK::Name)
            static_cast<NameExpr &>(*operand).isCallee = false;
        return std::make_unique<AddressExpr>(at, std::move(operand));
    }
    case Tok::IntegerLiteral:
        return std::make_unique<LiteralExpr>(at, Value(next().intValue));
    case Tok::FloatLiteral:
        return std::make_unique<LiteralExpr>(at, Value(next().floatValue));
    case Tok::StringLiteral: {
        ExprPtr e = std::make_unique<LiteralExpr>(at, Value(next().text));
        // 'abc'[2] indexes a literal.
        if (check(Tok::LBracket)) {
            auto idx = std::make_unique<IndexExpr>(here(), std::move(e));
            next();
            idx->indices.push_back(parseExpression());
            expect(Tok::RBracket);
            return idx;
        }
        return e;
    }
    case Tok::Nil:
        next();
        return std::make_unique<LiteralExpr>(at, Value::nil());
    case Tok::LBracket:
        return parseSetConstructor();
    case Tok::Identifier:
    case Tok::LParen:
        return parseDesignator();
    case Tok::Caret:
        error(QStringLiteral("Pointers are not supported"), at);
    default:
        errorExpected(QStringLiteral("Expression"));
    }
}

// set := "[" [element {"," element}] "]";  element := expression [".." expression]
ExprPtr Parser::parseSetConstructor()
{
    const Pos at = here();
    expect(Tok::LBracket);
    auto s = std::make_unique<SetExpr>(at);
    int depth = 1;
    if (!check(Tok::RBracket)) {
        do {
            ExprPtr low = parseExpression();
            depth = std::max(depth, low->depth + 1);
            ExprPtr high;
            if (accept(Tok::DotDot))
                high = parseExpression();
            s->items.emplace_back(std::move(low), std::move(high));
        } while (accept(Tok::Comma));
    }
    expectClosing(Tok::RBracket, "[", at);
    s->depth = depth;
    return s;
}

// designator := (ident | "(" expression ")") {"." ident | "[" expressions "]" | "(" arguments ")"}
ExprPtr Parser::parseDesignator()
{
    const Pos at = here();
    ExprPtr e;
    if (accept(Tok::LParen)) {
        e = parseExpression();
        expectClosing(Tok::RParen, "(", at);
    } else {
        const QString name = expectIdentifier();
        e = identifierExpr(name, at);
    }
    for (;;) {
        const Pos p = here();
        if (accept(Tok::Dot)) {
            const QString member = expectIdentifier();
            const int depth = e->depth + 1;
            e = std::make_unique<MemberExpr>(p, std::move(e), member);
            e->depth = depth;
        } else if (accept(Tok::LBracket)) {
            auto idx = std::make_unique<IndexExpr>(p, std::move(e));
            int depth = idx->object->depth + 1;
            do {
                idx->indices.push_back(parseExpression());
                depth = std::max(depth, idx->indices.back()->depth + 1);
            } while (accept(Tok::Comma));
            expectClosing(Tok::RBracket, "[", p);
            idx->depth = depth;
            e = std::move(idx);
        } else if (check(Tok::LParen)) {
            next();
            if (e->kind == EK::Name)
                static_cast<NameExpr &>(*e).isCallee = true;
            auto call = std::make_unique<CallExpr>(p, std::move(e));
            int depth = call->callee->depth + 1;
            if (!check(Tok::RParen)) {
                do {
                    call->args.push_back(parseExpression());
                    depth = std::max(depth, call->args.back()->depth + 1);
                } while (accept(Tok::Comma));
            }
            expectClosing(Tok::RParen, "(", p);
            call->depth = depth;
            if (call->callee->kind == EK::Name)
                m_calls.push_back(
                    {call.get(), static_cast<NameExpr *>(call->callee.get()), m_unit});
            e = std::move(call);
        } else if (check(Tok::Caret)) {
            error(QStringLiteral("Pointers are not supported"), p);
        } else {
            break;
        }
        if (e->depth > MaxExpressionDepth)
            error(QStringLiteral("Expression too complex"), p);
    }
    return e;
}

// A variable the name means here, or a pending name to resolve once the script is read.
ExprPtr Parser::variableExpr(const QString &name, Pos pos)
{
    const QString key = name.toLower();
    for (auto it = m_blockNames.rbegin(); it != m_blockNames.rend(); ++it) {
        if (it->first == key)
            return std::make_unique<VarExpr>(m_routine ? EK::Local : EK::Global, pos, it->second,
                                             name);
    }
    if (m_routine) {
        const auto it = m_locals.constFind(key);
        if (it != m_locals.cend())
            return std::make_unique<VarExpr>(EK::Local, pos, *it, name);
    }
    const auto g = m_program.globalIndex.constFind(key);
    if (g != m_program.globalIndex.cend())
        return std::make_unique<VarExpr>(EK::Global, pos, *g, name);
    auto n = std::make_unique<NameExpr>(pos, name);
    m_pending.push_back({n.get(), !m_withSlots.empty(), m_unit});
    return n;
}

ExprPtr Parser::identifierExpr(const QString &name, Pos pos)
{
    ExprPtr plain = variableExpr(name, pos);
    if (m_withSlots.empty())
        return plain;
    if (plain->kind == EK::Name) {
        auto &n = static_cast<NameExpr &>(*plain);
        n.withSlots = m_withSlots;
        n.withGlobal = m_routine == nullptr;
        return plain;
    }
    auto n = std::make_unique<NameExpr>(pos, name);
    n->withSlots = m_withSlots;
    n->withGlobal = m_routine == nullptr;
    n->res = NameExpr::Res::Variable;
    n->fallback = std::move(plain);
    return n;
}

// ---- names ----

void Parser::resolveNames()
{
    for (const Pending &p : m_pending) {
        m_unit = p.unit;
        resolveName(*p.name, p.insideWith);
    }
    m_unit.clear();
}

void Parser::resolveName(NameExpr &n, bool insideWith)
{
    using Res = NameExpr::Res;
    const QString key = n.name.toLower();
    if (Routine *r = m_program.routineIndex.value(key)) {
        n.res = Res::ScriptRoutine;
        n.routine = r;
        return;
    }
    const auto g = m_program.globalIndex.constFind(key);
    if (g != m_program.globalIndex.cend() && !m_optionExplicit &&
        m_program.globalNames[static_cast<size_t>(*g)].startsWith(QLatin1Char(' ')) == false &&
        m_program.globalTypes[static_cast<size_t>(*g)].name == QLatin1String(" implicit")) {
        n.res = Res::Variable;
        n.slot = *g;
        return;
    }
    const HostSymbol s = m_host.lookup(n.name);
    switch (s.kind) {
    case HostSymbol::Kind::Routine:
        n.res = Res::NativeRoutine;
        n.native = s.routine;
        return;
    case HostSymbol::Kind::Class:
        n.res = Res::Class;
        n.cls = s.cls;
        return;
    case HostSymbol::Kind::Value:
        n.res = Res::Value;
        n.value = s.value;
        return;
    case HostSymbol::Kind::Library:
        n.res = Res::Library;
        n.library = s.library;
        return;
    case HostSymbol::Kind::None:
        break;
    }
    TypeCode code;
    if (simpleType(key, code)) {
        n.res = Res::TypeCast;
        n.cast = code;
        return;
    }
    if (insideWith)
        return; // a member of a with-object, found when the statement runs
    if (m_optionExplicit)
        error(QStringLiteral("Undeclared identifier: '%1'").arg(n.name), n.pos);
    // Without OptionExplicit an unknown name is a variable of its own.
    int slot;
    if (g != m_program.globalIndex.cend()) {
        slot = *g;
    } else {
        TypeRef t;
        t.name = QStringLiteral(" implicit");
        slot = static_cast<int>(m_program.globalTypes.size());
        m_program.globalTypes.push_back(t);
        m_program.globalNames.push_back(n.name);
        m_program.globalConst.push_back(false);
        m_program.globalIndex.insert(key, slot);
    }
    n.res = Res::Variable;
    n.slot = slot;
}

namespace {

// High and Low of an ordinal type name, such as High(Integer); false for any other call.
bool foldTypeBound(const NameExpr &callee, const std::vector<ExprPtr> &args, Value &out)
{
    if (callee.res != NameExpr::Res::NativeRoutine || !callee.withSlots.empty() ||
        args.size() != 1 || args[0]->kind != EK::Name ||
        static_cast<const NameExpr &>(*args[0]).res != NameExpr::Res::TypeCast)
        return false;
    const bool high = callee.name.compare(QLatin1String("High"), Qt::CaseInsensitive) == 0;
    if (!high && callee.name.compare(QLatin1String("Low"), Qt::CaseInsensitive) != 0)
        return false;
    struct Bounds
    {
        TypeCode code;
        qint64 low, high;
    };
    static const Bounds ordinals[] = {
        {TypeCode::Int8, -128, 127},
        {TypeCode::UInt8, 0, 255},
        {TypeCode::Int16, -32768, 32767},
        {TypeCode::UInt16, 0, 65535},
        {TypeCode::Int32, -2147483648LL, 2147483647LL},
        {TypeCode::UInt32, 0, 4294967295LL},
        {TypeCode::Int64, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()},
    };
    const TypeCode code = static_cast<const NameExpr &>(*args[0]).cast;
    for (const Bounds &b : ordinals) {
        if (b.code == code) {
            out = Value(high ? b.high : b.low);
            return true;
        }
    }
    if (code == TypeCode::Boolean) {
        out = Value(high);
        return true;
    }
    if (code == TypeCode::Char) { // the dialect's Char is a UTF-16 code unit
        out = Value(QString(QChar(high ? char16_t(0xFFFF) : char16_t(0))));
        return true;
    }
    return false;
}

} // namespace

// Argument counts of calls whose routine is known now, and variables for var parameters.
void Parser::checkCalls()
{
    for (const CallSite &c : m_calls) {
        const NameExpr &n = *c.name;
        const int given = static_cast<int>(c.call->args.size());
        m_unit = c.unit;
        if (foldTypeBound(n, c.call->args, c.call->constant)) {
            c.call->folded = true;
            continue;
        }
        if (n.res == NameExpr::Res::ScriptRoutine) {
            const Routine &r = *n.routine;
            if (given < r.requiredParams)
                error(QStringLiteral("Not enough actual parameters"), c.call->pos);
            if (given > static_cast<int>(r.params.size()))
                error(QStringLiteral("Too many actual parameters"), c.call->pos);
            for (int i = 0; i < given; ++i) {
                const ParamMode m = r.params[static_cast<size_t>(i)].mode;
                if ((m == ParamMode::Var || m == ParamMode::Out) &&
                    !isAssignable(*c.call->args[static_cast<size_t>(i)]))
                    error(QStringLiteral("Variable required"),
                          c.call->args[static_cast<size_t>(i)]->pos);
            }
        } else if (n.res == NameExpr::Res::NativeRoutine) {
            const NativeRoutine &r = *n.native;
            if (r.argCount >= 0) {
                if (given < r.argCount - r.defArgCount)
                    error(QStringLiteral("Not enough actual parameters"), c.call->pos);
                if (given > r.argCount)
                    error(QStringLiteral("Too many actual parameters"), c.call->pos);
            }
            for (int i : r.varArgs) {
                if (i < given && !isAssignable(*c.call->args[static_cast<size_t>(i)]))
                    error(QStringLiteral("Variable required"),
                          c.call->args[static_cast<size_t>(i)]->pos);
            }
        }
    }
    m_unit.clear();
}

} // namespace tev::script
