#!/usr/bin/env bash
# An evaluation program with a banner, messages between the answer sets, an
# answer set over two lines and a last line without a line end.
echo "fake solver 1.0"
echo " {not, an, answer, set}"
echo "{r(a), q_P0(a), -q(a), rej_P0_R0(a), -q_P1(a)}"
echo "between"
echo ""
echo "{q_P0(b),"
echo "   p(c, d) }"
echo "{}"
printf '{NEG_x, "s, t"}'
