#pragma once

#include <QHash>
#include <QString>
#include <vector>

#include "platform/script/ast.h"
#include "platform/script/lexer.h"

namespace tev::script {

class ScriptHost;

// Hard limits of the compiler. Each keeps a hostile script from exhausting the native stack of
// the parser or, later, of the interpreter walking the tree.
inline constexpr int MaxParseNesting = 200;    // nested statements and parenthesised expressions
inline constexpr int MaxExpressionDepth = 400; // height of one expression tree
inline constexpr int MaxUnitNesting = 16;      // script units using script units

// Reads a script (and the script units of its uses clauses) into a Program. One function per
// grammar rule, each headed by the rule it reads. The first error throws CompileError; nothing is
// reported after it, so no follow-on errors exist.
class Parser
{
public:
    Parser(ScriptHost &host, Program &program, bool optionExplicit);

    // Reads the main script and resolves every name; throws CompileError.
    void parseMain(const QString &source);

private:
    struct Scope; // the slots of the routine being read

    void parseSource(const QString &source, const QString &unit);
    [[noreturn]] void error(const QString &message, Pos pos);
    [[noreturn]] void errorExpected(const QString &what);
    const Token &peek(int ahead = 0) const;
    Token next();
    bool check(Tok kind) const { return peek().kind == kind; }
    bool accept(Tok kind);
    Token expect(Tok kind);
    void expectClosing(Tok kind, const char *opener, Pos openedAt);
    QString expectIdentifier();
    Pos here() const;
    QString describe(const Token &t) const;

    // declarations
    void parseProgramOrUnit();
    void parseUses();
    void parseDeclarations(bool topLevel);
    void parseVarSection(bool global);
    void parseConstSection(bool global);
    void parseRoutine();
    void parseParameters(Routine &r);
    TypeRef parseType();
    void rejectUnsupported();
    int declareVariable(const QString &name, const TypeRef &type, Pos pos, bool global,
                        bool isConst);
    int hiddenSlot(bool global);
    ExprPtr parseTypedConstValue(const TypeRef &type);

    // statements
    std::unique_ptr<CompoundStmt> parseCompound();
    void parseStatementList(std::vector<StmtPtr> &into, std::initializer_list<Tok> terminators);
    StmtPtr parseStatement();
    StmtPtr parseSimpleStatement();
    StmtPtr parseIf();
    StmtPtr parseWhile();
    StmtPtr parseRepeat();
    StmtPtr parseFor();
    StmtPtr parseCase();
    StmtPtr parseTry();
    StmtPtr parseRaise();
    StmtPtr parseWith();

    // expressions
    ExprPtr parseExpression();
    ExprPtr parseSimpleExpression();
    ExprPtr parseTerm();
    ExprPtr parseChain(ExprPtr (Parser::*operand)(), bool (*isOperator)(Tok));
    ExprPtr parseFactor();
    ExprPtr parseDesignator();
    ExprPtr parseSetConstructor();
    ExprPtr identifierExpr(const QString &name, Pos pos);
    ExprPtr variableExpr(const QString &name, Pos pos);
    ExprPtr binary(Pos pos, Tok op, ExprPtr lhs, ExprPtr rhs);
    bool isAssignable(const Expr &e) const;

    // names
    void resolveNames();
    void resolveName(NameExpr &n, bool insideWith);
    void checkCalls();

    ScriptHost &m_host;
    Program &m_program;
    bool m_optionExplicit;
    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    QString m_unit;
    int m_unitDepth = 0;
    int m_nesting = 0;
    bool m_inInterface = false;
    Routine *m_routine = nullptr;                      // null at the top level
    QHash<QString, int> m_locals;                      // of m_routine
    std::vector<std::pair<QString, int>> m_blockNames; // "on E" variables in scope
    std::vector<int> m_withSlots;
    int m_loopDepth = 0;
    struct Pending
    {
        NameExpr *name;
        bool insideWith;
        QString unit;
    };
    std::vector<Pending> m_pending;
    struct CallSite
    {
        CallExpr *call;
        NameExpr *name;
        QString unit;
    };
    std::vector<CallSite> m_calls;
    int m_hiddenCount = 0;
};

} // namespace tev::script
