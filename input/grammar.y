/* The grammar of update programs and the actions that build the update
 * sequence. An input is either a plain list of statements (one update
 * program) or a sequence of brace-enclosed blocks (one program each).
 * There are no error productions: the first token no production accepts
 * ends the input with "parse error"; what was stored before stays.
 *
 * A symbol's value is the number of a slot in the parser's values
 * (PARSER::values, input/parser.hpp; V in the actions), which holds the
 * text, terms, atom, ...: an action takes out or frees what it consumes,
 * and the %destructors free what a syntax error leaves on the stack, so
 * that nothing is lost whatever the input. */

%code top {
#include <cstdlib>
#include <cstring>

#include "common/chunks.hpp"

/* The skeleton's own two messages, in the words this program uses. */
static const char* parserMessage(const char* text) {
    if (std::strcmp(text, "syntax error") == 0) return "parse error";
    if (std::strcmp(text, "memory exhausted") == 0) return "parser stack overflow";
    return text;
}
#define YY_(Msgid) parserMessage(Msgid)

/* The parse stack grows through this, which ends the run when memory runs
 * out, as every other request of vok does; "parser stack overflow" stays
 * the message of the depth limit alone. */
static void* parserAllocate(std::size_t bytes) {
    void* p = std::malloc(bytes);
    if (!p) MemoryRanOut();
    return p;
}
#define YYMALLOC parserAllocate
#define YYFREE std::free
}

%code requires {
#include <vector>

#include "input/actions.hpp"
#include "input/directives.hpp"
}

%code {
#include <initializer_list>

#include "input/parser.hpp"

/* The parser's own messages, which bison hands the parse parameters too. A
 * backslash, which only arithmetic takes, is named where it stands
 * elsewhere, as the scanner named it before it was a token. */
static void parserError(PARSER& parser, const char* message, int lookahead) {
    if (lookahead == TOK_BACKSLASH) lexicalError(parser, "syntax error (\\)");
    /* A construct refused has named the fault already. */
    if (!takeRefusalReported(parser)) yyerror(parser, message);
}
#define yyerror(parser, directives, message) parserError(parser, message, yychar)

/* The actions' short name for the values of the symbols. */
#define V (parser.values)

/* A list of terms as a value. */
static unsigned termList(PARSE_VALUES& values, std::initializer_list<IDENT> terms) {
    const unsigned slot = values.terms.fresh();
    values.terms[slot].assign(terms);
    return slot;
}

/* Room for 200 states at first, doubled as needed up to 10000. */
#ifndef YYINITDEPTH
#define YYINITDEPTH 200
#endif
#ifndef YYMAXDEPTH
#define YYMAXDEPTH 10000
#endif
}

%define api.token.prefix {TOK_}
%expect 0
/* The parser that reads, with the sequence it fills; what the directives
 * define for all the inputs of the run. */
%parse-param {PARSER& parser} {INPUT_DIRECTIVES& directives}
%lex-param {PARSER& parser}

%union {
    unsigned text;    /* IDENTIFIER, NUMBER, name: in V.texts */
    TERM_VALUE term;
    unsigned terms;   /* terms, oneArg, twoArgs, threeArgs: in V.terms */
    unsigned pool;    /* the argument tuples of a pool: in V.pools */
    unsigned atom;    /* atom, builtin, head: in V.atoms */
    unsigned literal; /* in V.literals */
    unsigned body;    /* in V.bodies */
    unsigned rule;    /* in V.rules */
    unsigned aggregate; /* in V.aggregates */
    unsigned choice;  /* in V.choices */
    int builtin;      /* comparison, arithmetic: a BUILTIN */
}

/* Arithmetic binds as in clingo: unary minus tightest, then "**" (to the
 * right), then "*", "/" and "\\", then "+" and "-". */
%left "+" "-"
%left "*" "/" "\\"
%right "**"
%precedence UMINUS

