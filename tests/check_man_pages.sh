#!/usr/bin/env bash
# Checks that a program's man page lists the same options as its --help
# text: an option added to one and forgotten in the other fails here. vok
# writes its --help from its option table (driver/app/options.cpp), so for
# vok the list compared is the table's.
#   check_man_pages.sh PROGRAM MAN-PAGE-SOURCE
set -u
program=${1:?usage: check_man_pages.sh PROGRAM MAN-PAGE-SOURCE}
page=${2:?usage: check_man_pages.sh PROGRAM MAN-PAGE-SOURCE}

# The option names of a list of option forms such as "-n <k>, -n=<k>,
# --models=<k>" or "-f=<file>": each form up to its value.
names() { tr ',' '\n' | sed -E 's/^[[:space:]]*//; s/[=< ].*//' | grep -E '^-' ; }

# --help: the lines that begin an option's entry (indented by at most two
# blanks), up to the gap before its description.
from_help() {
    "$program" --help | grep -E '^ {0,2}-' | sed -E 's/^ *//; s/ {2,}.*//' | names | sort -u
}

# The man page: the line after each .TP of the OPTIONS section, without
# roff's macros, fonts, quotes and escaped hyphens.
from_page() {
    sed -n '/^\.SH OPTIONS/,/^\.SH /p' "$page" | grep -A1 '^\.TP' | grep -v -E '^(\.TP|--)$' |
        sed -E 's/^\.[A-Z]+ //; s/\\f[BIRP]//g; s/\\-/-/g; s/"//g' |
        tr ' ' '\n' | names | sort -u
}

help=$(from_help) || { echo "$program --help failed"; exit 1; }
man=$(from_page)
missing_in_page=$(comm -23 <(echo "$help") <(echo "$man"))
missing_in_help=$(comm -13 <(echo "$help") <(echo "$man"))
status=0
if [ -n "$missing_in_page" ]; then
    echo "$page lacks options that $program --help lists:"; echo "$missing_in_page"; status=1
fi
if [ -n "$missing_in_help" ]; then
    echo "$program --help lacks options that $page lists:"; echo "$missing_in_help"; status=1
fi
exit $status
