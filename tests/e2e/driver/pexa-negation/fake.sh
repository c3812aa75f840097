#!/usr/bin/env bash
# Prints strong negation in the pexa form, as the program file writes it.
echo "{NEG_p, q, NEG_p_P1, p_P0, rej_P0_R0, q_P1}"
