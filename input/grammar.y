/* The grammar of update programs and the actions that build the update
 * sequence. An input is either a plain list of statements (one update
 * program) or a sequence of brace-enclosed blocks (one program each).
 * There are no error productions: the first token no production accepts
 * ends the input with "parse error"; what was stored before stays.
 *
 * Semantic values are owned pointers (texts from new[], the rest from
 * new); every action frees what it consumed, and the %destructors free
 * what a syntax error leaves on the stack. */

%code top {
#include <cstring>

/* The skeleton's own two messages, in the words this program uses. */
static const char* parserMessage(const char* text) {
    if (std::strcmp(text, "syntax error") == 0) return "parse error";
    if (std::strcmp(text, "memory exhausted") == 0) return "parser stack overflow";
    return text;
}
#define YY_(Msgid) parserMessage(Msgid)
}

%code requires {
#include <vector>

#include "input/actions.hpp"
}

%code {
#include "base/options.hpp"
#include "input/parser.hpp"

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

%union {
    char* text;                /* IDENTIFIER, NUMBER, name */
    TERM_VALUE term;
    std::vector<IDENT>* terms; /* terms, oneArg, twoArgs, threeArgs */
    ATOM* atom;                /* atom, builtin */
    LITERAL* literal;
    BODY_PARTS* body;
    HEAD* head;
    RULE* rule;
    int builtin;               /* comparison, arithmetic: a BUILTIN */
}

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

%type <text> name
%type <term> term
%type <terms> terms oneArg twoArgs threeArgs
%type <atom> atom builtin
%type <literal> literal
%type <body> body
%type <head> head
%type <rule> rule
%type <builtin> comparison arithmetic

%destructor { delete[] $$; } <text>
%destructor { delete $$; } <terms> <atom> <literal> <body> <head> <rule>

%initial-action { beginInput(); }

%start input

%%

input
    : open statements
    | open "{" statements "}" moreBlocks
    ;

/* A new update program, opened before the first token of an input
 * without braces or of the first block, and right after every later "{". */
open
    : %empty { newUpdateID(); }
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
    : rule { newRule(std::move(*$1)); delete $1; }
    | constraint
    ;

/* "p." and "p :- ." both give a rule without any body. */
rule
    : head "."           { $$ = factOf(*$1); delete $1; }
    | head ":-" "."      { $$ = factOf(*$1); delete $1; }
    | head ":-" body "." { $$ = $3->rule(*$1); delete $1; delete $3; }
    ;

constraint
    : ":-" body "." { newConstraint($2->conjunction()); delete $2; }
    ;

head
    : atom { $$ = new HEAD(std::move(*$1)); delete $1; }
    ;

body
    : literal          { $$ = new BODY_PARTS; $$->add(std::move(*$1)); delete $1; }
    | body "," literal { $$ = $1; $$->add(std::move(*$3)); delete $3; }
    ;

literal
    : atom       { $$ = new LITERAL(std::move(*$1), false); delete $1; }
    | "not" atom { $$ = new LITERAL(std::move(*$2), true); delete $2; }
    | builtin    { $$ = new LITERAL(std::move(*$1), false); delete $1; }
    ;

/* Every atom registers its predicate and arity here, whatever later
 * becomes of its statement; -p is the predicate named "-p". */
atom
    : name
        { checkPredicateName($1); $$ = new ATOM($1, std::nullopt); delete[] $1; }
    | "-" name
        { checkPredicateName($2); $$ = new ATOM(newNegativeATOM($2, std::nullopt)); delete[] $2; }
    | name "(" terms ")"
        {
            checkPredicateName($1);
            IsPropositional = false;
            $$ = new ATOM($1, ARGUMENTS(*$3));
            delete[] $1;
            delete $3;
        }
    | "-" name "(" terms ")"
        {
            checkPredicateName($2);
            IsPropositional = false;
            $$ = new ATOM(newNegativeATOM($2, ARGUMENTS(*$4)));
            delete[] $2;
            delete $4;
        }
    ;

terms
    : term           { $$ = new std::vector<IDENT>{identOf($1)}; }
    | terms "," term { $$ = $1; $$->push_back(identOf($3)); }
    ;

term
    : name   { $$ = termValue(newIDENT($1)); delete[] $1; }
    | NUMBER { $$ = termValue(integerTerm($1)); delete[] $1; }
    | "_"    { $$ = termValue(anonymousVariable()); }
    ;

name
    : IDENTIFIER { noteStatementStart(); $$ = truncatedName($1); }
    | "v"        { noteStatementStart(); $$ = copyText("v", 1); }
    ;

/* The infix forms keep the order of the prefix ones; X = Y + Z puts the
 * result last: +(Y, Z, X). */
builtin
    : comparison twoArgs
        { $$ = builtinAtom(BUILTIN($1), *$2); delete $2; }
    | term comparison term
        { $$ = builtinAtom(BUILTIN($2), std::vector<IDENT>{identOf($1), identOf($3)}); }
    | "#int" oneArg
        { $$ = builtinAtom(INT, *$2); delete $2; }
    | "#succ" twoArgs
        { $$ = builtinAtom(SUCC, *$2); delete $2; }
    | arithmetic threeArgs
        { $$ = builtinAtom(BUILTIN($1), *$2); delete $2; }
    | term "=" term arithmetic term
        { $$ = builtinAtom(BUILTIN($4), std::vector<IDENT>{identOf($3), identOf($5), identOf($1)}); }
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
    : "(" term ")" { $$ = new std::vector<IDENT>{identOf($2)}; }
    ;

twoArgs
    : "(" term "," term ")" { $$ = new std::vector<IDENT>{identOf($2), identOf($4)}; }
    ;

threeArgs
    : "(" term "," term "," term ")"
        { $$ = new std::vector<IDENT>{identOf($2), identOf($4), identOf($6)}; }
    ;

%%