/* The token codes are fixed: the scanner and the parser agree on them. */
%token <text> IDENTIFIER 258
%token <text> NUMBER 259
%token LEXERROR 260
%token RESERVED 261
%token COMMA 262 ","
%token DOT 263 "."
%token COLON 264 ":"
%token SEMICOLON 265 ";"
%token EXCLAMATION 266 "!"
%token PLUS 267 "+"
%token TIMES 268 "*"
%token EQUALS 269 "="
%token BAR 270 "|"
%token V 271 "v"
%token IMPLIES 272 ":-"
%token ANONYMOUS 273 "_"
%token LPAREN 274 "("
%token RPAREN 275 ")"
%token LBRACKET 276 "["
%token RBRACKET 277 "]"
%token LBRACE 278 "{"
%token RBRACE 279 "}"
%token EQUAL_TO 280 "=="
%token NOT_EQUAL_TO 281 "!="
%token LESS_THAN 282 "<"
%token GREATER_THAN 283 ">"
%token LESS_OR_EQUAL_TO 284 "<="
%token GREATER_OR_EQUAL_TO 285 ">="
%token INT_TEST 286 "#int"
%token SUCCESSOR 287 "#succ"
%token NOT 288 "not"
%token STRONG_NEGATION 289 "-"
%token CONST 290 "#const"
%token DOTS 291 ".."
%token SLASH 292 "/"
%token SHOW 293 "#show"
%token CHOICE_LBRACE 320 "{ of a choice"
%token COUNT 321 "#count"
%token SUM 322 "#sum"
%token MIN 323 "#min"
%token MAX 324 "#max"
%token BACKSLASH 325 "\\"
%token POWER 326 "**"
%token <text> INF_SUP 327 "#inf or #sup"

%type <text> name
%type <term> term
%type <terms> terms arguments oneArg twoArgs threeArgs
%type <pool> pool
%type <atom> atom builtin head
%type <literal> literal
%type <body> body ruleBody bodyPiece conditional
%type <rule> rule
%type <builtin> comparison arithmetic guardComparison aggregateFunction
%type <aggregate> aggregate aggregateSet aggregateElements
%type <choice> choice choiceSet choiceElements

%destructor { V.texts.free($$); } <text>
%destructor { V.terms.free($$); } <terms>
%destructor { V.pools.free($$); } <pool>
%destructor { V.atoms.free($$); } <atom>
%destructor { V.literals.free($$); } <literal>
%destructor { V.bodies.free($$); } <body>
%destructor { V.rules.free($$); } <rule>
%destructor { V.aggregates.free($$); } <aggregate>
%destructor { V.choices.free($$); } <choice>

%initial-action { beginInput(parser); }

%start input

%%

input
    : open statements
    | open "{" statements "}" moreBlocks
    ;

/* A new update program, opened before the first token of an input
 * without braces or of the first block, and right after every later "{". */
open
    : %empty { newUpdateID(parser); }
    ;

moreBlocks
    : %empty
    | moreBlocks block
    ;

block
    : "{" open statements "}"
    ;

statements
    : %empty
    | statements statement
    ;

statement
    : rule { newRule(parser, V.rules.take($1)); }
    | choiceRule
    | constraint
    | directive
    | disjunction { YYABORT; }
    ;

/* A disjunctive head is refused where its first separator stands, and the
 * input is given up as after a syntax error. */
disjunction
    : head ";" { V.atoms.free($1); refuseDisjunction(parser); }
    | head "|" { V.atoms.free($1); refuseDisjunction(parser); }
    | head ":" { V.atoms.free($1); refuseConditionalLiteral(parser, true); }
    | choice ":-" body ":" { V.choices.free($1); V.bodies.free($3); refuseConditionalLiteral(parser, false); }
    ;

/* #const name=value. holds from here on, in this input and the later ones;
 * #show adds a predicate to those the results show, and "#show." alone
 * shows nothing. */
directive
    : "#const" name "=" term "."
        {
            newConstant(parser, directives, V.texts[$2], $4);
            V.texts.free($2);
        }
    | "#show" "."                       { directives.showSeen = true; }
    | "#show" name "/" NUMBER "."       { newShow(parser, directives, "", V.texts[$2], V.texts[$4]); V.texts.free($2); V.texts.free($4); }
    | "#show" "-" name "/" NUMBER "."   { newShow(parser, directives, "-", V.texts[$3], V.texts[$5]); V.texts.free($3); V.texts.free($5); }
    ;

/* "p." and "p :- ." both give a rule without any body. */
rule
    : head "."           { $$ = V.rules.put(factOf(V.atoms[$1])); V.atoms.free($1); }
    | head ":-" "."      { $$ = V.rules.put(factOf(V.atoms[$1])); V.atoms.free($1); }
    | head ":-" ruleBody "."
        {
            std::vector<IDENT> headVariables;
            appendVariables(headVariables, V.atoms[$1]);
            settleAggregates(parser, V.bodies[$3], headVariables);
            $$ = V.rules.put(V.bodies[$3].rule(V.atoms[$1]));
            V.atoms.free($1);
            V.bodies.free($3);
        }
    ;

constraint
    : ":-" ruleBody "."
        {
            settleAggregates(parser, V.bodies[$2], {});
            newConstraint(parser, V.bodies[$2].conjunction());
            V.bodies.free($2);
        }
    ;

