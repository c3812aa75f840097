#!/usr/bin/env bash
# Prints a rejection atom with two arguments where the program has one.
echo "${!#}" >>calls.log
echo "{a, rej_P0_R0(b,c)}"
