#!/usr/bin/env bash
echo "banner"
echo "{NEG_p, q, NEG_p_P1, p_P0,  rej_P0_R0}"