/* L { h1 : c1; h2 } U :- body. Each element instance becomes a choice
 * rule of the program, the bounds constraints of it. */
choiceRule
    : choice "."          { newChoice(parser, V.choices[$1], nullptr); V.choices.free($1); }
    | choice ":-" "."     { newChoice(parser, V.choices[$1], nullptr); V.choices.free($1); }
    | choice ":-" body "."
        {
            newChoice(parser, V.choices[$1], &V.bodies[$3]);
            V.choices.free($1);
            V.bodies.free($3);
        }
    ;

choice
    : choiceSet
    | term choiceSet      { $$ = $2; V.choices[$$].lower = identOf(parser, $1); }
    | choiceSet term      { $$ = $1; V.choices[$$].upper = identOf(parser, $2); }
    | term choiceSet term
        {
            $$ = $2;
            V.choices[$$].lower = identOf(parser, $1);
            V.choices[$$].upper = identOf(parser, $3);
        }
    ;

choiceSet
    : CHOICE_LBRACE choiceElements "}" { $$ = $2; }
    ;

choiceElements
    : atom
        { $$ = V.choices.fresh(); V.choices[$$].elements.push_back({V.atoms.take($1), {}}); }
    | atom ":" body
        {
            $$ = V.choices.fresh();
            V.choices[$$].elements.push_back({V.atoms.take($1), std::move(V.bodies[$3])});
            V.bodies.free($3);
        }
    | choiceElements ";" atom
        { $$ = $1; V.choices[$$].elements.push_back({V.atoms.take($3), {}}); }
    | choiceElements ";" atom ":" body
        {
            $$ = $1;
            V.choices[$$].elements.push_back({V.atoms.take($3), std::move(V.bodies[$5])});
            V.bodies.free($5);
        }
    ;

head
    : atom
    ;

/* The body of a rule or constraint: a conditional literal's condition runs
 * to the next ";" or the end of the body, and ";" joins as "," does. */
ruleBody
    : bodyPiece
    | ruleBody ";" bodyPiece { $$ = $1; V.bodies[$$].join(std::move(V.bodies[$3])); V.bodies.free($3); }
    ;

bodyPiece
    : body
    | conditional
    | body "," conditional { $$ = $1; V.bodies[$$].join(std::move(V.bodies[$3])); V.bodies.free($3); }
    ;

/* "p(X) : q(X), r(X)": kept like an aggregate until the rule is complete. */
conditional
    : literal ":" body
        {
            $$ = V.bodies.fresh();
            V.bodies[$$].aggregates.push_back(conditionalParts(parser, V.literals.take($1), V.bodies[$3]));
            V.bodies.free($3);
        }
    ;

body
    : literal          { $$ = V.bodies.fresh(); V.bodies[$$].add(V.literals.take($1)); }
    | body "," literal { $$ = $1; V.bodies[$$].add(V.literals.take($3)); }
    | aggregate
        { $$ = V.bodies.fresh(); V.bodies[$$].aggregates.push_back(V.aggregates.take($1)); }
    | body "," aggregate
        { $$ = $1; V.bodies[$$].aggregates.push_back(V.aggregates.take($3)); }
    ;

/* A body aggregate with at most one guard on each side; it stays with its
 * body until the rule is complete (settleAggregates). */
aggregate
    : aggregateSet
    | "not" aggregateSet { $$ = $2; V.aggregates[$$].negated = true; }
    | aggregateSet guardComparison term
        { $$ = $1; V.aggregates[$$].right = AGGREGATE_GUARD{$2, identOf(parser, $3)}; }
    | term guardComparison aggregateSet
        { $$ = $3; V.aggregates[$$].left = AGGREGATE_GUARD{$2, identOf(parser, $1)}; }
    | term guardComparison aggregateSet guardComparison term
        {
            $$ = $3;
            V.aggregates[$$].left = AGGREGATE_GUARD{$2, identOf(parser, $1)};
            V.aggregates[$$].right = AGGREGATE_GUARD{$4, identOf(parser, $5)};
        }
    | "not" aggregateSet guardComparison term
        {
            $$ = $2;
            V.aggregates[$$].negated = true;
            V.aggregates[$$].right = AGGREGATE_GUARD{$3, identOf(parser, $4)};
        }
    | "not" term guardComparison aggregateSet
        {
            $$ = $4;
            V.aggregates[$$].negated = true;
            V.aggregates[$$].left = AGGREGATE_GUARD{$3, identOf(parser, $2)};
        }
    | "not" term guardComparison aggregateSet guardComparison term
        {
            $$ = $4;
            V.aggregates[$$].negated = true;
            V.aggregates[$$].left = AGGREGATE_GUARD{$3, identOf(parser, $2)};
            V.aggregates[$$].right = AGGREGATE_GUARD{$5, identOf(parser, $6)};
        }
    ;

guardComparison
    : comparison
    | "=" { $$ = EQUAL; }
    ;

aggregateSet
    : aggregateFunction aggregateOpen aggregateElements "}" 
        { $$ = $3; V.aggregates[$$].function = static_cast<AGGREGATE_FUNCTION>($1); }
    ;

aggregateFunction
    : "#count"     { $$ = static_cast<int>(AGGREGATE_FUNCTION::COUNT); }
    | "#sum"       { $$ = static_cast<int>(AGGREGATE_FUNCTION::SUM); }
    | "#sum" "+"   { $$ = static_cast<int>(AGGREGATE_FUNCTION::SUM_PLUS); }
    | "#min"       { $$ = static_cast<int>(AGGREGATE_FUNCTION::MIN); }
    | "#max"       { $$ = static_cast<int>(AGGREGATE_FUNCTION::MAX); }
    ;

aggregateOpen
    : "{"
    | CHOICE_LBRACE
    ;

aggregateElements
    : terms
        {
            $$ = V.aggregates.fresh();
            V.aggregates[$$].elements.push_back({V.terms.take($1), {}});
        }
    | terms ":" body
        {
            $$ = V.aggregates.fresh();
            V.aggregates[$$].elements.push_back({V.terms.take($1), aggregateCondition(parser, V.bodies[$3])});
            V.bodies.free($3);
        }
    | aggregateElements ";" terms
        { $$ = $1; V.aggregates[$$].elements.push_back({V.terms.take($3), {}}); }
    | aggregateElements ";" terms ":" body
        {
            $$ = $1;
            V.aggregates[$$].elements.push_back({V.terms.take($3), aggregateCondition(parser, V.bodies[$5])});
            V.bodies.free($5);
        }
    ;

literal
    : atom       { $$ = V.literals.put(LITERAL(V.atoms.take($1), false)); }
    | "not" atom { $$ = V.literals.put(LITERAL(V.atoms.take($2), true)); }
    | "not" "not" atom
        {
            LITERAL twice(V.atoms.take($3), true);
            if (refuseDoubleNegation(parser)) YYABORT;
            twice.doubled = true;
            $$ = V.literals.put(std::move(twice));
        }
    | builtin    { $$ = V.literals.put(LITERAL(V.atoms.take($1), false)); }
    ;

/* Every atom registers its predicate and arity here, whatever later
 * becomes of its statement; -p is the predicate named "-p". */
atom
    : name
        {
            checkPredicateName(parser, V.texts[$1]);
            $$ = V.atoms.put(ATOM(V.texts[$1], std::nullopt));
            V.texts.free($1);
        }
    | "-" name
        {
            checkPredicateName(parser, V.texts[$2]);
            $$ = V.atoms.put(newNegativeATOM(V.texts[$2], std::nullopt));
            V.texts.free($2);
        }
    | name "(" arguments ")"
        {
            checkPredicateName(parser, V.texts[$1]);
            parser.sequence.propositional = false;
            $$ = V.atoms.put(ATOM(V.texts[$1], ARGUMENTS(V.terms[$3])));
            V.texts.free($1);
            V.terms.free($3);
        }
    | "-" name "(" arguments ")"
        {
            checkPredicateName(parser, V.texts[$2]);
            parser.sequence.propositional = false;
            $$ = V.atoms.put(newNegativeATOM(V.texts[$2], ARGUMENTS(V.terms[$4])));
            V.texts.free($2);
            V.terms.free($4);
        }
    ;

/* An atom's arguments: one tuple, or a pool of tuples separated by ";"
 * (p(a;b), p(1,2;3,4)). */
arguments
    : terms
    | pool { $$ = V.terms.put(poolMarkers(parser, V.pools[$1])); V.pools.free($1); }
    ;

pool
    : terms ";" terms
        {
            $$ = V.pools.fresh();
            V.pools[$$].push_back(V.terms.take($1));
            V.pools[$$].push_back(V.terms.take($3));
        }
    | pool ";" terms { $$ = $1; V.pools[$$].push_back(V.terms.take($3)); }
    ;

/* An interval low..high stands for each of its integers. */
terms
    : term           { $$ = V.terms.fresh(); V.terms[$$].push_back(identOf(parser, $1)); }
    | term ".." term
        { $$ = V.terms.fresh(); V.terms[$$].push_back(intervalMarker(parser, identOf(parser, $1), identOf(parser, $3))); }
    | terms "," term { $$ = $1; V.terms[$$].push_back(identOf(parser, $3)); }
    | terms "," term ".." term
        { $$ = $1; V.terms[$$].push_back(intervalMarker(parser, identOf(parser, $3), identOf(parser, $5))); }
    ;

/* Terms as clingo writes them: names, numbers, variables, function terms
 * and arithmetic; "-" before a number is the negative integer. */
term
    : name   { $$ = termValue(TermOfName(parser, directives, V.texts[$1])); V.texts.free($1); }
    | NUMBER { $$ = termValue(integerTerm(V.texts[$1], false), NUMBER_SHAPE); V.texts.free($1); }
    | "_"    { $$ = termValue(anonymousVariable(parser)); }
    /* Below and above every other term, as clingo orders them. */
    | INF_SUP { $$ = termValue(newIDENT(V.texts[$1], parser.variables)); V.texts.free($1); }
    | name "(" arguments ")"
        {
            $$ = functionTerm(parser, V.texts[$1], V.terms[$3]);
            V.texts.free($1);
            V.terms.free($3);
        }
    | "(" term ")"               { $$ = groupedTerm($2); }
    | "|" term "|"               { $$ = unaryTerm(TERM_OP::ABS, $2); }
    | "-" term %prec UMINUS      { $$ = unaryTerm(TERM_OP::MINUS, $2); }
    | term "+" term              { $$ = operationTerm(TERM_OP::ADD, $1, $3); }
    | term "-" term              { $$ = operationTerm(TERM_OP::SUB, $1, $3); }
    | term "*" term              { $$ = operationTerm(TERM_OP::MUL, $1, $3); }
    | term "/" term              { $$ = operationTerm(TERM_OP::DIV, $1, $3); }
    | term "\\" term           { $$ = operationTerm(TERM_OP::MOD, $1, $3); }
    | term "**" term             { $$ = operationTerm(TERM_OP::POW, $1, $3); }
    ;

name
    : IDENTIFIER { noteStatementStart(parser); truncateName(parser, V.texts[$1]); $$ = $1; }
    | "v"        { noteStatementStart(parser); $$ = textValue(V, "v", 1); }
    ;

/* The infix forms keep the order of the prefix ones; X = Y + Z puts the
 * result last: +(Y, Z, X). */
builtin
    : comparison twoArgs
        { $$ = V.atoms.put(builtinAtom(parser, BUILTIN($1), V.terms[$2])); V.terms.free($2); }
    | term comparison term
        { $$ = V.atoms.put(builtinAtom(parser, BUILTIN($2), {identOf(parser, $1), identOf(parser, $3)})); }
    | "#int" oneArg
        {
            checkPlainArguments(parser, V.terms[$2], "#int");
            $$ = V.atoms.put(builtinAtom(parser, INT, V.terms[$2]));
            V.terms.free($2);
        }
    | "#succ" twoArgs
        {
            checkPlainArguments(parser, V.terms[$2], "#succ");
            $$ = V.atoms.put(builtinAtom(parser, SUCC, V.terms[$2]));
            V.terms.free($2);
        }
    | arithmetic threeArgs
        {
            checkPlainArguments(parser, V.terms[$2], $1 == PLUS ? "+" : "*");
            $$ = V.atoms.put(builtinAtom(parser, BUILTIN($1), V.terms[$2]));
            V.terms.free($2);
        }
    | term "=" term { $$ = V.atoms.put(equalityAtom(parser, $1, $3)); }
    /* An assignment as it is printed: =(T, U). */
    | "=" twoArgs
        {
            $$ = V.atoms.put(prefixAssignment(parser, V.terms[$2]));
            V.terms.free($2);
        }
    ;

comparison
    : "==" { $$ = EQUAL; }
    | "!=" { $$ = NOT_EQUAL; }
    | "<"  { $$ = LESS; }
    | ">"  { $$ = GREATER; }
    | "<=" { $$ = LESS_OR_EQUAL; }
    | ">=" { $$ = GREATER_OR_EQUAL; }
    ;

arithmetic
    : "+" { $$ = PLUS; }
    | "*" { $$ = TIMES; }
    ;

oneArg
    : "(" term ")" { $$ = termList(V, {identOf(parser, $2)}); }
    ;

twoArgs
    : "(" term "," term ")" { $$ = termList(V, {identOf(parser, $2), identOf(parser, $4)}); }
    ;

threeArgs
    : "(" term "," term "," term ")" { $$ = termList(V, {identOf(parser, $2), identOf(parser, $4), identOf(parser, $6)}); }
    ;

%%
